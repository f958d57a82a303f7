#include "terminal.h"
#include "descriptors.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <unistd.h>

namespace platform {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void mark_interrupted(int)
{
    interrupted = 1;
}

} // namespace

bool is_terminal(int fd)
{
    return ::isatty(fd) == 1;
}

void keep_standard_streams_open()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        unique_fd opened = open_at(AT_FDCWD, "/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        // The lowest free number is this one, which stays open for good;
        // anything else is a mistake, closed again.
        if (opened.get() == fd)
            (void)opened.release();
    }
}

struct interrupt_watch::previous {
    struct sigaction action {};
};

interrupt_watch::interrupt_watch() : m_previous(std::make_unique<previous>())
{
    interrupted = 0;
    // `nohup` and a shell's background jobs start a program with Ctrl+C
    // ignored, and it stays so.
    if (sigaction(SIGINT, nullptr, &m_previous->action) != 0 || m_previous->action.sa_handler == SIG_IGN)
        return;
    struct sigaction marking {};
    marking.sa_handler = mark_interrupted;
    sigemptyset(&marking.sa_mask);
    // Without SA_RESTART on purpose: a write to a pipe that nobody reads
    // would otherwise hold the run past Ctrl+C. An interrupted call fails
    // with EINTR instead, and the run stops at its next file; the calls
    // that must not fail so (the journal's writes, the store's lock) are
    // made again.
    m_watching = sigaction(SIGINT, &marking, nullptr) == 0;
}

interrupt_watch::~interrupt_watch()
{
    if (m_watching)
        sigaction(SIGINT, &m_previous->action, nullptr);
}

bool interrupt_watch::pending()
{
    return interrupted != 0;
}

void interrupt_watch::end_as_interrupted()
{
    if (m_watching)
        sigaction(SIGINT, &m_previous->action, nullptr);
    m_watching = false;
    std::raise(SIGINT);
    // A handler from before that let the program live: it ends anyway,
    // with the status a shell gives a program Ctrl+C ended.
    std::_Exit(128 + SIGINT);
}

} // namespace platform
