#pragma once

// The program's command line. Without a rule option the window starts, on
// FOLDER when one is given; with one, the same run happens without a window,
// in a QCoreApplication that opens no display connection:
//
//   fennimo [FOLDER]                                    the window
//   fennimo --replace WHAT WITH [filters] [FOLDER]      a run
//   fennimo ... --dry-run [-0]                          its plan, nothing touched
//   fennimo --undo [--yes]                              the newest run not yet undone taken back
//   fennimo --history                                   the kept runs
//
// The exit status of a run, a plan or an undo is 0 when every file that
// should change changed (would change), 1 when any was refused, and 2 for
// a command line that cannot be run (an undo with no terminal to ask on and
// no --yes among them).

#include <QCommandLineParser>
#include <string>

namespace renamer {

inline constexpr int exit_done = 0;
inline constexpr int exit_refused = 1;
inline constexpr int exit_usage = 2;

class command_line {
public:
    // Reads the arguments as the bytes they are: a folder or a text to
    // replace need not be UTF-8. No application object is needed yet, since
    // what is asked decides which kind to make.
    command_line(int argc, char** argv);

    // Nothing but a folder was given (or not even that): the window starts.
    bool wants_window() const { return m_wants_window; }
    // FOLDER made absolute, or empty for the current folder.
    const std::string& folder() const { return m_folder; }

    // Does what was asked without a window and answers the exit status:
    // --help, --version, a usage error, a plan, a run or an undo. Needs a
    // QCoreApplication.
    int run();

private:
    // A folder given to the window that is not there is an error; a file
    // stands for its folder.
    void window_folder();
    std::string value(const QString& option) const;
    int usage_error(const std::string& message) const;
    int run_request();
    int run_rules();
    int run_undo();
    int run_history();

    QCommandLineParser m_parser;
    bool m_parsed = false;
    bool m_wants_window = false;
    // --replace was given as its two words, which were joined for the parser.
    bool m_replace_joined = false;
    std::string m_usage_error;
    std::string m_folder;
};

} // namespace renamer
