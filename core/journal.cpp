#include "journal.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
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

// The first reserve of a journal, and the most it grows by at once: large
// steps, so that a run of a million files grows it a few dozen times.
constexpr std::size_t first_reserve = std::size_t(1) << 20;
constexpr std::size_t largest_step = std::size_t(64) << 20;
// A quarter of a millisecond of page making, or less.
constexpr std::size_t made_piece = std::size_t(256) << 10;
// Room always kept for the end line, so that a journal that can grow no
// more still says how it ended.
constexpr std::size_t end_room = 64;

constexpr std::string_view superseded_line = "superseded\n";

// The end line "end TAB how TAB files", written without an allocation, so
// that a signal handler can write it too. Answers its length.
std::size_t end_line(char* out, std::string_view how, std::uint64_t files)
{
    char* at = out;
    const auto put = [&at](std::string_view text) {
        for (const char c : text)
            *at++ = c;
    };
    put("end\t");
    put(how);
    *at++ = '\t';
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + files % 10);
        files /= 10;
    } while (files != 0);
    while (count > 0)
        *at++ = digits[--count];
    *at++ = '\n';
    return std::size_t(at - out);
}

// The journals that live in this process, for stop_journals, which may run
// in a signal handler: a slot holds a journal's descriptor (`free_slot`, or
// `stopped_slot` once stop_journals has ended it, until its writer lets it
// go), how far it is written, how far the line being written reaches, and
// how many files its run has moved.
constexpr int free_slot = -1;
constexpr int stopped_slot = -2;
struct live_journal {
    std::atomic<int> fd{-1};
    std::atomic<std::size_t> length{0};
    std::atomic<std::size_t> writing_to{0};
    std::atomic<std::uint64_t> files{0};
};
constexpr int live_slots = 8;
live_journal live[live_slots];
// The thread that writes the journals; a signal that another thread takes
// is passed on to it, so that no line is being written while the journal
// is ended.
pthread_t writer_thread;
std::atomic<bool> handlers_installed{false};

// Writes `size` bytes at `at`, as far as the file takes them: a write that
// a signal's handler interrupted before it wrote anything is made again.
// Safe in a signal handler.
void write_all_at(int fd, const char* data, std::size_t size, std::size_t at)
{
    while (size > 0) {
        const ssize_t written =
            platform::retry_interrupted([&] { return pwrite(fd, data, size, static_cast<off_t>(at)); });
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

// Reads the whole of the file at `fd` into `text`; false with errno set
// when it cannot.
bool read_all(int fd, std::string& text)
{
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0)
        text.reserve(std::size_t(st.st_size));
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t got = platform::retry_interrupted([&] { return pread(fd, buffer, sizeof buffer, at); });
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text.append(buffer, std::size_t(got));
        at += got;
    }
}

// A run that could not keep a journal stands between the last journalled
// run and any undo: the newest journal is marked so that it is not taken
// back over it.
void mark_newest_superseded(const std::string& runs)
{
    const platform::run_store store(runs, false);
    const auto names = store.journals();
    if (names.empty())
        return;
    platform::store_refusal refusal;
    const platform::unique_fd fd = store.open(names.back().name, true, refusal);
    if (!fd.is_open())
        return;
    if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        const journal_record record = read_journal_at(fd.get(), store.path() + "/" + names.back().name, false);
        if (record.usable())
            append_to_journal(fd.get(), record.text.length, superseded_line);
    }
}

