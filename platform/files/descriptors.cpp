#include "descriptors.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

void unique_fd::reset(int fd) noexcept
{
    if (m_fd >= 0 && m_fd != fd) {
        const int kept = errno;
        ::close(m_fd);
        errno = kept;
    }
    m_fd = fd;
}

unique_fd open_at(int at, const char* path, int flags, mode_t mode)
{
    return unique_fd(retry_interrupted([&] { return ::openat(at, path, flags, mode); }));
}

dir_stream::dir_stream(unique_fd fd) noexcept : m_dir(fd.is_open() ? fdopendir(fd.get()) : nullptr)
{
    // The stream closes the descriptor from now on.
    if (m_dir)
        (void)fd.release();
    else
        fd.reset();
}

const dirent* dir_stream::next() noexcept
{
    for (;;) {
        const dirent* entry = readdir(m_dir);
        if (entry || errno != EINTR)
            return entry;
        // The stream is where it was before the interrupted read.
        errno = 0;
    }
}

void dir_stream::reset() noexcept
{
    if (m_dir) {
        const int kept = errno;
        closedir(std::exchange(m_dir, nullptr));
        errno = kept;
    }
}

dir_stream read_from_start(int fd)
{
    if (fd < 0)
        return {};
    dir_stream dir(unique_fd(fcntl(fd, F_DUPFD_CLOEXEC, 0)));
    if (dir)
        rewinddir(dir.get());
    return dir;
}

} // namespace platform
