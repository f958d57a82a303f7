#include "journal.h"

#include "platform/filesystem.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

std::string runs_folder()
{
    const std::string folder = state_folder();
    return folder.empty() ? folder : folder + "/runs";
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

// The most bytes one byte of a name can take once escaped (\xHH).
constexpr std::size_t escape_growth = 4;

// Writes `bytes` escaped at `out`, which has room for escape_growth times
// as many, and answers where the writing ended. The journal writes its lines
// straight into its mapping with it, without a string in between.
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

} // namespace

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

// Folders and journals are made for the user alone: the names of a user's
// files are theirs.
constexpr mode_t private_folder = 0700;
constexpr mode_t private_file = 0600;

// The first reserve of a journal, and the most it grows by at once: large
// steps, so that a run of a million files grows it a few dozen times.
constexpr std::size_t first_reserve = std::size_t(1) << 20;
constexpr std::size_t largest_step = std::size_t(64) << 20;
// A quarter of a millisecond of page making, or less.
constexpr std::size_t made_piece = std::size_t(256) << 10;
// Room always kept for the end line, so that a journal that can grow no
// more still says how it ended.
constexpr std::size_t end_room = 64;

constexpr std::string_view end_complete = "end\tcomplete\n";
constexpr std::string_view end_stopped = "end\tstopped\n";
constexpr std::string_view end_incomplete = "end\tincomplete\n";
constexpr std::string_view superseded_line = "superseded\n";

