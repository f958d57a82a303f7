#pragma once

// The preview window: every listed file with its old name, its new name and
// what the run would do with it, and a line of counts, kept up to date as the
// user edits the rule. Its own "修改" hands over to the main window's run.
// The plan is made off the loop's thread, so a large folder never holds the
// window up.

#include "skinned_window.h"

#include "core/preview.h"

#include "controls/xpcmdbutton.h"
#include "controls/xptopbuttons.h"
#include "platform/files/file_calls.h"
#include "platform/files/folder_image.h"
#include "platform/toolkit/message_loop.h"

#include <QAbstractTableModel>
#include <QLabel>
#include <QTableView>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace renamer {

class Form3;

// The rows of a preview, read from the newest pass as far as it has gone.
// Where it has not got to yet, a row shows what the last complete pass over
// the same list said, so that an edit does not blank the screen.
class preview_model : public QAbstractTableModel {
    Q_OBJECT
public:
    enum column { old_name_column, new_name_column, outcome_column, columns };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    using passes = std::vector<std::shared_ptr<const preview_pass>>;
    // A new pass; `same_list` says it plans the list the shown one planned.
    // Answers the passes no longer shown, for the caller to free.
    passes show_pass(std::shared_ptr<const preview_pass> pass, bool same_list);
    // Shows the rows the pass has finished since the last call.
    void take_progress();

    const preview_pass* pass() const { return m_pass.get(); }
    // Every row of a complete pass is shown.
    bool shows_complete() const { return m_pass && m_pass->complete() && m_shown_done == m_pass->count(); }
    // How many rows, from the first, show the newest pass.
    std::int32_t rows_from_newest() const { return m_shown_done; }
    // The row as shown: from the newest pass, or from the last complete one
    // while the newest has not reached it; null when neither has.
    const preview_row* shown_row(std::int32_t index) const;

private:
    std::shared_ptr<const preview_pass> m_pass;
    std::shared_ptr<const preview_pass> m_last_complete;
    std::int32_t m_shown_done = 0;
};

// Runs passes on a thread of its own, one at a time, a new one stopping the
// one under way, and frees spent passes and what they planned over on a
// second thread while no pass runs, so that neither the next pass nor the
// window waits on the freeing (a pass that ends by freeing the megabytes
// of its folder's image finishes measurably later). The main window keeps
// one for its life, so that a preview window that closes waits for neither.
class preview_planner {
public:
    // The folder's image is read through `files`, which must outlive the
    // planner.
    explicit preview_planner(const platform::file_system& files);
    ~preview_planner();
    preview_planner(const preview_planner&) = delete;
    preview_planner& operator=(const preview_planner&) = delete;

    // Plans `pass` once the one under way has stopped. `completed` is
    // called on the planner's thread once the pass is complete.
    void plan(std::shared_ptr<preview_pass> pass, std::function<void()> completed);
    // Stops the pass under way, and calls no `completed` given so far.
    void forget();
    // Frees `garbage` on the planner's second thread: a pass of a large
    // folder is megabytes in thousands of pieces.
    void dispose(std::vector<std::shared_ptr<const void>> garbage);
    // The folder's image, kept for the passes, which run one at a time.
    platform::kept_folder_image& images() { return m_images; }

private:
    void plan_passes();
    void free_spent();

    std::mutex m_mutex;
    std::condition_variable m_wake_planning;
    std::condition_variable m_wake_freeing;
    // The pass to run next and the one running, with what each calls at
    // its end, and what spent passes leave to be freed; all under the mutex.
    std::shared_ptr<preview_pass> m_next;
    std::function<void()> m_next_completed;
    std::shared_ptr<preview_pass> m_running;
    std::function<void()> m_running_completed;
    std::vector<std::shared_ptr<const void>> m_spent;
    bool m_quit = false;
    platform::kept_folder_image m_images;
    std::thread m_planning;
    std::thread m_freeing;
};

class preview_window : public skinned_window {
    Q_OBJECT
public:
    // Centred on the main window, whose inputs it follows, with its passes
    // made by `planner`.
    preview_window(Form3& owner, preview_planner& planner);
    ~preview_window() override;

    controls::xptopbuttons& xptopbuttons1() { return *m_xptopbuttons1; }
    controls::xpcmdbutton& Command1() { return *m_Command1; }
    QTableView& rows_view() { return *m_rows; }
    QLabel& counts() { return *m_counts; }
    const preview_model& model() const { return *m_model; }

    // The rows show, complete, the plan for the inputs, rule and folder as
    // they are now; or, given a count, the first `rows` rows do.
    bool up_to_date();
    bool up_to_date(std::int32_t rows);

    // Looks at the inputs now rather than at the next tick of the watch.
    void follow_inputs();

    // Its "修改" was clicked.
    std::function<void()> on_rename;
    // It was closed; it is discarded once the event that closed it is over.
    std::function<void()> on_closed;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // What a plan depends on besides the files: the edit count of the text
    // inputs, the option buttons, and which list File1 shows.
    struct inputs_state {
        std::uint64_t edits = 0;
        bool checks[3] = {};
        std::uint64_t list = 0;
        bool operator==(const inputs_state&) const = default;
    };
    inputs_state inputs_now();
    void start_pass();
    void watch_tick();
    void dispose(const preview_model::passes& passes);

    Form3& m_owner;
    controls::xptopbuttons* m_xptopbuttons1;
    controls::xpcmdbutton* m_Command1;
    QTableView* m_rows;
    QLabel* m_counts;
    preview_model* m_model;
    platform::timer m_watch;
    // Grows whenever File1 shows another list.
    std::uint64_t m_list_changes = 0;
    // What the newest pass was started for.
    std::optional<inputs_state> m_planned;
    // How many passes were started, and which of them the line counts.
    std::uint64_t m_started = 0;
    std::uint64_t m_counted = 0;
    preview_planner& m_planner;
};

} // namespace renamer
