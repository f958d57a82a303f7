#include "journal.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <utility>

namespace renamer {

namespace {

// A few hundred renames: the most a crash can lose, and few enough writes
// that they cost next to nothing beside the renames themselves.
constexpr std::size_t write_out_at = 16384;

// The length of the well-formed UTF-8 sequence that starts at `at`, or 0.
std::size_t utf8_length(std::string_view s, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong form
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    }
    if (length == 0 || at + length > s.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(at + k) < 0x80 || byte(at + k) > 0xBF)
            return 0;
    return length;
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool read_entry(std::string_view line, journal_entry& entry)
{
    const auto first = line.find('\t');
    const auto second = first == std::string_view::npos ? first : line.find('\t', first + 1);
    if (second == std::string_view::npos || line.find('\t', second + 1) != std::string_view::npos)
        return false;
    return unescape_bytes(line.substr(0, first), entry.folder) &&
           unescape_bytes(line.substr(first + 1, second - first - 1), entry.old_name) &&
           unescape_bytes(line.substr(second + 1), entry.new_name) && entry.folder.starts_with('/') &&
           !entry.old_name.empty() && !entry.new_name.empty();
}

} // namespace

std::string state_folder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/fennimo";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/fennimo";
    return {};
}

std::string journal_path()
{
    const std::string folder = state_folder();
    return folder.empty() ? folder : folder + "/journal";
}

namespace {

// True when none of eight bytes needs escaping: each lies within 0x20..0x7E
// and none is a backslash. Each test leaves a high bit set in the result
// exactly when some byte fails it.
bool eight_plain(std::uint64_t x)
{
    constexpr std::uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
    const std::uint64_t control = (x - ones * 0x20) & ~x & highs;
    const std::uint64_t high_or_delete = ((x + ones) | x) & highs;
    const std::uint64_t y = x ^ (ones * '\\');
    const std::uint64_t backslash = (y - ones) & ~y & highs;
    return (control | high_or_delete | backslash) == 0;
}

} // namespace

void append_escaped(std::string& out, std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    // Most names are printable ASCII through and through, and go in whole,
    // looked at eight bytes at a time: the journal takes two names a rename.
    const auto plain = [](unsigned char c) { return c >= 0x20 && c < 0x7F && c != '\\'; };
    std::size_t at = 0;
    for (std::uint64_t eight; at + 8 <= bytes.size(); at += 8) {
        std::memcpy(&eight, bytes.data() + at, 8);
        if (!eight_plain(eight))
            break;
    }
    while (at < bytes.size() && plain(static_cast<unsigned char>(bytes[at])))
        ++at;
    out.append(bytes.data(), at);
    while (at < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c >= 0x80) {
            if (const std::size_t length = utf8_length(bytes, at)) {
                out.append(bytes, at, length);
                at += length;
                continue;
            }
        }
        ++at;
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 0xF];
        } else
            out += char(c);
    }
}

std::string escape_bytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    append_escaped(out, bytes);
    return out;
}

bool unescape_bytes(std::string_view text, std::string& bytes)
{
    bytes.clear();
    bytes.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\') {
            bytes += text[at];
            continue;
        }
        if (++at == text.size())
            return false;
        switch (text[at]) {
        case '\\': bytes += '\\'; break;
        case 't': bytes += '\t'; break;
        case 'n': bytes += '\n'; break;
        case 'r': bytes += '\r'; break;
        case 'x': {
            const int high = at + 2 < text.size() ? hex_value(text[at + 1]) : -1;
            const int low = high >= 0 ? hex_value(text[at + 2]) : -1;
            if (low < 0)
                return false;
            bytes += char(high << 4 | low);
            at += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

journal_writer::journal_writer(std::string path) : m_path(std::move(path)) {}

journal_writer::~journal_writer()
{
    finish();
}

void journal_writer::open()
{
    m_opened = true;
    using std::filesystem::perms;
    std::error_code error;
    const std::filesystem::path path(m_path);
    // The names of a user's files are theirs alone.
    if (m_path.empty())
        return fail();
    if (std::filesystem::create_directories(path.parent_path(), error))
        std::filesystem::permissions(path.parent_path(), perms::owner_all, error);
    if (error)
        return fail();
    // Emptied, then appended to, so that a run started inside another's
    // yield, which replaces the journal meanwhile, keeps its renames and the
    // other's later ones; the header is written at once for the same reason.
    std::ofstream(path, std::ios::binary | std::ios::trunc);
    std::filesystem::permissions(path, perms::owner_read | perms::owner_write, error);
    m_file.open(path, std::ios::binary | std::ios::app);
    m_file << journal_header << '\n' << std::flush;
    if (!m_file)
        fail();
}

void journal_writer::add(std::string_view folder, std::string_view old_name, std::string_view new_name)
{
    if (!m_opened)
        open();
    if (m_failed)
        return;
    // A run journals one folder over and over: its escaped form is made once.
    if (m_escaped_folder.empty() || folder != m_folder) {
        m_folder = folder;
        m_escaped_folder.clear();
        // The journal is read back from anywhere, so its folders are absolute.
        if (!folder.starts_with('/')) {
            std::error_code error;
            append_escaped(m_escaped_folder, (std::filesystem::current_path(error) / folder).native());
        } else {
            append_escaped(m_escaped_folder, folder);
        }
    }
    m_buffer += m_escaped_folder;
    m_buffer += '\t';
    append_escaped(m_buffer, old_name);
    m_buffer += '\t';
    append_escaped(m_buffer, new_name);
    m_buffer += '\n';
    if (m_buffer.size() >= write_out_at)
        write_out();
}

void journal_writer::write_out()
{
    m_file.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_file.flush();
    m_buffer.clear();
    if (!m_file)
        fail();
}

void journal_writer::finish()
{
    if (!m_file.is_open())
        return;
    write_out();
    if (m_file.is_open()) {
        m_file.close();
        if (!m_file)
            fail();
    }
}

void journal_writer::fail()
{
    m_failed = true;
    m_buffer.clear();
    m_file.close();
    // The previous run's journal, or this run's first part, must not stand
    // for this run: an undo would take back the wrong renames.
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove(m_path, ignored);
}

journal_contents read_journal(const std::string& path)
{
    journal_contents contents;
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file)
        return contents;
    std::string text;
    file.seekg(0, std::ios::end);
    text.resize(std::size_t(std::max<std::streamoff>(file.tellg(), 0)));
    file.seekg(0);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(std::size_t(file.gcount()));

    std::string_view rest = text;
    bool first = true;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        // A last line without its line feed was cut off while it was written.
        const bool whole = end != std::string_view::npos;
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(whole ? end + 1 : rest.size());
        if (std::exchange(first, false) && whole && line == journal_header)
            continue;
        journal_entry entry;
        if (whole && read_entry(line, entry))
            contents.entries.push_back(std::move(entry));
        else
            ++contents.skipped_lines;
    }
    return contents;
}

bool clear_journal(const std::string& path)
{
    std::error_code error;
    if (path.empty() || std::filesystem::remove(path, error) || !std::filesystem::exists(path, error))
        return true;
    // A folder we may not change may still hold a file we may write.
    std::ofstream emptied(path, std::ios::binary | std::ios::trunc);
    return emptied.is_open();
}

} // namespace renamer
