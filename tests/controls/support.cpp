#include "support.h"

#include "controls/xp_control.h"
#include "platform/pictures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QString>

namespace stand_in {

namespace {

// Which of the nine pieces pixel (x, y) of an 18 x 21 cell belongs to.
int piece_of(int x, int y)
{
    const int column = x < 3 ? 0 : x < 15 ? 1 : 2;
    const int row = y < 3 ? 0 : y < 18 ? 1 : 2;
    static const int pieces[3][3] = {{1, 5, 2}, {7, 9, 6}, {4, 8, 3}};
    return pieces[row][column];
}

} // namespace

void install()
{
    QImage strip(90, 21, QImage::Format_ARGB32);
    for (int cell = 0; cell < 5; ++cell)
        for (int x = 0; x < 18; ++x)
            for (int y = 0; y < 21; ++y)
                strip.setPixel(cell * 18 + x, y, qRgb(30 + 40 * cell, 0, 25 * piece_of(x, y)));
    platform::set_picture_override(QStringLiteral("cmdbutton"), strip);

    QImage checks(16, 192, QImage::Format_ARGB32);
    for (int cell = 0; cell < 12; ++cell)
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 16; ++y)
                checks.setPixel(x, cell * 16 + y, qRgb(10 + 20 * cell, 60, 60));
    platform::set_picture_override(QStringLiteral("checkbox"), checks);

    for (int cell = 0; cell < 8; ++cell) {
        QImage option(13, 13, QImage::Format_ARGB32);
        option.fill(qRgb(10 + 20 * cell, 120, 120));
        // The corners are transparent, as in the real art.
        for (const auto& [x, y] : {std::pair{0, 0}, {12, 0}, {0, 12}, {12, 12}})
            option.setPixel(x, y, qRgba(0, 0, 0, 0));
        platform::set_picture_override(QStringLiteral("option_%1").arg(cell), option);
    }
}

int button_cell(QRgb pixel)
{
    const int r = qRed(pixel) - 30;
    return r >= 0 && r % 40 == 0 && qGreen(pixel) == 0 ? r / 40 : -1;
}

int button_piece(QRgb pixel)
{
    return qBlue(pixel) % 25 == 0 ? qBlue(pixel) / 25 : -1;
}

int indicator_cell(QRgb pixel)
{
    const int r = qRed(pixel) - 10;
    return r >= 0 && r % 20 == 0 ? r / 20 : -1;
}

} // namespace stand_in

namespace support {

void record(controls::xp_control& control, QStringList& log, std::function<QString()> tag)
{
    using namespace controls;
    for (const char* name : {"Click", "DblClick", "KeyDown", "KeyPress", "KeyUp", "MouseDown", "MouseMove", "MouseUp",
                             "MouseOut"}) {
        const int id = control.events().id_of(QLatin1String(name));
        if (id == 0)
            continue;
        control.events().bind(id, [&log, tag, name, id](event_args& a) {
            QString entry = QLatin1String(name);
            if (tag)
                entry += QLatin1Char('@') + tag();
            if (id == dispatch::MouseDown || id == dispatch::MouseMove || id == dispatch::MouseUp)
                entry += QStringLiteral(" %1 %2 %3 %4").arg(a.button).arg(a.shift).arg(a.x).arg(a.y);
            else if (id == dispatch::KeyDown || id == dispatch::KeyUp)
                entry += QStringLiteral(" %1 %2").arg(a.key_code).arg(a.shift);
            else if (id == dispatch::KeyPress)
                entry += QStringLiteral(" %1").arg(a.key_ascii);
            log << entry;
        });
    }
}

void send_move(QWidget* widget, QPoint position, Qt::MouseButtons buttons)
{
    QMouseEvent me(QEvent::MouseMove, QPointF(position), QPointF(widget->mapToGlobal(position)), Qt::NoButton,
                   buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &me);
}

} // namespace support
