#pragma once

// A file source over a folder on disk, listed when it is opened and held
// open, so that its renames act on the very folder that was listed. The
// command line runs on one; so do the tests' windows.

#include "file_source.h"

#include "platform/files/file_calls.h"
#include "platform/files/listed_folder.h"
#include "platform/files/name_list.h"
#include "platform/files/rename.h"

namespace renamer {

class folder_source : public file_source {
public:
    folder_source() = default;
    // Opens its folders on `files`, which must outlive the source.
    explicit folder_source(const platform::file_system& files) : m_files(&files) {}
    // Lists `folder`; is_open() says whether it could be read.
    explicit folder_source(const std::string& folder,
                           const platform::file_system& files = platform::kernel_files())
        : m_files(&files)
    {
        open(folder);
    }

    // Reads `folder` and makes it the source. A folder that cannot be read
    // leaves the source as it was and answers false.
    bool open(const std::string& folder);
    bool is_open() const { return !m_listed.path().empty(); }
    // What its folders are opened on.
    const platform::file_system& file_system() const { return *m_files; }
    const platform::name_list& entries() const { return m_listed.entries(); }

    const std::string& file_path() override { return m_listed.path(); }
    std::int32_t list_count() override { return static_cast<std::int32_t>(m_listed.entries().size()); }
    std::optional<std::string_view> list_entry(std::int32_t index) override;
    void refresh() override;
    void check_list() override { m_listed.check(); }
    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override;
    platform::rename_result rename_file_logged(const std::string& folder, std::int32_t index,
                                               std::string_view old_name, std::string_view new_name,
                                               platform::move_log& log) override
    {
        return m_listed.rename(folder, static_cast<std::size_t>(index), old_name, new_name, &log);
    }
    int held_folder(const std::string& folder) override { return m_listed.held_for(folder); }
    std::optional<std::vector<std::uint32_t>> order_free(const platform::name_list& new_names) override
    {
        return m_listed.order_free(new_names);
    }
    void coming(std::int32_t index) override { m_listed.entries().fetch_early(static_cast<std::size_t>(index)); }

private:
    const platform::file_system* m_files = &platform::kernel_files();
    platform::listed_folder m_listed;
};

} // namespace renamer
