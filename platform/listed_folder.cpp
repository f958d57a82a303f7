#include "listed_folder.h"

namespace platform {

namespace {

// A piece small enough that the message loop runs every few milliseconds
// between pieces, whatever the file system.
constexpr std::size_t piece = 256;

} // namespace

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
