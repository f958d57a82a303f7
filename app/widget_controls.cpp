#include "widget_controls.h"

#include "form/browsing.h"
#include "core/rules.h"
#include "form/window_runs.h"

#include "platform/files/listed_folder.h"
#include "platform/files/separator.h"
#include "platform/toolkit/fonts.h"
#include "platform/toolkit/message_box.h"
#include "widgets/shown_text.h"
#include "platform/toolkit/units.h"

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QPointer>
#include <QEvent>
#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

namespace renamer {

namespace {

// Calls `painted` at the first paint of the widget it watches, then goes.
class paint_watch : public QObject {
public:
    paint_watch(QObject* parent, std::function<void()> painted) : QObject(parent), m_painted(std::move(painted)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            m_painted();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_painted;
};

// File1's refresh or check, a piece at each step of a run.
class file_list_work final : public list_work {
public:
    using step_of = bool (widgets::file_list::*)();
    file_list_work(widgets::file_list& list, step_of next) : m_list(list), m_next(next) {}
    // A run stopped in the middle leaves the list as it was.
    ~file_list_work() override
    {
        if (!m_over)
            m_list.drop_work();
    }
    bool step() override
    {
        m_over = m_over || (m_list.*m_next)();
        return m_over;
    }

private:
    widgets::file_list& m_list;
    step_of m_next;
    bool m_over = false;
};

} // namespace

std::unique_ptr<list_work> widget_controls::refreshing()
{
    File1().start_refresh();
    return std::make_unique<file_list_work>(File1(), &widgets::file_list::refresh_step);
}

std::unique_ptr<list_work> widget_controls::checking_list()
{
    File1().start_check();
    return std::make_unique<file_list_work>(File1(), &widgets::file_list::check_step);
}

void place_twips(QWidget* control, int left, int top, int width, int height)
{
    using namespace platform;
    control->setGeometry(twips_to_pixels_x(left), twips_to_pixels_y(top), twips_to_pixels_x(width),
                         twips_to_pixels_y(height));
}

std::string start_folder(const std::string& folder)
{
    if (!folder.empty())
        return folder;
    std::error_code error;
    const auto current = std::filesystem::current_path(error);
    return error ? std::string(1, platform::path_separator) : current.native();
}

QFont interface_font(double points)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    return font;
}

widgets::drive_list* widget_controls::make_Drive1(const std::string& start, QWidget* parent)
{
    m_Drive1 = new widgets::drive_list(start, parent);
    m_Drive1->setFont(platform::names_font());
    return m_Drive1;
}

widgets::folder_list* widget_controls::make_Dir1(QWidget* parent)
{
    m_Dir1 = new widgets::folder_list(parent, m_files);
    m_Dir1->setFont(platform::names_font());
    return m_Dir1;
}

widgets::file_list* widget_controls::make_File1(QWidget* parent)
{
    m_File1 = new widgets::file_list(parent, m_files);
    m_File1->setFont(platform::names_font());
    return m_File1;
}

void widget_controls::open_folder(const std::string& start)
{
    if (!m_Dir1->set_path(start))
        m_Dir1->set_path(m_Drive1->Drive());
    m_File1->set_path(m_Dir1->Path());
}

void widget_controls::open_folder_after_painting(const std::string& start, QWidget& first)
{
    m_start_pending = start;
    // Posted from the first paint, the opening runs once the whole frame
    // is on the screen.
    auto* watch = new paint_watch(&first, [this] {
        QMetaObject::invokeMethod(
            &m_window, [this] { open_pending_folder(); }, Qt::QueuedConnection);
    });
    first.installEventFilter(watch);
}

void widget_controls::open_pending_folder()
{
    if (!m_start_pending)
        return;
    const std::string start = *std::exchange(m_start_pending, std::nullopt);
    // As when the window opens: Dir1 takes its folder without raising Change,
    // so the result lists stay empty.
    auto change = std::exchange(m_Dir1->on_change, nullptr);
    open_folder(start);
    m_Dir1->on_change = std::move(change);
}

widgets::text_box* widget_controls::make_text(text_id which, QWidget* parent)
{
    using kind = widgets::text_box::kind;
    const bool list_box = which == text_id::Text1 || which == text_id::Text2;
    auto* box = new widgets::text_box(list_box ? kind::list : kind::single_line, parent);
    // Every text box shows names or a piece of one.
    box->setFont(platform::names_font());
    return m_texts[static_cast<std::size_t>(which)] = box;
}

widgets::combo_box* widget_controls::make_Combo1(QWidget* parent)
{
    m_Combo1 = new widgets::combo_box(parent);
    m_Combo1->setFont(platform::names_font());
    m_Combo1->set_items({"*.*", "z.*", "*.z", "z*d*.*y"});
    m_Combo1->set_text("样式");
    m_Combo1->setToolTip(QStringLiteral("使用者可以自己输入样式"));
    return m_Combo1;
}

widgets::progress_bar* widget_controls::make_ppbb(QWidget* parent)
{
    return m_ppbb = new widgets::progress_bar(parent);
}

platform::timer* widget_controls::make_Timer1()
{
    return m_Timer1 = new platform::timer(50, false, &m_window);
}

void widget_controls::wire_handlers()
{
    // A run or an undo renames in the folder it started in, which the lists
    // keep showing until it ends: a change made between two of its files
    // goes back.
    m_Drive1->on_change = [this] { m_Timer1->enabled() ? revert_drive() : drive1_change(*this); };
    m_Dir1->on_change = [this] { m_Timer1->enabled() ? revert_folder() : dir1_change(*this); };
    m_File1->on_click = [this] { file1_click(*this); };
    text_box(text_id::Text2).on_click = [this] { text2_click(*this); };
    text_box(text_id::Text3).on_click = [this] { replacement_click(*this); };
    text_box(text_id::Text4).on_click = [this] { replacement_click(*this); };
    m_Combo1->on_lost_focus = [this] {
        pattern_rule_due();
        QMetaObject::invokeMethod(&m_window, [this] { settle_pattern_rule(); }, Qt::QueuedConnection);
    };
    m_Timer1->on_timer = [this] { timer_tick(*this); };
}

void widget_controls::chain_tab_order(std::initializer_list<QWidget*> order)
{
    // A text box hands its focus to its editor, which is what the chain
    // must link.
    const auto taker = [](QWidget* w) { return w->focusProxy() ? w->focusProxy() : w; };
    m_tab_order.clear();
    for (QWidget* control : order)
        m_tab_order.push_back(taker(control));
    for (std::size_t i = 1; i < m_tab_order.size(); ++i)
        QWidget::setTabOrder(m_tab_order[i - 1], m_tab_order[i]);
}

bool widget_controls::move_focus(bool next)
{
    // Qt's own chain holds every control that can take the focus, the
    // caption buttons and the inner parts of the lists among them, and
    // leaves the order at its end; the window keeps to its own order.
    const QWidget* focus = QApplication::focusWidget();
    const auto holds_focus = [focus](const QWidget* control) {
        return focus && (focus == control || control->isAncestorOf(focus));
    };
    const auto count = static_cast<std::ptrdiff_t>(m_tab_order.size());
    const auto at = std::find_if(m_tab_order.begin(), m_tab_order.end(), holds_focus);
    std::ptrdiff_t i = at == m_tab_order.end() ? (next ? -1 : count) : at - m_tab_order.begin();
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        i = ((next ? i + 1 : i - 1) + count) % count;
        QWidget* control = m_tab_order[static_cast<std::size_t>(i)];
        if (control->isVisibleTo(&m_window) && control->isEnabled()) {
            control->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

std::optional<std::string_view> widget_controls::list_entry(std::int32_t index)
{
    return File1().List(index);
}

const std::string& widget_controls::text(text_id which)
{
    if (which == text_id::Combo1)
        return m_Combo1->Text();
    return text_box(which).Text();
}

void widget_controls::set_text(text_id which, const std::string& text)
{
    if (which == text_id::Combo1)
        m_Combo1->set_text(text);
    else
        text_box(which).set_text(text);
}

std::uint64_t widget_controls::input_edits()
{
    // A run asks once per file, so the six counters are read straight, not
    // through a loop over their names, which the compiler leaves a loop.
    const auto edits = [this](text_id which) { return text_box(which).edits(); };
    return m_Combo1->edits() + edits(text_id::Text3) + edits(text_id::Text4) + edits(text_id::Text5) +
           edits(text_id::Text6) + edits(text_id::zztt);
}

void widget_controls::append_line(text_id which, std::initializer_list<std::string_view> pieces)
{
    if (which == text_id::Combo1) {
        std::string text = m_Combo1->Text();
        append_list_line(text, pieces);
        m_Combo1->set_text(text);
        return;
    }
    text_box(which).append_line(pieces);
}

void widget_controls::reserve_text(text_id which, std::size_t bytes)
{
    // Combo1 holds one line; no pass adds to it.
    if (which != text_id::Combo1)
        text_box(which).reserve(bytes);
}

std::string widget_controls::selected_text(text_id which)
{
    if (which == text_id::Combo1)
        return widgets::typed_bytes(m_Combo1->lineEdit()->selectedText());
    return text_box(which).SelText();
}

void widget_controls::set_timer_enabled(bool enabled)
{
    m_Timer1->set_enabled(enabled);
    // Only the result lists wait off the screen while a run goes; they were
    // emptied as it started, which the screen shows first, so that a click
    // in Text2 meanwhile selects from what Text2 holds now. The inputs show
    // every change at once, so that what the user types during a run is
    // seen, counted as an edit and read by the run from its next file on.
    for (const text_id list : {text_id::Text1, text_id::Text2}) {
        if (enabled)
            text_box(list).flush();
        text_box(list).hold_display(enabled);
    }
}

platform::rename_result widget_controls::rename_file(const std::string& folder, std::int32_t index,
                                                     std::string_view old_name, std::string_view new_name)
{
    return File1().rename(folder, index, old_name, new_name);
}

platform::rename_result widget_controls::rename_file_logged(const std::string& folder, std::int32_t index,
                                                            std::string_view old_name, std::string_view new_name,
                                                            platform::move_log& log)
{
    return File1().rename(folder, index, old_name, new_name, &log);
}

template <typename Show>
auto widget_controls::keeping_focus(Show show)
{
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (focus && focus->window() != m_window.window())
        focus = nullptr;
    const auto answer = show();
    // A modal box hands the activation back on its own on most desktops, not
    // on all; the user goes on where they were.
    m_window.activateWindow();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
    return answer;
}

void widget_controls::show_message(const std::string& text)
{
    keeping_focus([&] {
        m_boxes.message(widgets::shown_text(text), platform::application_title());
        return true;
    });
}

void widget_controls::settle_pattern_rule()
{
    if (std::exchange(m_pattern_rule_due, false))
        combo1_lost_focus(*this);
}

bool widget_controls::ask_yes_no(const std::string& text)
{
    // The answer is needed now; the undo asks from a key press, never from
    // inside a focus change.
    return keeping_focus([&] { return m_boxes.question(widgets::shown_text(text), platform::application_title()); });
}

void widget_controls::flush_texts()
{
    for (auto* box : m_texts)
        box->flush();
}

} // namespace renamer
