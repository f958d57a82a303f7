#include "preview_window.h"

#include "platform/files/rename.h"
#include "platform/toolkit/fonts.h"

#include "main_window.h"
#include "widget_controls.h"

#include "platform/toolkit/palette.h"
#include "widgets/shown_text.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <utility>

namespace renamer {

namespace {

QString from_utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

// --- The rows -------------------------------------------------------------

int preview_model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_pass ? 0 : m_pass->count();
}

int preview_model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns;
}

const preview_row* preview_model::shown_row(std::int32_t index) const
{
    if (index < m_shown_done)
        return &m_pass->row(index);
    if (m_last_complete)
        return &m_last_complete->row(index);
    return nullptr;
}

QVariant preview_model::data(const QModelIndex& index, int role) const
{
    if (!m_pass || !index.isValid() || index.row() >= m_pass->count())
        return {};
    const auto row = static_cast<std::int32_t>(index.row());
    const preview_row* shown = shown_row(row);
    if (role == Qt::ForegroundRole) {
        // A refusal is what the user looks for in a long list.
        const bool refused = shown && !shown->result.renamed() &&
                             shown->result.outcome != platform::rename_outcome::unchanged;
        return refused && index.column() != old_name_column ? QVariant(QColor(176, 0, 0)) : QVariant();
    }
    if (role != Qt::DisplayRole)
        return {};
    const std::string_view old_name = m_pass->names()[static_cast<std::size_t>(row)];
    switch (index.column()) {
    case old_name_column: return widgets::shown_text(old_name);
    case new_name_column:
        if (!shown)
            return {};
        return widgets::shown_text(shown->new_name ? std::string_view(*shown->new_name) : old_name);
    case outcome_column: return shown ? from_utf8(outcome_text(shown->result)) : QStringLiteral("……");
    default: return {};
    }
}

QVariant preview_model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case old_name_column: return QStringLiteral("原名");
    case new_name_column: return QStringLiteral("新名");
    case outcome_column: return QStringLiteral("结果");
    default: return {};
    }
}

preview_model::passes preview_model::show_pass(std::shared_ptr<const preview_pass> pass, bool same_list)
{
    passes let_go;
    if (same_list && m_pass) {
        // The rows stay where they are and change as the new pass reaches
        // them; until then they show the last complete pass.
        if (m_pass->complete())
            let_go.push_back(std::exchange(m_last_complete, m_pass));
        let_go.push_back(std::exchange(m_pass, std::move(pass)));
        m_shown_done = 0;
        return let_go;
    }
    beginResetModel();
    let_go.push_back(std::exchange(m_pass, std::move(pass)));
    let_go.push_back(std::exchange(m_last_complete, nullptr));
    m_shown_done = 0;
    endResetModel();
    return let_go;
}

void preview_model::take_progress()
{
    if (!m_pass)
        return;
    const std::int32_t done = m_pass->rows_done();
    if (done <= m_shown_done)
        return;
    const std::int32_t from = std::exchange(m_shown_done, done);
    // One signal for the whole stretch: the view repaints what of it is on
    // the screen, whatever its length.
    emit dataChanged(index(from, new_name_column), index(done - 1, outcome_column));
}

// --- The threads that plan ------------------------------------------------

preview_planner::preview_planner(const platform::file_system& files)
    : m_images(files), m_planning([this] { plan_passes(); }), m_freeing([this] { free_spent(); })
{
}

preview_planner::~preview_planner()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        if (m_running)
            m_running->stop();
    }
    m_wake_planning.notify_one();
    m_wake_freeing.notify_one();
    m_planning.join();
    m_freeing.join();
}

void preview_planner::plan(std::shared_ptr<preview_pass> pass, std::function<void()> completed)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_running)
            m_running->stop();
        m_next = std::move(pass);
        m_next_completed = std::move(completed);
    }
    m_wake_planning.notify_one();
}

void preview_planner::dispose(std::vector<std::shared_ptr<const void>> garbage)
{
    {
        std::lock_guard lock(m_mutex);
        for (auto& piece : garbage)
            if (piece)
                m_spent.push_back(std::move(piece));
    }
    m_wake_freeing.notify_one();
}

void preview_planner::forget()
{
    std::lock_guard lock(m_mutex);
    if (m_running)
        m_running->stop();
    m_running_completed = nullptr;
    m_next.reset();
    m_next_completed = nullptr;
}

void preview_planner::plan_passes()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake_planning.wait(lock, [this] { return m_quit || m_next; });
        if (m_quit)
            return;
        m_running = std::exchange(m_next, nullptr);
        m_running_completed = std::exchange(m_next_completed, nullptr);
        std::shared_ptr<preview_pass> pass = m_running;
        lock.unlock();
        pass->run();
        std::shared_ptr<const void> spent = pass->take_spent_source();
        lock.lock();
        // Under the lock, so that forget() is final: nothing it has forgotten
        // is called after it returns.
        if (pass->complete() && m_running_completed)
            m_running_completed();
        m_running.reset();
        m_running_completed = nullptr;
        // The pass too, which may be held by nobody else any more: freed
        // here, it would be freed under the lock.
        m_spent.push_back(std::move(spent));
        m_spent.push_back(std::move(pass));
        if (!m_next)
            m_wake_freeing.notify_one();
    }
}

void preview_planner::free_spent()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Only while no pass runs: the pieces were made on the planning
        // thread, and freeing them takes the lock that thread allocates
        // under, which would hold a pass up by as long as the freeing.
        m_wake_freeing.wait(lock, [this] { return m_quit || (!m_spent.empty() && !m_running && !m_next); });
        if (m_quit)
            return;
        auto spent = std::move(m_spent);
        m_spent.clear();
        lock.unlock();
        spent.clear();
        lock.lock();
    }
}

