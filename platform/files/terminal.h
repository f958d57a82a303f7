#pragma once

// Whether a file descriptor is a terminal, which decides whether a name is
// escaped, whether a progress line is shown and whether a question can be
// asked; and Ctrl+C, held back while a run goes so that the run can stop
// between two files and say how far it got.

#include <memory>

namespace platform {

bool is_terminal(int fd);

// A program started with its standard input, output or error closed would
// hand that number to the next file it opens (a journal, say), and its
// messages would land in the file. Each closed one is opened on /dev/null
// the wrong way round, so that using it fails as using a closed one does.
void keep_standard_streams_open();

// While one lives, Ctrl+C (SIGINT) only marks itself pending, unless the
// program was started with it ignored. Only one lives at a time.
class interrupt_watch {
public:
    interrupt_watch();
    ~interrupt_watch();
    interrupt_watch(const interrupt_watch&) = delete;
    interrupt_watch& operator=(const interrupt_watch&) = delete;

    static bool pending();
    // Ends the program as Ctrl+C would have: through what handled it before
    // the watch, and by the signal itself, so that a shell sees status 130.
    [[noreturn]] void end_as_interrupted();

private:
    bool m_watching = false;
    struct previous;
    std::unique_ptr<previous> m_previous;
};

} // namespace platform
