#include "listed_folder.h"
#include "case_fold.h"
#include "list_order.h"
#include "name_hash.h"
#include "rename.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// A piece small enough that the message loop runs every few milliseconds
// between pieces, whatever the file system.
constexpr std::size_t piece = 256;

// Whether an entry read is a file or a link, as a listing tells: by its
// type where the file system gives one, else by a look.
bool file_or_link(int dir_fd, const dirent* entry)
{
    if (entry->d_type == DT_REG || entry->d_type == DT_LNK)
        return true;
    if (entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

// The name with its ASCII letters folded into `folded`, sixteen or eight
// bytes at a time; false when it holds a byte beyond ASCII.
bool ascii_folded(std::string_view name, std::string& folded)
{
    folded.resize(name.size());
    char* const out = folded.data();
    std::size_t at = 0;
    bool high = false;
#ifdef __SSE2__
    // Bytes are signed here: those beyond ASCII are below 'A'.
    const __m128i below_a = _mm_set1_epi8('A' - 1), above_z = _mm_set1_epi8('Z' + 1), bit = _mm_set1_epi8(0x20);
    __m128i seen = _mm_setzero_si128();
    for (; name.size() - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(name.data() + at));
        seen = _mm_or_si128(seen, bytes);
        const __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(bytes, below_a), _mm_cmplt_epi8(bytes, above_z));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_or_si128(bytes, _mm_and_si128(upper, bit)));
    }
    high = _mm_movemask_epi8(seen) != 0;
#endif
    constexpr std::uint64_t high_bits = 0x8080808080808080u;
    std::uint64_t seen_high = 0;
    for (; at < name.size(); at += 8) {
        const std::size_t size = std::min<std::size_t>(8, name.size() - at);
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, name.data() + at, size);
        seen_high |= bytes;
        bytes = ascii_lower_word(bytes);
        std::memcpy(out + at, &bytes, size);
    }
    return !high && (seen_high & high_bits) == 0;
}

// A name as a file system that ignores case compares it, hashed: names that
// such a file system takes for one hash alike, so that unequal hashes are
// unequal names on any file system. `folded` is room the caller keeps, so
// that a hundred thousand names need no allocation each. Most names beyond
// ASCII are Chinese, which has no case: their ASCII folded is their fold.
std::uint64_t folded_hash(std::string_view name, std::string& folded)
{
    if (!ascii_folded(name, folded) && folds_beyond_ascii(name))
        fold_case(name, folded);
    return name_hash(folded);
}

// The hashes seen so far, in a table with room for `count` of them.
class hash_set {
public:
    explicit hash_set(std::size_t count)
    {
        std::size_t size = 64;
        while (size < 2 * count)
            size *= 2;
        m_slots.assign(size, 0);
    }
    // False when the hash was there already.
    bool insert(std::uint64_t hash)
    {
        hash |= 1; // 0 marks a free slot
        for (std::size_t at = hash >> 1 & (m_slots.size() - 1);; at = (at + 1) & (m_slots.size() - 1)) {
            if (m_slots[at] == hash)
                return false;
            if (m_slots[at] == 0) {
                m_slots[at] = hash;
                return true;
            }
        }
    }

private:
    std::vector<std::uint64_t> m_slots;
};

} // namespace

