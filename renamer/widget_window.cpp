#include "widget_window.h"

#include "browsing.h"
#include "rules.h"
#include "runs.h"

#include "platform/filesystem.h"
#include "platform/message_box.h"
#include "platform/shown_text.h"
#include "platform/units.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <filesystem>

namespace renamer {

option_stand_in::option_stand_in(const QString& caption, QWidget* parent)
    : QWidget(parent), m_caption(caption)
{
    setFocusPolicy(Qt::StrongFocus);
}

void option_stand_in::set_value(bool value)
{
    if (m_value == value)
        return;
    m_value = value;
    update();
}

void option_stand_in::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(height() - 2, 12);
    const QRect dot(1, (height() - d) / 2, d, d);
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(palette().color(QPalette::Base));
    p.drawEllipse(dot);
    if (m_value) {
        p.setBrush(palette().color(QPalette::WindowText));
        p.drawEllipse(dot.adjusted(3, 3, -3, -3));
    }
    p.drawText(rect().adjusted(d + 5, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
}

void option_stand_in::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && on_click)
        on_click();
}

void option_stand_in::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && on_click) {
        on_click();
        return;
    }
    QWidget::keyPressEvent(event);
}

namespace {

// Places a control by its rectangle in twips on the window.
void place(QWidget* w, int left, int top, int width, int height)
{
    using namespace platform;
    w->setGeometry(twips_to_pixels_x(left), twips_to_pixels_y(top), twips_to_pixels_x(width),
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

} // namespace

widget_window::widget_window(const std::string& folder, QWidget* parent) : QWidget(parent)
{
    const std::string start = start_folder(folder);
    // Every control of the window writes in the interface's font unless it
    // says otherwise.
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    setFont(font);

    m_Drive1 = new platform::drive_list(start, this);
    m_Dir1 = new platform::folder_list(this);
    m_File1 = new platform::file_list(this);
    // A start folder that cannot be read leaves the window on its drive.
    if (!m_Dir1->set_path(start))
        m_Dir1->set_path(m_Drive1->Drive());
    m_File1->set_path(m_Dir1->Path());

    using kind = platform::text_box::kind;
    for (std::size_t i = 0; i < m_texts.size(); ++i) {
        const bool list_box = i == std::size_t(text_id::Text1) || i == std::size_t(text_id::Text2);
        m_texts[i] = new platform::text_box(list_box ? kind::multi_line : kind::single_line, this);
    }
    m_Combo1 = new platform::combo_box(this);
    m_Combo1->set_items({"*.*", "z.*", "*.z", "z*d*.*y"});
    m_Combo1->set_text("样式");
    m_Combo1->setToolTip(QStringLiteral("使用者可以自己输入样式"));

    m_checks[0] = new option_stand_in(QStringLiteral("去掉所有扩展名"), this);
    m_checks[1] = new option_stand_in(QStringLiteral("更改所有文件名为"), this);
    m_checks[2] = new option_stand_in(QStringLiteral("更改所有扩展名为"), this);

    m_ppbb = new platform::progress_bar(this);
    m_Timer1 = new platform::timer(50, false, this);

    // The places of the skinned window, with its containers' offsets added.
    resize(platform::twips_to_pixels_x(11790), platform::twips_to_pixels_y(7935));
    place(m_Dir1, 240, 720, 1815, 3210);
    place(m_Drive1, 240, 4080, 1815, 330);
    place(m_File1, 2160, 720, 2655, 3600);
    place(m_ppbb, 120, 4560, 4815, 255);
    place(m_texts[0], 120, 4800, 4815, 2295);
    place(m_texts[1], 5160, 720, 6255, 3255);
    place(m_texts[2], 7920, 4140, 495, 315);
    place(m_texts[3], 9240, 4140, 495, 315);
    place(m_texts[4], 7800, 5040, 735, 270);
    place(m_texts[5], 7800, 5400, 735, 270);
    place(m_texts[6], 7800, 5880, 1335, 270);
    place(m_Combo1, 7800, 6360, 1335, 330);
    place(m_checks[0], 5400, 6840, 1935, 255);
    place(m_checks[1], 5400, 6360, 2415, 255);
    place(m_checks[2], 5400, 5880, 2295, 255);

    // Tab order, first to last, of the controls this window has.
    QWidget* const order[] = {m_texts[0], m_texts[1], m_texts[2], m_texts[3], m_checks[0],
                              m_checks[1], m_checks[2], m_Combo1,   m_texts[6], m_texts[5],
                              m_texts[4],  m_File1,     m_Dir1,     m_Drive1};
    // A text box hands its focus to its editor, which is what the chain
    // must link.
    const auto taker = [](QWidget* w) { return w->focusProxy() ? w->focusProxy() : w; };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(taker(order[i - 1]), taker(order[i]));

    m_Drive1->on_change = [this] { drive1_change(*this); };
    m_Dir1->on_change = [this] { dir1_change(*this); };
    m_File1->on_click = [this] { file1_click(*this); };
    text_box(text_id::Text2).on_click = [this] { text2_click(*this); };
    text_box(text_id::Text3).on_click = [this] { replacement_click(*this); };
    text_box(text_id::Text4).on_click = [this] { replacement_click(*this); };
    for (std::size_t i = 0; i < m_checks.size(); ++i) {
        const auto which = static_cast<check_id>(i);
        m_checks[i]->on_click = [this, which] {
            option_click(*this);
            select_option(which);
        };
    }
    m_Combo1->on_lost_focus = [this] { combo1_lost_focus(*this); };
    m_Timer1->on_timer = [this] { timer_tick(*this); };
}

platform::text_box& widget_window::text_box(text_id which)
{
    return *m_texts[static_cast<std::size_t>(which)];
}

std::optional<std::string> widget_window::list_entry(std::int32_t index)
{
    if (const std::string* name = m_File1->List(index))
        return *name;
    return std::nullopt;
}

std::string widget_window::text(text_id which)
{
    if (which == text_id::Combo1)
        return m_Combo1->Text();
    return text_box(which).Text();
}

void widget_window::set_text(text_id which, const std::string& text)
{
    if (which == text_id::Combo1)
        m_Combo1->set_text(text);
    else
        text_box(which).set_text(text);
}

void widget_window::append_line(text_id which, const std::string& line)
{
    if (which == text_id::Combo1) {
        std::string text = m_Combo1->Text();
        append_list_line(text, line);
        m_Combo1->set_text(text);
        return;
    }
    text_box(which).change_text([&line](std::string& text) { append_list_line(text, line); });
}

std::string widget_window::selected_text(text_id which)
{
    if (which == text_id::Combo1)
        return platform::typed_bytes(m_Combo1->lineEdit()->selectedText());
    return text_box(which).SelText();
}

void widget_window::set_check_value(check_id which, bool value)
{
    if (value)
        select_option(which);
    else
        option(which).set_value(false);
}

void widget_window::select_option(check_id which)
{
    // The three option buttons are one group: selecting one clears the others.
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        m_checks[i]->set_value(i == static_cast<std::size_t>(which));
}

void widget_window::set_timer_enabled(bool enabled)
{
    m_Timer1->set_enabled(enabled);
    for (auto* box : m_texts)
        box->hold_display(enabled);
}

void widget_window::yield()
{
    platform::yield();
}

bool widget_window::rename_file(const std::string& old_path, const std::string& new_path)
{
    return platform::rename_no_replace(old_path, new_path) == platform::rename_result::renamed;
}

void widget_window::show_message(const std::string& text)
{
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (focus && focus->window() != window())
        focus = nullptr;
    platform::message_box(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    // A modal box hands the activation back on its own on most desktops, not
    // on all; the user goes on where they were.
    activateWindow();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

void widget_window::flush_texts()
{
    for (auto* box : m_texts)
        box->flush();
}

} // namespace renamer
