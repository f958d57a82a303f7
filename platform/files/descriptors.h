#pragma once

// Descriptors and folder streams that close themselves, so that no path out
// of a function leaks one and none is closed twice; and the calls a signal
// may interrupt before they did anything, made again when it does.

#include <cerrno>
#include <dirent.h>
#include <sys/types.h>
#include <utility>

namespace platform {

// Calls `call` again for as long as a signal's handler interrupted it before
// it did anything (-1 with EINTR). A call that was partly done when the
// signal came answers what it did, and the caller's loop goes on from there.
template <typename Call>
auto retry_interrupted(Call call) -> decltype(call())
{
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR)
            return result;
    }
}

// A descriptor held by one owner at a time, closed when it goes.
class unique_fd {
public:
    unique_fd() = default;
    explicit unique_fd(int fd) noexcept : m_fd(fd) {}
    ~unique_fd() { reset(); }
    unique_fd(unique_fd&& other) noexcept : m_fd(other.release()) {}
    unique_fd& operator=(unique_fd&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_fd(const unique_fd&) = delete;
    unique_fd& operator=(const unique_fd&) = delete;

    bool is_open() const noexcept { return m_fd >= 0; }
    int get() const noexcept { return m_fd; }
    // Gives the descriptor up to the caller, who closes it.
    [[nodiscard]] int release() noexcept { return std::exchange(m_fd, -1); }
    // Closes the descriptor held, and holds `fd` instead. A close that a
    // signal interrupts is not made again: Linux frees the number anyway,
    // and another thread may have taken it since. errno is kept, so that a
    // descriptor closed on the way out of a failure does not change what
    // the failure is reported by.
    void reset(int fd = -1) noexcept;

private:
    int m_fd = -1;
};

// Opens `path` relative to the folder at `at` (AT_FDCWD: the current one),
// made again when a signal interrupts the open.
unique_fd open_at(int at, const char* path, int flags, mode_t mode = 0);

// A folder's stream of entries, held by one owner at a time.
class dir_stream {
public:
    dir_stream() = default;
    explicit dir_stream(DIR* dir) noexcept : m_dir(dir) {}
    // A stream over the folder at `fd`, which it then owns; none, with `fd`
    // closed and errno telling why, when no stream can be made of it.
    explicit dir_stream(unique_fd fd) noexcept;
    ~dir_stream() { reset(); }
    dir_stream(dir_stream&& other) noexcept : m_dir(std::exchange(other.m_dir, nullptr)) {}
    dir_stream& operator=(dir_stream&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_dir = std::exchange(other.m_dir, nullptr);
        }
        return *this;
    }
    dir_stream(const dir_stream&) = delete;
    dir_stream& operator=(const dir_stream&) = delete;

    explicit operator bool() const noexcept { return m_dir != nullptr; }
    DIR* get() const noexcept { return m_dir; }
    int descriptor() const noexcept { return dirfd(m_dir); }
    // The next entry, or null at the end (errno as the caller set it) or on
    // an error (errno set); an interrupted read of the folder is made again.
    const dirent* next() noexcept;
    // Closes the stream, keeping errno.
    void reset() noexcept;

private:
    DIR* m_dir = nullptr;
};

// A stream of its own over the folder held open at `fd`, from its first
// entry: a stream takes the descriptor it is given, so it gets a copy, and
// the copy shares its place in the folder with `fd`, which an earlier
// reading may have left anywhere. None when `fd` is not open or no copy can
// be made.
dir_stream read_from_start(int fd);

} // namespace platform
