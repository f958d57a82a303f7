#include "listed_folder.h"
#include "rename.h"

#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// A piece small enough that the message loop runs every few milliseconds
// between pieces, whatever the file system.
constexpr std::size_t piece = 256;

} // namespace

open_folder::open_folder(const std::string& folder)
    : m_folder(folder),
      m_fd(folder.empty() ? -1 : open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

folder_reading open_folder::reading() const
{
    // A folder that could not be opened reads as one that cannot be read.
    return folder_reading(m_folder, false, m_fd >= 0 ? m_fd : -2);
}

open_folder::~open_folder()
{
    if (m_fd >= 0)
        close(m_fd);
}

open_folder::open_folder(open_folder&& other) noexcept
    : m_folder(std::move(other.m_folder)),
      m_fd(std::exchange(other.m_fd, -1))
{
}

std::optional<std::pair<dev_t, ino_t>> open_folder::identity() const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
}

bool open_folder::holds(std::string_view name) const
{
    entry_type type{};
    return m_fd >= 0 && is_plain_name(name) && calls().look(name, type) == 0;
}

open_folder& open_folder::operator=(open_folder&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_folder = std::move(other.m_folder);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

rename_result open_folder::rename_no_replace(const std::string& folder, std::string_view old_name,
                                             std::string_view new_name) const
{
    if (m_fd >= 0 && folder == m_folder) {
        system_calls calls(m_fd, {});
        return rename_in(system_or_stand_in(calls), old_name, new_name);
    }
    const std::string prefix = folder.empty() ? std::string() : folder_prefix(folder);
    return platform::rename_no_replace(prefix + std::string(old_name), prefix + std::string(new_name));
}

listed_folder::reading::reading(const std::string& folder) : m_folder(folder), m_files(m_folder.reading()) {}

bool listed_folder::reading::step()
{
    return m_files.read_some(piece);
}

std::optional<listed_folder> listed_folder::reading::finish()
{
    auto names = m_files.finish();
    if (!names)
        return std::nullopt;
    listed_folder listed;
    listed.m_folder = std::move(m_folder);
    listed.m_entries = std::move(*names);
    return listed;
}

std::optional<listed_folder> listed_folder::read(const std::string& folder)
{
    return reading(folder).finish();
}

} // namespace platform
