#pragma once

// What the control tests share: pictures drawn in code in place of the
// controls' art, one colour per cell, so that a pixel of a grabbed control
// tells which cell it shows; a recorder of raised events; a move report.

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <functional>

class QWidget;
namespace controls {
class xp_control;
}

namespace stand_in {

// Puts the stand-ins in place of "cmdbutton", "checkbox" and "option_0" to
// "option_7".
void install();

// Push-button strip: the red channel tells the cell, the blue channel which
// of the nine pieces of the cell (1 to 9, in the painting order) a pixel
// comes from.
int button_cell(QRgb pixel);
int button_piece(QRgb pixel);

// Check-box cells and option pictures: the red channel tells the cell.
int indicator_cell(QRgb pixel);

} // namespace stand_in

namespace support {

// Binds every event the control declares; each raise adds "Name", then
// "@tag" when a tag is given (read while the host's handler runs, e.g. the
// face on screen), then the arguments: " Button Shift X Y", " KeyCode
// Shift" or " KeyAscii".
void record(controls::xp_control& control, QStringList& log, std::function<QString()> tag = {});

// A pointer move over a widget as the platform reports it.
void send_move(QWidget* widget, QPoint position, Qt::MouseButtons buttons = Qt::NoButton);

} // namespace support