run_state state_of(const journal_text& text, bool held)
{
    // Held: a run that has not ended its journal yet, or an undo.
    if (held && (text.undo_unfinished || text.end == journal_end::none))
        return text.undo_unfinished ? run_state::undoing : run_state::running;
    if (text.renamed_nothing())
        return run_state::renamed_nothing;
    if (text.undos > 0)
        return text.left().empty() && text.gone == 0 ? run_state::undone : run_state::partly_undone;
    switch (text.end) {
    case journal_end::complete: return run_state::complete;
    case journal_end::incomplete: return run_state::incomplete;
    default: return run_state::interrupted;
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
        // with the last whole one; the move it was written for has not
        // been made, since the line is whole before its move begins.
        const std::size_t length = slot.length.load();
        for (std::size_t at = length; at < slot.writing_to.load();) {
            const std::size_t part = std::min(sizeof zeros, slot.writing_to.load() - at);
            write_all_at(fd, zeros, part, at);
            at += part;
        }
        char end[end_room];
        const std::size_t size = end_line(end, "stopped", slot.files.load());
        write_all_at(fd, end, size, length);
        slot.length.store(length + size);
        slot.fd.store(stopped_slot);
    }
}

void install_journal_handlers()
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
        // The handler returns only in a thread that passes the signal on to
        // the writer, whose call then goes on as if nothing had come. In the
        // writer the signal raised again is delivered as the handler
        // returns, and ends the program before any call could go on.
        ending.sa_flags = SA_RESTART;
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

journal_writer::journal_writer(std::string runs_folder) : m_runs(std::move(runs_folder)) {}

journal_writer::~journal_writer()
{
    finish();
}

void journal_writer::rename_in(std::string_view folder, int folder_fd)
{
    if (!m_opened) {
        m_folder = folder;
        m_folder_fd = folder_fd;
    } else if (folder_fd != m_folder_fd) {
        // A journal holds one folder; a run that moved on to another could
        // not be taken back from it. The same folder opened anew (the list
        // read again while the run goes) is still that folder.
        if (folder == m_folder && platform::identity_of_folder(folder_fd) == m_identity)
            m_folder_fd = folder_fd;
        else
            fail();
    } else if (folder != m_folder) {
        fail();
    }
}

void journal_writer::open()
{
    m_opened = true;
    // The journal is read back from anywhere, so its folder is absolute.
    std::error_code error;
    const std::filesystem::path absolute = m_folder.starts_with('/')
                                               ? std::filesystem::path(m_folder)
                                               : std::filesystem::current_path(error) / m_folder;
    // From the descriptor the renames go through, now, before the first of
    // them: whatever has taken the folder's path since the listing, the
    // journal names the folder that is renamed in.
    const auto identity = platform::identity_of_folder(m_folder_fd);
    platform::run_store store(m_runs, true);
    if (identity && store.is_open())
        m_fd = store.create(m_path);
    if (!m_fd.is_open() || !reserve(first_reserve - end_room)) {
        // What was made for this run and holds nothing is not a journal.
        if (m_fd.is_open()) {
            unlink(m_path.c_str());
            m_fd.reset();
        }
        m_path.clear();
        mark_newest_superseded(m_runs);
        m_failed = true;
        return;
    }
    m_naming = platform::inodes_unstable(m_folder_fd) ? file_naming::size_and_time : file_naming::inode;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    m_identity = *identity;
    const std::string head = journal_head(absolute.native(), *identity, m_naming, seconds.count());
    write_line(head.size(), [&head](char* out) { return std::copy(head.begin(), head.end(), out); });
    m_head_length = m_length;

    for (int k = 0; k < live_slots && m_slot < 0; ++k) {
        int free = free_slot;
        if (live[k].fd.compare_exchange_strong(free, m_fd.get())) {
            live[k].length.store(m_length);
            live[k].writing_to.store(m_length);
            live[k].files.store(0);
            m_slot = k;
        }
    }
    store.prune(runs_kept);
}

