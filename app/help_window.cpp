#include "help_window.h"

#include "core/rules.h"
#include "widget_controls.h"

#include "platform/toolkit/palette.h"

namespace renamer {

std::string help_text()
{
    static const char* const lines[] = {
        "帮助说明：",
        "",
        "    您是否遇到过要将上百个文件名称复制出来的问题。",
        "",
        "    您是否遇到过要将上千个文件改名的问题本软件可以将许多文件名称替换成为您想要的字符，从而使您修改文件名称在几秒钟就可以完成。",
        "",
        "    本软件可以查找文件名称中是否有您所要更改的字符，然后将其更改。",
        "    ",
        "    本软件是免费软件！可以随意拷贝使用！",
        "    ",
        "    1.2.0版本在1.1.0版本基础上加强了稳定性！",
        "",
        "",
        "本软件作者：",
        "    Fennimo 开发者",
        "    意见与建议请寄往本软件的发布页面。",
        "    欢迎试用同一作者的其他软件！",
        // What this version adds, after the text as it always read.
        "",
        "",
        "撤销与报告：",
        "    在主窗口中按 Ctrl+Z 可以撤销上一次改名：程序先询问，再把每个文件改回原来的名称。撤销记录保存在磁盘上，关闭程序后再打开仍可撤销。在输入框中输入时，Ctrl+Z 撤销的是刚输入的文字；要撤销改名，先把焦点移出输入框（例如按 Tab 键）。",
        "    按键：Tab 和 Shift+Tab 在各项之间依次移动，F1 打开本帮助，F5 打开改名预览，Esc 关闭帮助窗口和预览窗口。",
        "    改名或撤销时如有文件未能改名（目标名称已存在、名称不允许使用、文件已不存在或文件系统拒绝），结束后会显示一个报告，列出每种原因的文件数和文件名。",
        "",
        "改名预览：",
        "    在主窗口中按 F5 打开改名预览，逐个列出每个文件的原名、新名和按“修改”时的结果（改名、不变，或不能改名及原因），并统计各有多少个文件。预览不改动任何文件；修改输入、规则或文件夹时，预览随之更新。在预览窗口中按“修改”，预览关闭，改名随即开始。",
    };
    std::string text;
    for (const char* line : lines)
        append_list_line(text, line);
    return text;
}

Form2::Form2(QWidget* owner)
    : skinned_window(9735, 7950, QStringLiteral("帮助"), QImage(), owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget* canvas = &xp_canvas1();

    m_xptopbuttons1 = load_control<controls::xptopbuttons>("xptopbuttons1", canvas, {9240, 120, 315, 315}, {});
    m_Text1 = new widgets::text_box(widgets::text_box::kind::multi_line, canvas);
    place(m_Text1, {240, 2160, 9255, 5415});
    platform::set_colour(m_Text1->editor(), QPalette::Base, QColor(224, 224, 224));
    m_Text1->setFont(interface_font());
    m_Text1->set_text(help_text());
    m_Text1->flush();
    QFont banner = interface_font(24);
    m_Label1 = make_label(QStringLiteral("欢迎使用 Fennimo 批量改名"), canvas, {960, 960, 7575, 855},
                          QColor(0, 128, 0), banner);

    m_xptopbuttons1->events().bind(controls::Click_event, [this] { close(); });
    close_on_escape(*m_xptopbuttons1);
    if (owner)
        centre_in(owner->geometry());
}

} // namespace renamer
