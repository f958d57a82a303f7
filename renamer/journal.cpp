#include "journal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace renamer {

namespace {

// Enough for a few dozen renames: the most a crash can lose.
constexpr std::size_t write_out_at = 4096;

// Creates the folder and every missing one above it, for this user only.
bool make_folders(const std::string& path)
{
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (at == std::string::npos)
            break;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool write_all(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

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
           unescape_bytes(line.substr(second + 1), entry.new_name) && !entry.folder.empty() &&
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

std::string escape_bytes(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        // Most names are plain printable ASCII: such a run goes in at once.
        std::size_t plain = at;
        while (plain < bytes.size() && bytes[plain] >= 0x20 && bytes[plain] < 0x7F && bytes[plain] != '\\')
            ++plain;
        if (plain > at) {
            out.append(bytes, at, plain - at);
            at = plain;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[at]);
        // U+0080 to U+009F are control characters as well, which some
        // terminals obey; they are escaped byte by byte like the others.
        const bool c1_control = c == 0xC2 && at + 1 < bytes.size() && static_cast<unsigned char>(bytes[at + 1]) < 0xA0;
        if (c >= 0x80 && !c1_control) {
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
    const auto slash = m_path.rfind('/');
    if (m_path.empty() || slash == std::string::npos || !make_folders(m_path.substr(0, slash))) {
        fail();
        return;
    }
    // Appending, so that a run started inside another's yield, which
    // replaces the journal meanwhile, keeps its renames and the other's later
    // ones; the header is written at once for the same reason.
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (m_fd < 0 || !write_all(m_fd, std::string(journal_header) + '\n'))
        fail();
}

void journal_writer::add(std::string_view folder, std::string_view old_name, std::string_view new_name)
{
    if (!m_opened)
        open();
    if (m_failed)
        return;
    // A run renames in one folder: its escaped path is made once.
    if (folder != m_folder) {
        m_folder = folder;
        m_escaped_folder = escape_bytes(folder);
    }
    m_buffer += m_escaped_folder;
    m_buffer += '\t';
    m_buffer += escape_bytes(old_name);
    m_buffer += '\t';
    m_buffer += escape_bytes(new_name);
    m_buffer += '\n';
    if (m_buffer.size() >= write_out_at)
        write_out();
}

void journal_writer::write_out()
{
    if (!write_all(m_fd, m_buffer))
        fail();
    m_buffer.clear();
}

void journal_writer::finish()
{
    if (m_fd < 0)
        return;
    write_out();
    if (m_fd >= 0 && ::close(m_fd) != 0) {
        m_fd = -1;
        fail();
    }
    m_fd = -1;
}

void journal_writer::fail()
{
    m_failed = true;
    m_buffer.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    // The previous run's journal, or this run's first part, must not stand
    // for this run: an undo would take back the wrong renames.
    if (!m_path.empty())
        ::unlink(m_path.c_str());
}

journal_contents read_journal(const std::string& path)
{
    journal_contents contents;
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return contents;
    std::string text;
    char chunk[65536];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(chunk, std::size_t(n));
    }
    ::close(fd);

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
    if (path.empty())
        return true;
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    // A folder we may not change may still hold a file we may write.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace renamer