bool journal_writer::reserve(std::size_t more)
{
    const std::size_t needed = m_length + more + end_room;
    if (needed > m_reserved) {
        const std::size_t step = std::clamp(m_reserved, first_reserve, largest_step);
        const std::size_t wanted = std::max(m_reserved + step, needed + step);
        // The file is as long as the mapping, so that no page of it lies
        // past the file's end; what is not written yet is a hole.
        if (platform::retry_interrupted([&] { return ftruncate(m_fd.get(), static_cast<off_t>(wanted)); }) != 0)
            return false;
        // Grown in place where it can be, keeping the pages made so far.
        void* map = m_map ? mremap(m_map, m_reserved, wanted, MREMAP_MAYMOVE)
                          : mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd.get(), 0);
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
            const ssize_t written = platform::retry_interrupted(
                [&] { return pwrite(m_fd.get(), zeros, std::min(until - at, sizeof zeros), static_cast<off_t>(at)); });
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

void journal_writer::moving(std::uint64_t inode, std::string_view from, std::string_view to)
{
    if (!m_opened)
        open();
    if (m_failed || !m_fd.is_open())
        return;
    // Ended from outside (the program is ending): nothing more goes in,
    // and the move that follows is one the run makes as the program ends.
    if (m_slot >= 0 && live[m_slot].fd.load(std::memory_order_relaxed) == stopped_slot)
        return;
    // The file's key: its inode as the listing gave it, or as a look finds
    // it where the listing gave none or the inodes are not stable.
    char key[48];
    std::size_t key_size = 0;
    // The listing's inode is the one a look finds on every file system this
    // was tried on; the first file tells, and where it is not, every file is
    // looked at.
    if (!m_listing_checked && m_naming == file_naming::inode && inode != 0) {
        m_listing_checked = true;
        const auto found = platform::find_file(m_folder_fd, from);
        m_listing_trusted = !found || found->inode == inode;
    }
    if (m_naming == file_naming::inode && inode != 0 && m_listing_trusted) {
        key_size = std::size_t(std::to_chars(key, key + sizeof key, inode).ptr - key);
    } else {
        const auto found = platform::find_file(m_folder_fd, from);
        const std::string text = found ? file_key(m_naming, *found) : std::string("0");
        key_size = text.copy(key, sizeof key);
    }
    const std::size_t most = 2 + key_size + 1 + escape_growth * (from.size() + to.size()) + 2;
    if (!reserve(most))
        return fail();
    m_line_start = m_length;
    write_line(most, [&](char* out) {
        out = std::copy_n("r\t", 2, out);
        out = std::copy_n(key, key_size, out);
        *out++ = '\t';
        out = escape_into(out, from);
        *out++ = '\t';
        out = escape_into(out, to);
        *out++ = '\n';
        return out;
    });
    // A move from where the last one went is the same file's next step
    // (a case-only rename's); any other begins a file.
    m_last_began_file = from != m_last_to || inode != m_last_inode;
    m_files += m_last_began_file;
    m_last_to = to;
    m_last_inode = inode;
    if (m_slot >= 0)
        live[m_slot].files.store(m_files, std::memory_order_relaxed);
}

void journal_writer::not_moved()
{
    if (!m_fd.is_open() || m_length == m_line_start)
        return;
    if (m_slot >= 0 && live[m_slot].fd.load(std::memory_order_relaxed) == stopped_slot)
        return;
    // The line of a move that did not happen is wiped: first the length
    // the signal handler would end at, then the bytes, which it would wipe
    // too.
    live_journal* slot = m_slot >= 0 ? &live[m_slot] : nullptr;
    if (slot)
        slot->length.store(m_line_start, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::fill(m_map + m_line_start, m_map + m_length, '\0');
    m_length = m_line_start;
    m_files -= m_last_began_file;
    m_last_began_file = false;
    if (slot)
        slot->files.store(m_files, std::memory_order_relaxed);
}

void journal_writer::finish()
{
    if (!m_fd.is_open())
        return;
    // Every move was refused: a run that renamed nothing leaves no journal.
    if (m_length == m_head_length && (m_slot < 0 || live[m_slot].fd.load() != stopped_slot)) {
        if (m_slot >= 0)
            live[m_slot].fd.store(free_slot);
        m_slot = -1;
        munmap(std::exchange(m_map, nullptr), m_reserved);
        unlink(m_path.c_str());
        m_path.clear();
        m_fd.reset();
        return;
    }
    close_with("complete");
}

void journal_writer::fail()
{
    m_failed = true;
    if (m_fd.is_open())
        close_with("incomplete");
}

void journal_writer::close_with(std::string_view how)
{
    if (m_slot >= 0 && live[m_slot].fd.load() == stopped_slot) {
        // stop_journals ended it already.
        m_length = live[m_slot].length.load();
    } else {
        // The room for it is always kept.
        char end[end_room];
        const std::size_t size = end_line(end, how, m_files);
        write_line(size, [&](char* out) { return std::copy_n(end, size, out); });
    }
    if (m_slot >= 0)
        live[m_slot].fd.store(free_slot);
    m_slot = -1;
    munmap(m_map, m_reserved);
    m_map = nullptr;
    if (platform::retry_interrupted([&] { return ftruncate(m_fd.get(), static_cast<off_t>(m_length)); }) != 0)
        m_failed = true;
    m_fd.reset();
}

journal_record read_journal_at(int fd, const std::string& path, bool held)
{
    journal_record record;
    record.path = path;
    std::string text;
    if (!read_all(fd, text)) {
        const int error = errno;
        record.refusal = {platform::store_problem::failed, path, error};
        return record;
    }
    record.text = parse_journal(text);
    record.state = state_of(record.text, held);
    record.files = record.text.end != journal_end::none ? record.text.files : record.text.entries.size();
    return record;
}

journal_record read_journal(const platform::run_store& store, const std::string& name, platform::unique_fd& fd)
{
    const std::string path = store.path() + "/" + name;
    journal_record record;
    record.path = path;
    fd = store.open(name, true, record.refusal);
    if (!fd.is_open())
        return record;
    const bool held = flock(fd.get(), LOCK_EX | LOCK_NB) != 0;
    record = read_journal_at(fd.get(), path, held);
    if (held)
        fd.reset();
    return record;
}

namespace {

// The end of what a journal holds at `fd` of `size` bytes: the first NUL,
// past which lies only the room its run reserved. Written bytes are never
// NUL, so the place is found by halves.
std::size_t written_end(int fd, std::size_t size)
{
    const auto nul_at = [fd](std::size_t at) {
        char c = 0;
        return platform::retry_interrupted([&] { return pread(fd, &c, 1, static_cast<off_t>(at)); }) != 1 ||
               c == '\0';
    };
    if (size == 0 || !nul_at(size - 1))
        return size;
    std::size_t low = 0, high = size - 1; // the first NUL lies in [low, high]
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (nul_at(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

std::string read_range(int fd, std::size_t from, std::size_t to)
{
    std::string text(to - from, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = platform::retry_interrupted(
            [&] { return pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(from + done)); });
        if (got <= 0)
            break;
        done += std::size_t(got);
    }
    text.resize(done);
    return text;
}

// How many moves lie in [from, to) of the journal at `fd`, counted a piece
// at a time: only a run killed before it wrote its end needs this.
std::uint64_t count_moves(int fd, std::size_t from, std::size_t to)
{
    std::uint64_t moves = 0;
    char last = '\n';
    for (std::size_t at = from; at < to;) {
        const std::string piece = read_range(fd, at, std::min(to, at + (std::size_t(1) << 20)));
        if (piece.empty())
            break;
        for (std::size_t k = 0; k + 1 < piece.size(); ++k)
            moves += (k == 0 ? last : piece[k - 1]) == '\n' && piece[k] == 'r' && piece[k + 1] == '\t';
        last = piece.back();
        at += piece.size();
    }
    return moves;
}

// A journal told by its first lines, up to its first move, and its last,
// after its last move: what the history shows, read in a few pieces
// however many moves lie between.
journal_record read_summary(int fd, const std::string& path, bool held)
{
    constexpr std::size_t piece = 65536;
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return read_journal_at(fd, path, held);
    const std::size_t end = written_end(fd, std::size_t(st.st_size));
    const std::string head = read_range(fd, 0, std::min(end, piece));
    const auto first_move = head.find("\nr\t");
    if (first_move == std::string::npos)
        return read_journal_at(fd, path, held);
    // Backwards a piece at a time until the last move's line is whole.
    std::string tail;
    std::size_t tail_from = end;
    std::size_t last_move = std::string::npos;
    while (tail_from > first_move + 1 && last_move == std::string::npos) {
        const std::size_t from = tail_from > first_move + 1 + piece ? tail_from - piece : first_move + 1;
        tail.insert(0, read_range(fd, from, tail_from));
        tail_from = from;
        last_move = tail.rfind("\nr\t");
        if (last_move == std::string::npos && tail_from == first_move + 1)
            last_move = 0; // the first move is the last
        else if (last_move != std::string::npos)
            ++last_move;
    }
    const std::size_t after_last = tail.find('\n', last_move);
    journal_record record;
    record.path = path;
    record.text = parse_summary(head.substr(0, first_move + 1),
                                after_last == std::string::npos ? std::string_view() : std::string_view(tail).substr(after_last + 1),
                                true);
    record.state = state_of(record.text, held);
    record.files = record.text.end != journal_end::none ? record.text.files : count_moves(fd, first_move + 1, end);
    return record;
}

} // namespace

std::vector<std::string> journal_files(const std::string& runs_folder)
{
    std::vector<std::string> files;
    const platform::run_store store(runs_folder, false);
    for (const auto& journal : store.journals())
        files.push_back(store.path() + "/" + journal.name);
    return files;
}

journal_record read_journal(const std::string& path)
{
    const auto cut = path.rfind('/');
    const platform::run_store store(cut == std::string::npos ? std::string() : path.substr(0, cut), false);
    journal_record record;
    record.path = path;
    const platform::unique_fd fd = store.open(path.substr(cut + 1), false, record.refusal);
    if (!fd.is_open())
        return record;
    const bool held = flock(fd.get(), LOCK_SH | LOCK_NB) != 0;
    return read_journal_at(fd.get(), path, held);
}

std::vector<journal_record> run_history(const std::string& runs_folder)
{
    std::vector<journal_record> runs;
    const platform::run_store store(runs_folder, false);
    for (const auto& journal : store.journals()) {
        journal_record record;
        record.path = store.path() + "/" + journal.name;
        const platform::unique_fd fd = store.open(journal.name, false, record.refusal);
        if (!fd.is_open()) {
            // Removed by a run's pruning since the folder was read.
            if (record.refusal.problem != platform::store_problem::missing)
                runs.push_back(std::move(record));
            continue;
        }
        // Held shared while it is read, so that no pruning removes it.
        const bool held = flock(fd.get(), LOCK_SH | LOCK_NB) != 0;
        runs.push_back(read_summary(fd.get(), record.path, held));
    }
    return runs;
}

platform::store_refusal history_refusal(const std::string& runs_folder)
{
    const platform::run_store store(runs_folder, false);
    if (store.refusal().problem == platform::store_problem::missing)
        return {};
    return store.refusal();
}

bool append_to_journal(int fd, std::size_t at, std::string_view lines)
{
    if (platform::retry_interrupted([&] { return ftruncate(fd, static_cast<off_t>(at)); }) != 0)
        return false;
    while (!lines.empty()) {
        const ssize_t written = platform::retry_interrupted(
            [&] { return pwrite(fd, lines.data(), lines.size(), static_cast<off_t>(at)); });
        if (written <= 0)
            return false;
        lines.remove_prefix(std::size_t(written));
        at += std::size_t(written);
    }
    return true;
}

} // namespace renamer
