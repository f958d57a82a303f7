#include "run_store.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Folders and journals are made for the user alone: the names of a user's
// files are theirs.
constexpr mode_t private_folder = 0700;
constexpr mode_t private_file = 0600;

constexpr std::string_view name_start = "journal-";

// The checks a folder or journal of the store passes: of the user, of the
// right kind, and for the user alone (set so where it was not). `error` is
// the errno of a call that failed.
store_problem check_held(int fd, bool folder, int& error)
{
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        error = errno;
        return store_problem::failed;
    }
    if (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return store_problem::wrong_kind;
    if (st.st_uid != geteuid())
        return store_problem::not_the_users;
    const mode_t wanted = folder ? private_folder : private_file;
    if ((st.st_mode & 07777) != wanted && (st.st_mode & 077) != 0 && fchmod(fd, wanted) != 0) {
        error = errno;
        return store_problem::loose_mode;
    }
    return store_problem::none;
}

store_problem problem_of(int error)
{
    return error == ENOENT ? store_problem::missing
         : error == ELOOP  ? store_problem::a_link
         : error == ENOTDIR || error == ENXIO || error == EISDIR ? store_problem::wrong_kind
                                                                 : store_problem::failed;
}

// One level of the state folder, made when `create` asks and it is missing.
unique_fd open_private_folder(int at, const std::string& name, const std::string& path, bool create,
                              store_refusal& refusal)
{
    if (create && mkdirat(at, name.c_str(), private_folder) != 0 && errno != EEXIST) {
        const int error = errno;
        refusal = {problem_of(error), path, error};
        return {};
    }
    unique_fd fd = open_at(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (!fd.is_open()) {
        const int error = errno;
        refusal = {problem_of(error), path, error};
        // Not a folder: a link (which a folder opened without following
        // links answers so), something else, or a path with no folder above
        // it, in which case there is none here.
        struct stat st {};
        if (error == ENOTDIR)
            refusal.problem = fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ? store_problem::missing
                            : S_ISLNK(st.st_mode)                                    ? store_problem::a_link
                                                                                     : store_problem::wrong_kind;
        return {};
    }
    int error = 0;
    if (const store_problem problem = check_held(fd.get(), true, error); problem != store_problem::none) {
        refusal = {problem, path, error};
        return {};
    }
    return fd;
}

// The sequence number a journal's name holds, or 0 when it is no journal's.
std::uint64_t sequence_of(std::string_view name)
{
    if (!name.starts_with(name_start) || name.size() != name_start.size() + 20)
        return 0;
    std::uint64_t sequence = 0;
    for (const char c : name.substr(name_start.size())) {
        if (c < '0' || c > '9')
            return 0;
        sequence = sequence * 10 + std::uint64_t(c - '0');
    }
    return sequence;
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

run_store::run_store(std::string runs, bool create) : m_runs(std::move(runs))
{
    if (m_runs.empty() || m_runs.front() != '/') {
        m_refusal = {store_problem::missing, m_runs, ENOENT};
        return;
    }
    const std::filesystem::path path(m_runs);
    const std::filesystem::path state = path.parent_path();
    if (create) {
        std::error_code ignored;
        std::filesystem::create_directories(state.parent_path(), ignored);
    }
    const unique_fd state_fd = open_private_folder(AT_FDCWD, state.native(), state.native(), create, m_refusal);
    if (!state_fd.is_open())
        return;
    m_fd = open_private_folder(state_fd.get(), path.filename().native(), m_runs, create, m_refusal);
}

std::vector<run_store::journal_name> run_store::journals() const
{
    std::vector<journal_name> names;
    // An earlier reading left the held descriptor at the folder's end.
    dir_stream dir = read_from_start(m_fd.get());
    if (!dir)
        return names;
    while (const dirent* entry = dir.next())
        if (const std::uint64_t sequence = sequence_of(entry->d_name))
            names.push_back({sequence, entry->d_name});
    std::sort(names.begin(), names.end(),
              [](const journal_name& a, const journal_name& b) { return a.sequence < b.sequence; });
    return names;
}

unique_fd run_store::create(std::string& path)
{
    // The store's lock makes the next number and the file one step: two
    // runs that start together take two numbers, in the order they took
    // the lock.
    if (!m_fd.is_open() || !lock_store())
        return {};
    const auto names = journals();
    std::uint64_t sequence = names.empty() ? 1 : names.back().sequence + 1;
    unique_fd fd;
    for (int attempt = 0; attempt < 16 && !fd.is_open(); ++attempt, ++sequence) {
        char name[64];
        std::snprintf(name, sizeof name, "%.*s%020" PRIu64, int(name_start.size()), name_start.data(), sequence);
        fd = open_at(m_fd.get(), name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, private_file);
        if (fd.is_open()) {
            path = m_runs + "/" + name;
            if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
                unlinkat(m_fd.get(), name, 0);
                fd.reset();
                break;
            }
        } else if (errno != EEXIST) {
            break;
        }
    }
    flock(m_fd.get(), LOCK_UN);
    return fd;
}

bool run_store::lock_store() const
{
    // A signal whose handler returns (Ctrl+C on the command line only
    // marks the run to stop) must not fail the journal: the wait goes on,
    // and another run holds the lock only while it makes or prunes one.
    return retry_interrupted([this] { return flock(m_fd.get(), LOCK_EX); }) == 0;
}

void run_store::prune(std::size_t kept)
{
    if (!m_fd.is_open() || !lock_store())
        return;
    const auto names = journals();
    for (std::size_t k = 0; k + kept < names.size(); ++k) {
        const unique_fd fd =
            open_at(m_fd.get(), names[k].name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (!fd.is_open())
            continue;
        struct stat st {};
        if (fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
            unlinkat(m_fd.get(), names[k].name.c_str(), 0);
    }
    flock(m_fd.get(), LOCK_UN);
}

unique_fd run_store::open(const std::string& name, bool writable, store_refusal& refusal) const
{
    const std::string path = m_runs + "/" + name;
    if (!m_fd.is_open()) {
        refusal = m_refusal;
        return {};
    }
    // No link is followed, and a FIFO does not hold the open up.
    unique_fd fd =
        open_at(m_fd.get(), name.c_str(), (writable ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (!fd.is_open()) {
        const int error = errno;
        refusal = {problem_of(error), path, error};
        return {};
    }
    int error = 0;
    if (const store_problem problem = check_held(fd.get(), false, error); problem != store_problem::none) {
        refusal = {problem, path, error};
        return {};
    }
    refusal = {};
    return fd;
}

} // namespace platform