// One level of the state folder, made when `create` asks and it is missing:
// it must be a real folder (not a link) of the user. A folder made or used
// for writing is set to the user alone.
int open_private_folder(int at, const char* name, bool create)
{
    if (create && mkdirat(at, name, private_folder) != 0 && errno != EEXIST)
        return -1;
    const int fd = openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        (create && (st.st_mode & 07777) != private_folder && fchmod(fd, private_folder) != 0)) {
        close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

// The folder of the journals, held open: its parent (the state folder) and
// it are each checked.
int open_runs_folder(const std::string& runs, bool create)
{
    if (runs.empty() || runs.front() != '/')
        return -1;
    const std::filesystem::path path(runs);
    const std::filesystem::path state = path.parent_path();
    if (create) {
        std::error_code ignored;
        std::filesystem::create_directories(state.parent_path(), ignored);
    }
    const int state_fd = open_private_folder(AT_FDCWD, state.c_str(), create);
    if (state_fd < 0)
        return -1;
    const int fd = open_private_folder(state_fd, path.filename().c_str(), create);
    close(state_fd);
    return fd;
}

bool is_journal_name(std::string_view name)
{
    return name.starts_with("run-");
}

// The journal names of the folder held at `fd`, oldest first: a name holds
// the moment its run started, written to sort.
std::vector<std::string> journal_names(int fd)
{
    std::vector<std::string> names;
    const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            close(copy);
        return names;
    }
    while (const dirent* entry = readdir(dir))
        if (is_journal_name(entry->d_name))
            names.emplace_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// True when a run still holds the journal open at `fd`. The lock is taken
// and given back at once.
bool held_by_a_run(int fd)
{
    if (flock(fd, LOCK_SH | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    flock(fd, LOCK_UN);
    return false;
}

// The journals that live in this process, for stop_journals, which may run
// in a signal handler: a slot holds a journal's descriptor (`free_slot`, or
// `stopped_slot` once stop_journals has ended it, until its writer lets it
// go), how far it is written, and how far the line being written reaches.
constexpr int free_slot = -1;
constexpr int stopped_slot = -2;
struct live_journal {
    std::atomic<int> fd{-1};
    std::atomic<std::size_t> length{0};
    std::atomic<std::size_t> writing_to{0};
};
constexpr int live_slots = 8;
live_journal live[live_slots];
// The thread that writes the journals; a signal that another thread takes
// is passed on to it, so that no line is being written while the journal
// is ended.
pthread_t writer_thread;
std::atomic<bool> handlers_installed{false};

void write_all_at(int fd, const char* data, std::size_t size, std::size_t at)
{
    while (size > 0) {
        const ssize_t written = pwrite(fd, data, size, static_cast<off_t>(at));
        if (written <= 0)
            return;
        data += written;
        size -= std::size_t(written);
        at += std::size_t(written);
    }
}

extern "C" void end_on_signal(int signal)
{
    if (!pthread_equal(pthread_self(), writer_thread)) {
        pthread_kill(writer_thread, signal);
        return;
    }
    stop_journals();
    // The program ends as the signal would have ended it.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void install_handlers()
{
    if (handlers_installed.exchange(true))
        return;
    writer_thread = pthread_self();
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction now {};
        // A program that chose what a signal does keeps its choice.
        if (sigaction(signal, nullptr, &now) != 0 || now.sa_handler != SIG_DFL)
            continue;
        struct sigaction ending {};
        ending.sa_handler = end_on_signal;
        sigemptyset(&ending.sa_mask);
        sigaction(signal, &ending, nullptr);
    }
    // Past a limit on the size of files (ulimit -f) a write then fails, and
    // with it the journal alone, rather than ending the program in the
    // middle of its run.
    struct sigaction now {};
    if (sigaction(SIGXFSZ, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) {
        struct sigaction ignored {};
        ignored.sa_handler = SIG_IGN;
        sigemptyset(&ignored.sa_mask);
        sigaction(SIGXFSZ, &ignored, nullptr);
    }
}

std::string journal_name()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    char name[64];
    std::snprintf(name, sizeof name, "run-%020lld-%d", static_cast<long long>(ns), static_cast<int>(getpid()));
    return name;
}

// A run that could not keep a journal stands between the last journalled
// run and any undo: the newest journal is marked so that it is not taken
// back over it.
void mark_newest_superseded(const std::string& runs)
{
    const auto files = journal_files(runs);
    if (files.empty())
        return;
    std::string error;
    const int fd = open_journal(files.back(), true, error);
    if (fd < 0)
        return;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const journal_record record = read_journal(fd, files.back(), false);
        if (record.valid())
            append_to_journal(fd, record.length, superseded_line);
    }
    close(fd);
}

// Only the newest runs_kept journals stay; one a run still writes, or that
// is not a regular file of the user, is left alone.
void remove_old_journals(int runs_fd)
{
    const auto names = journal_names(runs_fd);
    for (std::size_t k = 0; k + runs_kept < names.size(); ++k) {
        const int fd = openat(runs_fd, names[k].c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(runs_fd, names[k].c_str(), 0);
        close(fd);
    }
}

} // namespace

void stop_journals() noexcept
{
    static const char zeros[256] = {};
    for (auto& slot : live) {
        const int fd = slot.fd.load();
        if (fd == free_slot || fd == stopped_slot)
            continue;
        // A line cut off in the middle is wiped, so that the journal ends
        // with the last whole one.
        const std::size_t length = slot.length.load();
        for (std::size_t at = length; at < slot.writing_to.load();) {
            const std::size_t part = std::min(sizeof zeros, slot.writing_to.load() - at);
            write_all_at(fd, zeros, part, at);
            at += part;
        }
        write_all_at(fd, end_stopped.data(), end_stopped.size(), length);
        slot.length.store(length + end_stopped.size());
        slot.fd.store(stopped_slot);
    }
}

journal_writer::journal_writer(std::string runs_folder) : m_runs(std::move(runs_folder)) {}

journal_writer::~journal_writer()
{
    finish();
}

void journal_writer::open(std::string_view folder)
{
    m_opened = true;
    install_handlers();
    // The journal is read back from anywhere, so its folder is absolute.
    std::error_code error;
    const std::filesystem::path absolute =
        folder.starts_with('/') ? std::filesystem::path(folder) : std::filesystem::current_path(error) / folder;
    struct stat identity {};
    const int runs_fd = open_runs_folder(m_runs, true);
    if (runs_fd < 0 || stat(absolute.c_str(), &identity) != 0) {
        if (runs_fd >= 0)
            close(runs_fd);
        mark_newest_superseded(m_runs);
        m_failed = true;
        return;
    }
    std::string name;
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        name = journal_name();
        m_fd = openat(runs_fd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, private_file);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0 || flock(m_fd, LOCK_EX | LOCK_NB) != 0 || !reserve(first_reserve - end_room)) {
        // What was made for this run and holds nothing is not a journal.
        if (m_fd >= 0) {
            unlinkat(runs_fd, name.c_str(), 0);
            close(std::exchange(m_fd, -1));
        }
        close(runs_fd);
        mark_newest_superseded(m_runs);
        m_failed = true;
        return;
    }
    m_path = m_runs + "/" + name;
    m_folder = folder;

    std::string header(journal_header);
    header += "\nfolder\t";
    append_escaped(header, absolute.native());
    header += "\nidentity\t" + std::to_string(identity.st_dev) + "\t" + std::to_string(identity.st_ino);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    header += "\nstarted\t" + std::to_string(seconds.count()) + "\n";
    append(header);

    for (int k = 0; k < live_slots && m_slot < 0; ++k) {
        int free = free_slot;
        if (live[k].fd.compare_exchange_strong(free, m_fd)) {
            live[k].length.store(m_length);
            live[k].writing_to.store(m_length);
            m_slot = k;
        }
    }
    remove_old_journals(runs_fd);
    close(runs_fd);
}

bool journal_writer::reserve(std::size_t more)
{
    const std::size_t needed = m_length + more + end_room;
    if (needed > m_reserved) {
        const std::size_t step = std::clamp(m_reserved, first_reserve, largest_step);
        const std::size_t wanted = std::max(m_reserved + step, needed + step);
        // The file is as long as the mapping, so that no page of it lies
        // past the file's end; what is not written yet is a hole.
        if (ftruncate(m_fd, static_cast<off_t>(wanted)) != 0)
            return false;
        // Grown in place where it can be, keeping the pages made so far.
        void* map = m_map ? mremap(m_map, m_reserved, wanted, MREMAP_MAYMOVE)
                          : mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
        if (map == MAP_FAILED)
            return false;
        m_map = static_cast<char*>(map);
        m_reserved = wanted;
    }
    // Zeros are written a piece ahead of the lines: the file system takes
    // the blocks then, so a full disk is a failed reserve here and never a
    // fault in the mapping, and the pages are in memory before the lines
    // reach them. A piece at a time, never many at once, which would hold
    // the window up as long. Writing them costs less than having the mapping
    // make them, or than allocating the blocks beforehand.
    if (needed > m_made) {
        // Not const: a constant array of zeros would be stored in the program.
        static char zeros[made_piece];
        const std::size_t until = std::min(m_reserved, needed + made_piece);
        for (std::size_t at = m_made; at < until;) {
            const ssize_t written = pwrite(m_fd, zeros, std::min(until - at, sizeof zeros), static_cast<off_t>(at));
            if (written <= 0)
                return false;
            at += static_cast<std::size_t>(written);
        }
        m_made = until;
    }
    return true;
}

template <typename Write>
void journal_writer::write_line(std::size_t most, Write write)
{
    live_journal* slot = m_slot >= 0 ? &live[m_slot] : nullptr;
    if (slot)
        slot->writing_to.store(m_length + most, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    m_length = static_cast<std::size_t>(write(m_map + m_length) - m_map);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (slot)
        slot->length.store(m_length, std::memory_order_relaxed);
}

void journal_writer::append(std::string_view bytes)
{
    write_line(bytes.size(), [bytes](char* out) { return std::copy(bytes.begin(), bytes.end(), out); });
}

void journal_writer::add(std::string_view folder, std::string_view old_name, std::string_view new_name)
{
    if (!m_opened)
        open(folder);
    if (m_failed || m_fd < 0)
        return;
    // Ended from outside (the program is ending): nothing more goes in.
    if (m_slot >= 0 && live[m_slot].fd.load(std::memory_order_relaxed) == stopped_slot)
        return;
    // A journal holds one folder; a run that moved on to another could not
    // be taken back from it.
    if (folder != m_folder)
        return fail();
    // The line is escaped straight into the mapping. What a stop in the
    // middle of it may leave is wiped up to the most it could take.
    const std::size_t most = 2 + escape_growth * (old_name.size() + new_name.size()) + 2;
    if (!reserve(most))
        return fail();
    write_line(most, [&](char* out) {
        out = std::copy_n("r\t", 2, out);
        out = escape_into(out, old_name);
        *out++ = '\t';
        out = escape_into(out, new_name);
        *out++ = '\n';
        return out;
    });
}

void journal_writer::finish()
{
    if (m_fd >= 0)
        close_with(end_complete);
}

void journal_writer::fail()
{
    m_failed = true;
    if (m_fd >= 0)
        close_with(end_incomplete);
}

void journal_writer::close_with(std::string_view end)
{
    if (m_slot >= 0 && live[m_slot].fd.load() == stopped_slot) {
        // stop_journals ended it already.
        m_length = live[m_slot].length.load();
    } else {
        // The room for it is always kept.
        append(end);
    }
    if (m_slot >= 0)
        live[m_slot].fd.store(free_slot);
    m_slot = -1;
    munmap(m_map, m_reserved);
    m_map = nullptr;
    if (ftruncate(m_fd, static_cast<off_t>(m_length)) != 0)
        m_failed = true;
    close(std::exchange(m_fd, -1));
}

int open_journal(const std::string& path, bool writable, std::string& error)
{
    // No link is followed, and a FIFO does not hold the open up.
    const int fd = open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const std::string not_regular = "撤销记录不是本用户的普通文件，不予使用：" + escape_bytes(path);
    if (fd < 0) {
        error = errno == ELOOP ? "撤销记录是一个链接，不予使用：" + escape_bytes(path)
              : errno == EISDIR || errno == ENXIO
                  ? not_regular
                  : "无法打开撤销记录 " + escape_bytes(path) + "：" + platform::error_text(errno);
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        error = not_regular;
        return -1;
    }
    return fd;
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

// A rename as a journal line holds it: two plain names.
bool read_rename(std::string_view old_text, std::string_view new_text, journal_entry& entry)
{
    return unescape_bytes(old_text, entry.old_name) && unescape_bytes(new_text, entry.new_name) &&
           platform::is_plain_name(entry.old_name) && platform::is_plain_name(entry.new_name);
}

enum class ending { none, complete, stopped, incomplete };

} // namespace

journal_record read_journal(int fd, const std::string& path, bool running)
{
    journal_record record;
    record.path = path;
    std::string text;
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0)
        text.reserve(std::size_t(st.st_size));
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t got = pread(fd, buffer, sizeof buffer, at);
        if (got < 0) {
            record.error = "无法读取撤销记录 " + escape_bytes(path) + "：" + platform::error_text(errno);
            return record;
        }
        if (got == 0)
            break;
        text.append(buffer, std::size_t(got));
        at += got;
    }
    // What lies past the first NUL is room a run had reserved and not yet
    // used; a last line without its line feed was in flight when the run
    // ended. Neither is part of the journal.
    text.resize(std::min(text.find('\0'), text.size()));
    text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    record.length = text.size();

    const auto bad = [&](std::size_t line) {
        record.error = "撤销记录已损坏（第 " + std::to_string(line) + " 行）：" + escape_bytes(path);
        return record;
    };
    std::string_view rest = text;
    bool identified = false;
    ending end = ending::none;
    int undos = 0;
    std::vector<journal_entry> kept;
    for (std::size_t number = 1; !rest.empty(); ++number) {
        const auto cut = rest.find('\n');
        const std::string_view line = rest.substr(0, cut);
        rest.remove_prefix(cut + 1);
        if (number == 1) {
            if (line != journal_header)
                return bad(number);
            continue;
        }
        const auto fields = fields_of(line);
        const std::string_view key = fields[0];
        if (key == "r" && fields.size() == 3 && identified && end == ending::none) {
            journal_entry entry;
            if (!read_rename(fields[1], fields[2], entry))
                return bad(number);
            record.entries.push_back(std::move(entry));
        } else if (key == "folder" && fields.size() == 2 && record.entries.empty()) {
            if (!unescape_bytes(fields[1], record.folder) || !record.folder.starts_with('/'))
                return bad(number);
        } else if (key == "identity" && fields.size() == 3) {
            if (!read_number(fields[1], record.device) || !read_number(fields[2], record.inode))
                return bad(number);
            identified = !record.folder.empty();
        } else if (key == "started" && fields.size() == 2) {
            if (!read_number(fields[1], record.started))
                return bad(number);
        } else if (key == "end" && fields.size() == 2 && identified) {
            // The first end counts: a signal that came as the run ended
            // adds another.
            if (end == ending::none)
                end = fields[1] == "complete" ? ending::complete
                    : fields[1] == "stopped"  ? ending::stopped
                                              : ending::incomplete;
        } else if (key == "superseded" && fields.size() == 1) {
            record.superseded = true;
        } else if (key == "kept" && fields.size() == 3 && identified) {
            journal_entry entry;
            if (!read_rename(fields[1], fields[2], entry))
                return bad(number);
            kept.push_back(std::move(entry));
        } else if (key == "undone" && fields.size() == 3 && identified) {
            ++undos;
            record.left = std::move(kept);
            kept.clear();
        } else {
            return bad(number);
        }
    }
    if (!identified)
        return bad(1);
    // An undo whose own lines were cut off left no mark: it counts as not
    // having happened, and the next one finds what it put back.
    if (undos == 0)
        record.left = record.entries;
    if (undos > 0)
        record.state = record.left.empty() ? run_state::undone : run_state::partly_undone;
    else if (end == ending::complete)
        record.state = run_state::complete;
    else if (end == ending::incomplete)
        record.state = run_state::incomplete;
    else if (end == ending::none && running)
        record.state = run_state::running;
    else
        record.state = run_state::interrupted;
    return record;
}

