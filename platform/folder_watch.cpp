#include "folder_watch.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

folder_watch::folder_watch(int folder_fd)
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // The descriptor's own entry under /proc names the very folder held
    // open, whatever its path names by now.
    const std::string held = "/proc/self/fd/" + std::to_string(folder_fd);
    constexpr std::uint32_t events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (m_fd < 0 || inotify_add_watch(m_fd, held.c_str(), events) < 0)
        m_changed = true;
}

folder_watch::~folder_watch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool folder_watch::changed()
{
    if (m_changed)
        return true;
    // Any event at all, an overflow of the queue or the file system going
    // away included, is a change.
    alignas(inotify_event) char events[4096];
    const ssize_t got = ::read(m_fd, events, sizeof events);
    m_changed = got > 0 || (got < 0 && errno != EAGAIN);
    return m_changed;
}

} // namespace platform
