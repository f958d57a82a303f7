#pragma once

// Where the journals of the runs are kept: the program's state folder and
// its runs folder, each a real folder of the user alone; the journals' names
// and the sequence that orders them; their making, opening and pruning, and
// the locks that keep a journal in use from being removed. It knows nothing
// of what a journal says.

#include "descriptors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// $XDG_STATE_HOME/fennimo when that variable holds an absolute path,
// otherwise $HOME/.local/state/fennimo; empty when neither can be found.
std::string state_folder();
// The runs folder in it; empty with it.
std::string runs_folder();

// Why a folder of the store, or a journal, cannot be used.
enum class store_problem {
    none,
    missing,       // there is none (nothing was ever kept)
    a_link,        // it is a symbolic link, which is never followed
    not_the_users, // it belongs to another user
    wrong_kind,    // a folder where a file should be, a FIFO, a device
    loose_mode,    // others may read or write it, and it could not be set to the user alone
    failed,        // the system refused (see `error`)
};

struct store_refusal {
    store_problem problem = store_problem::none;
    // The folder or journal concerned.
    std::string path;
    int error = 0;
};

class run_store {
public:
    // The runs folder `runs` held open, it and the state folder above it
    // checked; with `create`, made where missing. Folders of the user are
    // set to the user alone.
    run_store(std::string runs, bool create);

    bool is_open() const { return m_fd.is_open(); }
    const store_refusal& refusal() const { return m_refusal; }
    const std::string& path() const { return m_runs; }

    struct journal_name {
        std::uint64_t sequence;
        std::string name;
    };
    // The journals, oldest first by their sequence numbers, never by a
    // clock: a run made with the clock set back is still the newest.
    std::vector<journal_name> journals() const;
    // A new journal with the next sequence number, made exclusively (never
    // through a link) under the store's lock, mode 0600, and locked for the
    // run that writes it; none when it cannot be made.
    unique_fd create(std::string& path);
    // Removes all but the newest `kept` journals, leaving any that a run,
    // an undo or a history holds, and any that is not a regular file of the
    // user.
    void prune(std::size_t kept);

    // Opens the journal `name` of the store, never through a link and never
    // waiting (a FIFO), and only as a regular file of the user; one that
    // others may read is set to the user alone first. None with `refusal`
    // set otherwise; a journal removed meanwhile is `missing`.
    unique_fd open(const std::string& name, bool writable, store_refusal& refusal) const;

private:
    // Takes the store's lock, waiting while another run holds it.
    bool lock_store() const;

    std::string m_runs;
    unique_fd m_fd;
    store_refusal m_refusal;
};

} // namespace platform