journal_record read_journal(const std::string& path)
{
    std::string error;
    const int fd = open_journal(path, false, error);
    if (fd < 0) {
        journal_record record;
        record.path = path;
        record.error = error;
        return record;
    }
    journal_record record = read_journal(fd, path, held_by_a_run(fd));
    close(fd);
    return record;
}

std::vector<std::string> journal_files(const std::string& runs_folder)
{
    std::vector<std::string> files;
    const int fd = open_runs_folder(runs_folder, false);
    if (fd < 0)
        return files;
    for (const auto& name : journal_names(fd))
        files.push_back(runs_folder + "/" + name);
    close(fd);
    return files;
}

std::vector<journal_record> run_history(const std::string& runs_folder)
{
    std::vector<journal_record> runs;
    for (const auto& file : journal_files(runs_folder))
        runs.push_back(read_journal(file));
    return runs;
}

bool append_to_journal(int fd, std::size_t at, std::string_view lines)
{
    if (ftruncate(fd, static_cast<off_t>(at)) != 0)
        return false;
    while (!lines.empty()) {
        const ssize_t written = pwrite(fd, lines.data(), lines.size(), static_cast<off_t>(at));
        if (written <= 0)
            return false;
        lines.remove_prefix(std::size_t(written));
        at += std::size_t(written);
    }
    return true;
}

std::string state_text(const journal_record& run)
{
    if (!run.valid())
        return "无法使用";
    switch (run.state) {
    case run_state::running: return "进行中";
    case run_state::complete: return "已完成";
    case run_state::interrupted: return "中断";
    case run_state::incomplete: return "未完整记录";
    case run_state::undone: return "已撤销";
    case run_state::partly_undone: return "部分撤销";
    }
    return {};
}

} // namespace renamer
