#pragma once

// A file list whose renames are only planned: rename_file answers what the
// run's rename would answer, rename after rename, and changes nothing. The
// answer is the rename's own algorithm taking its steps over an image of
// the folder in memory, so a plan is exactly the run that follows it. Every
// plan a front end shows is made over one of these, so that the way a plan
// sees the folder is decided in this one place.

#include "file_source.h"

#include "platform/files/file_calls.h"
#include "platform/files/rename.h"
#include "platform/files/folder_image.h"
#include "platform/files/name_list.h"

#include <optional>
#include <string>
#include <vector>

namespace renamer {

class planned_listing : public file_source {
public:
    // The files of `folder` as a list showed them, in the list's order, the
    // image read through `files`; the list must outlive the plan.
    planned_listing(std::string folder, const platform::name_list& names, const platform::file_system& files);
    // The same over an image of the folder read by the caller, or nothing
    // when it could not be read.
    planned_listing(std::string folder, const platform::name_list& names, std::optional<platform::folder_image> image);

    const std::string& file_path() override { return m_folder; }
    std::int32_t list_count() override { return static_cast<std::int32_t>(m_names.size()); }
    std::optional<std::string_view> list_entry(std::int32_t index) override;
    // A plan works on the list it was given; reading the folder again would
    // show it the renames it only pretended to make.
    void refresh() override {}
    // The run checks a list made before it against the folder, before its
    // first rename; the plan checks it against the image, before its first.
    void check_list() override;
    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override;

private:
    std::string m_folder;
    const platform::name_list& m_names;
    // The folder as the run will meet it, from one listing; nothing when
    // it cannot be read, and then every rename is refused as the run's
    // would be.
    std::optional<platform::folder_image> m_image;
    // The listed files the check found gone, or no longer a file or a link.
    std::vector<bool> m_gone;
};

} // namespace renamer