// --- The window -----------------------------------------------------------

preview_window::preview_window(Form3& owner, preview_planner& planner)
    : skinned_window(9735, 7950, QStringLiteral("改名预览"), QImage(), &owner),
      m_owner(owner),
      m_watch(10, false, this),
      m_planner(planner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget* canvas = &xp_canvas1();

    m_xptopbuttons1 = load_control<controls::xptopbuttons>("xptopbuttons1", canvas, {9240, 120, 315, 315}, {});

    m_model = new preview_model(this);
    m_rows = new QTableView(canvas);
    m_rows->setObjectName(QStringLiteral("rows"));
    place(m_rows, {240, 600, 9255, 6480});
    m_rows->setFont(platform::names_font());
    m_rows->setModel(m_model);
    // Rows of one height, so that a hundred thousand of them are placed
    // without measuring any.
    QHeaderView* rows_header = m_rows->verticalHeader();
    rows_header->hide();
    rows_header->setSectionResizeMode(QHeaderView::Fixed);
    rows_header->setMinimumSectionSize(1);
    rows_header->setDefaultSectionSize(m_rows->fontMetrics().height() + 4);
    m_rows->setWordWrap(false);
    m_rows->setShowGrid(false);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The arrows move through the rows; Tab moves on to "修改".
    m_rows->setTabKeyNavigation(false);
    m_rows->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* columns_header = m_rows->horizontalHeader();
    columns_header->setHighlightSections(false);
    columns_header->setStretchLastSection(true);
    m_rows->setColumnWidth(preview_model::old_name_column, 210);
    m_rows->setColumnWidth(preview_model::new_name_column, 210);

    m_counts = make_label(QString(), canvas, {240, 7230, 8400, 255});
    m_counts->setTextFormat(Qt::PlainText);
    m_Command1 = load_control<controls::xpcmdbutton>(
        "Command1", canvas, {8760, 7155, 735, 375},
        {{"Caption", QStringLiteral("修改")}, {"Font", QVariant::fromValue(interface_font(9))}});

    m_xptopbuttons1->events().bind(controls::Click_event, [this] { close(); });
    close_on_escape(*m_xptopbuttons1);
    m_Command1->events().bind(controls::Click_event, [this] {
        if (on_rename)
            on_rename();
    });
    // A list read anew may hold the very names it held; it is planned again
    // all the same, since what lies behind the names may have changed.
    connect(&owner.File1().model_of_names(), &QAbstractItemModel::modelReset, this, [this] { ++m_list_changes; });
    m_watch.on_timer = [this] { watch_tick(); };
    m_watch.set_enabled(true);

    setTabOrder(m_rows, m_Command1);
    setFocusProxy(m_rows);
    centre_in(owner.geometry());
    // The first pass starts at the next turn of the loop, once the window
    // is made: a large list takes a few milliseconds to copy, and the two
    // together would hold the loop up longer than either.
    QMetaObject::invokeMethod(this, &preview_window::follow_inputs, Qt::QueuedConnection);
}

preview_window::~preview_window()
{
    m_planner.forget();
    dispose(m_model->show_pass(nullptr, false));
}

void preview_window::closeEvent(QCloseEvent* event)
{
    // Nothing more to plan for a window on its way out, which a run started
    // from its own "修改" keeps alive until the run is over.
    m_watch.set_enabled(false);
    m_planner.forget();
    if (on_closed)
        on_closed();
    skinned_window::closeEvent(event);
}

void preview_window::dispose(const preview_model::passes& passes)
{
    m_planner.dispose({passes.begin(), passes.end()});
}

preview_window::inputs_state preview_window::inputs_now()
{
    inputs_state state;
    state.edits = m_owner.input_edits();
    state.checks[0] = m_owner.check_value(check_id::Check1);
    state.checks[1] = m_owner.check_value(check_id::Check2);
    state.checks[2] = m_owner.check_value(check_id::Check3);
    state.list = m_list_changes;
    return state;
}

bool preview_window::up_to_date()
{
    return m_planned == inputs_now() && m_model->shows_complete();
}

bool preview_window::up_to_date(std::int32_t rows)
{
    return m_planned == inputs_now() && (m_model->shows_complete() || m_model->rows_from_newest() >= rows);
}

void preview_window::follow_inputs()
{
    watch_tick();
}

void preview_window::start_pass()
{
    // The list as the run would take it, a folder still being read included,
    // which finishing may make another list.
    widgets::file_list& files = m_owner.File1();
    files.ListCount();
    const inputs_state state = inputs_now();
    const bool same_list = m_planned && m_planned->list == state.list;
    auto pass = std::make_shared<preview_pass>(files.Path(), files.model_of_names().names(),
                                               m_owner.read_rule_inputs(), &m_planner.images());
    m_planned = state;
    ++m_started;
    dispose(m_model->show_pass(pass, same_list));
    if (!same_list)
        m_counts->setText(QStringLiteral("正在预览……"));
    // Called on the planner's thread, where the window looks at nothing: it
    // takes the rows on its own thread.
    m_planner.plan(std::move(pass),
                   [this] { QMetaObject::invokeMethod(this, [this] { watch_tick(); }, Qt::QueuedConnection); });
}

void preview_window::watch_tick()
{
    // A run renames as it goes and reads the folder again at its end; the
    // list it leaves is planned then. A closed window plans nothing.
    if (m_owner.running() || !isVisible())
        return;
    if (inputs_now() != m_planned)
        start_pass();
    m_model->take_progress();
    if (const preview_pass* pass = m_model->pass(); pass && pass->complete() && m_counted != m_started) {
        m_counted = m_started;
        m_counts->setText(from_utf8(preview_counts(std::size_t(pass->count()), pass->outcomes())));
    }
}

} // namespace renamer
