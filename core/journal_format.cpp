#include "journal_format.h"

#include "platform/files/rename.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace renamer {

namespace {

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

} // namespace

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

// The journal writes its lines straight into its mapping with it, without a
// string in between.
char* escape_into(char* out, std::string_view bytes)
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
    out = std::copy_n(bytes.data(), at, out);
    const auto put = [&out](std::string_view text) { out = std::copy(text.begin(), text.end(), out); };
    while (at < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c >= 0x80) {
            if (const std::size_t length = utf8_length(bytes, at)) {
                out = std::copy_n(bytes.data() + at, length, out);
                at += length;
                continue;
            }
        }
        ++at;
        if (c == '\\')
            put("\\\\");
        else if (c == '\t')
            put("\\t");
        else if (c == '\n')
            put("\\n");
        else if (c == '\r')
            put("\\r");
        else if (c < 0x20 || c >= 0x7F) {
            const char hex[] = {'\\', 'x', digits[c >> 4], digits[c & 0xF]};
            put({hex, sizeof hex});
        } else
            *out++ = char(c);
    }
    return out;
}

void append_escaped(std::string& out, std::string_view bytes)
{
    const std::size_t start = out.size();
    out.resize(start + escape_growth * bytes.size());
    char* const begin = out.data();
    out.resize(static_cast<std::size_t>(escape_into(begin + start, bytes) - begin));
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


namespace {

// The fields of a line, split at its tabs.
std::vector<std::string_view> fields_of(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t at = 0;;) {
        const auto tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
        if (tab == std::string_view::npos)
            return fields;
        at = tab + 1;
    }
}

template <typename Number>
bool read_number(std::string_view text, Number& number)
{
    if (text.empty() || text.size() > 20)
        return false;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + std::uint64_t(c - '0');
    }
    number = static_cast<Number>(value);
    return true;
}

// A key: digits, or two runs of digits joined by one dot.
bool is_key(std::string_view key)
{
    const auto dot = key.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.size() <= 20 &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dot == std::string_view::npos ? digits(key) : digits(key.substr(0, dot)) && digits(key.substr(dot + 1));
}

// A move as a line holds it: a key and two plain names.
bool read_move(const std::vector<std::string_view>& fields, journal_entry& entry)
{
    if (!is_key(fields[1]))
        return false;
    entry.key = fields[1];
    return unescape_bytes(fields[2], entry.old_name) && unescape_bytes(fields[3], entry.new_name) &&
           platform::is_plain_name(entry.old_name) && platform::is_plain_name(entry.new_name);
}

// Reads a journal line by line into `text`; `keep_moves` false reads the
// first and last lines of a summary, where the moves themselves are left
// out.
class journal_parser {
public:
    journal_parser(journal_text& text, bool keep_moves) : m_text(text), m_keep(keep_moves) {}

    // False at a line that is not a journal's.
    bool line(std::string_view line, std::size_t number)
    {
        if (number == 1)
            return line == journal_header;
        const auto fields = fields_of(line);
        const std::string_view key = fields[0];
        journal_text& t = m_text;
        if (key == "r" && fields.size() == 4 && t.identified && t.end == journal_end::none) {
            journal_entry entry;
            if (!read_move(fields, entry))
                return false;
            t.moved = true;
            if (m_keep)
                t.entries.push_back(std::move(entry));
            return true;
        }
        if (key == "folder" && fields.size() == 2 && !t.moved)
            return unescape_bytes(fields[1], t.folder) && t.folder.starts_with('/');
        if (key == "identity" && fields.size() == 6 && !t.moved) {
            platform::folder_identity& id = t.identity;
            if (!read_number(fields[1], id.device) || !read_number(fields[2], id.inode) ||
                !read_number(fields[3], id.birth_seconds) || !read_number(fields[4], id.birth_nanoseconds) ||
                !read_number(fields[5], id.generation))
                return false;
            t.identified = !t.folder.empty();
            return true;
        }
        if (key == "files" && fields.size() == 2 && !t.moved) {
            if (fields[1] != "inode" && fields[1] != "size-time")
                return false;
            t.naming = fields[1] == "inode" ? file_naming::inode : file_naming::size_and_time;
            return true;
        }
        if (key == "started" && fields.size() == 2)
            return read_number(fields[1], t.started);
        if (key == "end" && fields.size() == 3 && t.identified) {
            const journal_end how = fields[1] == "complete" ? journal_end::complete
                                  : fields[1] == "stopped"  ? journal_end::stopped
                                  : fields[1] == "incomplete" ? journal_end::incomplete
                                                              : journal_end::none;
            std::uint64_t files = 0;
            if (how == journal_end::none || !read_number(fields[2], files))
                return false;
            // The first end counts: a signal that came as the run ended
            // adds another.
            if (t.end == journal_end::none) {
                t.end = how;
                t.files = files;
            }
            return true;
        }
        if (key == "superseded" && fields.size() == 1) {
            t.superseded = true;
            return true;
        }
        if (key == "undoing" && fields.size() == 1 && t.identified) {
            t.undo_unfinished = true;
            m_kept.clear();
            return true;
        }
        if (key == "kept" && fields.size() == 4 && t.identified) {
            journal_entry entry;
            if (!read_move(fields, entry))
                return false;
            m_kept.push_back(std::move(entry));
            return true;
        }
        if (key == "undone" && fields.size() == 4 && t.identified) {
            std::uint64_t restored = 0, kept = 0;
            if (!read_number(fields[1], restored) || !read_number(fields[2], kept) ||
                !read_number(fields[3], t.gone))
                return false;
            ++t.undos;
            t.undo_unfinished = false;
            t.kept = std::move(m_kept);
            m_kept.clear();
            return true;
        }
        return false;
    }

