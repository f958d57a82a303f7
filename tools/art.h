#pragma once

// The art as a whole: every named picture in the form it is stored in, the
// PNG bytes written for it, and the contact sheet docs/art.png.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace art {

// How a picture is stored: 32-bit with alpha, 24-bit without, or 8-bit
// with a palette (the "256 colours" and "8-bit palette" pictures).
enum class storage_form { argb, rgb, indexed };

struct named_picture {
    QString name;          // the resource name, ":/assets/<name>.png"
    QImage image;          // in its stored form
    storage_form storage;
    int columns = 1;       // the cells it is cut into
    int rows = 1;
    QStringList cell_names; // what each cell shows, in cell order
};

// Every picture, drawn and converted to its stored form, in a fixed order.
std::vector<named_picture> all_pictures();

// The image converted to its stored form. An indexed image's palette holds
// its colours in order of first appearance (row by row), so it is the same
// at every run; more than 256 colours are first rounded to fewer.
QImage stored(const QImage& argb, storage_form storage);

// The PNG file of an image, with fixed resolution and no text chunks.
QByteArray png_bytes(const QImage& image);

// The contact sheet: every picture at 1x and enlarged 4x, with its name and
// the names of its cells.
QImage contact_sheet(const std::vector<named_picture>& pictures);

// Writes <assets_dir>/<name>.png for every picture, and the contact sheet to
// `sheet_file` unless it is empty. Returns what went wrong, if anything.
QStringList write_all(const QString& assets_dir, const QString& sheet_file);

} // namespace art