open_folder::open_folder(const std::string& folder, const file_system& files)
    : m_folder(folder),
      m_fd(folder.empty() ? unique_fd() : open_at(AT_FDCWD, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      m_files(&files)
{
}

folder_reading open_folder::reading() const
{
    // A folder that could not be opened reads as one that cannot be read.
    return folder_reading(m_folder, false, m_fd.is_open() ? m_fd.get() : -2, *m_files);
}

bool open_folder::holds(std::string_view name) const
{
    entry_type type{};
    return m_fd.is_open() && is_plain_name(name) && calls().look(name, type) == 0;
}

rename_result open_folder::rename_no_replace(const std::string& folder, std::string_view old_name,
                                             std::string_view new_name, move_log* log) const
{
    if (m_fd.is_open() && folder == m_folder) {
        system_calls calls(m_fd.get(), {});
        return rename_in(m_files->on(calls), old_name, new_name, m_way, {log, 0}, *m_files);
    }
    const std::string prefix = folder.empty() ? std::string() : folder_prefix(folder);
    return platform::rename_no_replace(prefix + std::string(old_name), prefix + std::string(new_name), *m_files);
}

rename_result open_folder::rename_listed(std::string_view old_name, std::string_view new_name,
                                        logged_as logged) const
{
    system_calls calls(m_fd.get(), {});
    return platform::rename_listed(m_files->on(calls), old_name, new_name, m_way, logged, *m_files);
}

listed_folder::reading::reading(const std::string& folder, const file_system& files)
    : m_folder(folder, files),
      // Watched before the first entry is read, so that a change made
      // while the reading goes is seen too.
      m_watch(m_folder.is_open() ? std::make_unique<folder_watch>(m_folder.descriptor()) : nullptr),
      m_files(m_folder.reading())
{
}

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
    listed.m_others = m_files.take_others();
    listed.m_watch = std::move(m_watch);
    return listed;
}

std::optional<listed_folder> listed_folder::read(const std::string& folder, const file_system& files)
{
    return reading(folder, files).finish();
}

listed_folder::checking::checking(const listed_folder& listed)
    : m_entries(listed.m_entries), m_unchanged(listed.m_watch && !listed.m_watch->changed())
{
    if (m_unchanged)
        return;
    m_order = listed.m_entries.order_added();
    m_there.resize(listed.m_entries.size());
    m_dir = read_from_start(listed.m_folder.descriptor());
    m_failed = !m_dir;
}

bool listed_folder::checking::step()
{
    return read_some(piece);
}

bool listed_folder::checking::read_some(std::size_t count)
{
    if (!m_dir)
        return true;
    const int fd = m_dir.descriptor();
    errno = 0;
    for (std::size_t seen = 0; seen < count; ++seen) {
        const dirent* entry = m_dir.next();
        if (!entry) {
            m_failed = errno != 0;
            m_dir.reset();
            return true;
        }
        const std::string_view name = entry->d_name;
        if (m_next < m_order.size() && m_entries[m_order[m_next]] == name) {
            m_there[m_order[m_next]] = file_or_link(fd, entry);
            ++m_next;
        } else if (name != "." && name != ".." && file_or_link(fd, entry)) {
            m_aside.emplace(name);
        }
        errno = 0;
    }
    return false;
}

void listed_folder::checking::finish(listed_folder& listed)
{
    while (!read_some(SIZE_MAX)) {
    }
    // Only the list the check was made of takes its marks.
    if (&listed.m_entries != &m_entries)
        return;
    listed.m_gone.clear();
    if (m_failed || m_unchanged)
        return;
    for (std::size_t i = 0; i < m_there.size(); ++i) {
        if (m_there[i] || m_aside.count(m_entries[i]))
            continue;
        listed.m_gone.resize(m_there.size());
        listed.m_gone[i] = true;
    }
}

void listed_folder::check()
{
    checking(*this).finish(*this);
}

rename_result listed_folder::rename(const std::string& folder, std::size_t index, std::string_view old_name,
                                    std::string_view new_name, move_log* log) const
{
    if (index >= m_entries.size() || m_entries[index] != old_name || folder != path() || !m_folder.is_open())
        return m_folder.rename_no_replace(folder, old_name, new_name, log);
    if (gone(index))
        return {rename_outcome::entry_gone, 0, {}};
    return m_folder.rename_listed(old_name, new_name, {log, m_entries.inode(index)});
}

rename_result listed_folder::rename(const std::string& folder, std::string_view old_name,
                                    std::string_view new_name) const
{
    std::size_t low = 0, high = m_entries.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (list_order_less(m_entries[middle], old_name))
            low = middle + 1;
        else
            high = middle;
    }
    return rename(folder, low, old_name, new_name);
}

std::optional<std::vector<std::uint32_t>> listed_folder::order_free(const name_list& new_names) const
{
    if (new_names.size() != m_entries.size())
        return std::nullopt;
    // Where the file system is known to keep case, names meet only when
    // their bytes are equal, and the bytes are hashed as they are: folding
    // would only cost time, most of all on long names. Elsewhere names are
    // hashed as a file system ignoring case compares them, and names of the
    // folder may then meet each other (two names alike but for case); only a
    // new name meeting one counts. The file system asked is the one a rename
    // here goes through.
    system_calls system = m_folder.calls();
    std::unique_ptr<file_calls> room;
    const bool fold = m_folder.files().renaming(m_folder.files().on(system), room).may_ignore_case();
    std::string folded;
    const auto hash = [&](std::string_view name) { return fold ? folded_hash(name, folded) : name_hash(name); };
    hash_set seen(m_entries.size() + m_others.size() + new_names.size());
    for (const auto name : m_entries)
        seen.insert(hash(name));
    for (const auto name : m_others)
        seen.insert(hash(name));
    for (std::size_t i = 0; i < new_names.size(); ++i)
        if (new_names[i] != m_entries[i] && !seen.insert(hash(new_names[i])))
            return std::nullopt;
    return m_entries.order_added();
}

} // namespace platform