    // Every line of `text`, numbered from `first`; false at the first bad one.
    bool lines(std::string_view text, std::size_t first)
    {
        for (std::size_t number = first; !text.empty(); ++number) {
            const auto cut = text.find('\n');
            if (!line(text.substr(0, cut), number)) {
                m_text.bad_line = number;
                return false;
            }
            text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
        }
        return true;
    }

    // A journal that moved something must say where.
    void finish()
    {
        if (m_text.whole() && m_text.moved && !m_text.identified)
            m_text.bad_line = 1;
    }

private:
    journal_text& m_text;
    bool m_keep;
    std::vector<journal_entry> m_kept;
};

} // namespace

std::string inode_key(std::uint64_t inode)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, inode).ptr;
    return std::string(digits, end);
}

std::string file_key(file_naming naming, const platform::file_found& file)
{
    if (naming == file_naming::inode)
        return inode_key(file.inode);
    return inode_key(file.size) + "." + inode_key(static_cast<std::uint64_t>(file.modified_nanoseconds));
}

void append_move_line(std::string& out, std::string_view tag, const journal_entry& entry)
{
    out.append(tag);
    out += '\t';
    out += entry.key;
    out += '\t';
    append_escaped(out, entry.old_name);
    out += '\t';
    append_escaped(out, entry.new_name);
    out += '\n';
}

std::string journal_head(std::string_view folder, const platform::folder_identity& identity, file_naming naming,
                         std::int64_t started)
{
    std::string head(journal_header);
    head += "\nfolder\t";
    append_escaped(head, folder);
    head += "\nidentity\t" + std::to_string(identity.device) + "\t" + std::to_string(identity.inode) + "\t" +
            std::to_string(identity.birth_seconds) + "\t" + std::to_string(identity.birth_nanoseconds) + "\t" +
            std::to_string(identity.generation);
    head += naming == file_naming::inode ? "\nfiles\tinode" : "\nfiles\tsize-time";
    head += "\nstarted\t" + std::to_string(started) + "\n";
    return head;
}

std::string_view whole_lines(std::string_view text)
{
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    const auto last = text.rfind('\n');
    return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

journal_text parse_journal(std::string_view text)
{
    journal_text result;
    text = whole_lines(text);
    result.length = text.size();
    journal_parser parser(result, true);
    parser.lines(text, 1);
    parser.finish();
    return result;
}

journal_text parse_summary(std::string_view head, std::string_view tail, bool moves)
{
    journal_text result;
    journal_parser parser(result, false);
    if (parser.lines(whole_lines(head), 1)) {
        result.moved = result.moved || moves;
        // The tail's lines are numbered after the head's as if nothing lay
        // between; only whether one is bad matters to a summary.
        parser.lines(whole_lines(tail), 2);
    }
    parser.finish();
    return result;
}

} // namespace renamer
