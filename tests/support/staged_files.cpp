#include "staged_files.h"

#include <cerrno>

namespace fixture {

namespace {

using platform::entry_type;
using platform::listed_entry;

// The calls as the file system stages them, in front of the calls a rename
// would make.
class staged_calls final : public platform::file_calls {
public:
    staged_calls(const staged_files& files, platform::file_calls& inner) : m_files(files), m_inner(inner) {}

    int look(std::string_view name, entry_type& type) override
    {
        if (const int error = failure(file_call::look, name))
            return error;
        return m_inner.look(name, type);
    }
    int rename_noreplace(std::string_view from, std::string_view to) override
    {
        if (const int error = failure(file_call::rename_noreplace, from, to))
            return error;
        return m_inner.rename_noreplace(from, to);
    }
    int link(std::string_view from, std::string_view to) override
    {
        if (const int error = failure(file_call::link, from, to))
            return error;
        return m_inner.link(from, to);
    }
    int unlink(std::string_view name) override
    {
        if (const int error = failure(file_call::unlink, name))
            return error;
        return m_inner.unlink(name);
    }
    int plain_rename(std::string_view from, std::string_view to) override
    {
        if (const int error = failure(file_call::plain_rename, from, to))
            return error;
        return m_inner.plain_rename(from, to);
    }
    int list(std::vector<listed_entry>& entries) override
    {
        if (const int error = failure(file_call::list, {}))
            return error;
        return m_inner.list(entries);
    }
    int may_write() override { return m_inner.may_write(); }
    int may_link(std::string_view name, bool& allowed) override
    {
        if (failure(file_call::may_link, name) != 0) {
            allowed = false;
            return 0;
        }
        return m_inner.may_link(name, allowed);
    }
    // What a test stages is a file system of its own making, over a folder
    // that keeps case: it may ignore case, as the kernel's may not.
    bool may_ignore_case() override { return true; }

private:
    // The errno a staged call is to fail with, or 0 to let it go on.
    int failure(file_call call, std::string_view from, std::string_view to = {}) const
    {
        if (call == file_call::rename_noreplace && m_files.without_noreplace)
            return EINVAL;
        if (!m_files.call_hook)
            return 0;
        return m_files.call_hook(call, std::string(from), std::string(to));
    }

    const staged_files& m_files;
    platform::file_calls& m_inner;
};

} // namespace

platform::file_calls& staged_files::renaming(platform::file_calls& calls,
                                             std::unique_ptr<platform::file_calls>& room) const
{
    if (!without_noreplace && !call_hook)
        return calls;
    room = std::make_unique<staged_calls>(*this, calls);
    return *room;
}

int staged_files::refuses_listing(const std::string& folder) const
{
    return listing_fault && listing_fault(folder) ? EACCES : 0;
}

} // namespace fixture
