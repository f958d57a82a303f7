#include "art.h"

#include "drawings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>

#include <cmath>

namespace art {

namespace {

const QStringList caption_cells = {"normal", "hover", "pressed", "disabled"};

named_picture picture(const QString& name, const canvas& drawn, storage_form storage, int columns, int rows,
                      QStringList cells)
{
    return {name, stored(drawn.image(), storage), storage, columns, rows, std::move(cells)};
}

// The colours of an image with every channel rounded to a multiple of `step`
// (fully transparent pixels all become one colour).
QImage rounded_colours(const QImage& image, int step)
{
    QImage out = image.copy();
    const auto round = [step](int v) { return std::min(255, int(std::lround(double(v) / step)) * step); };
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            out.setPixel(x, y, qAlpha(c) == 0 ? 0 : qRgba(round(qRed(c)), round(qGreen(c)), round(qBlue(c)), round(qAlpha(c))));
        }
    }
    return out;
}

QImage indexed(const QImage& argb)
{
    QImage source = rounded_colours(argb, 1);
    for (int step = 2; step <= 64; step *= 2) {
        QHash<QRgb, int> seen;
        for (int y = 0; y < source.height() && seen.size() <= 256; ++y)
            for (int x = 0; x < source.width(); ++x)
                seen.insert(source.pixel(x, y), 0);
        if (seen.size() <= 256)
            break;
        source = rounded_colours(argb, step);
    }
    QList<QRgb> palette;
    QHash<QRgb, int> index_of;
    QImage out(source.size(), QImage::Format_Indexed8);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb c = source.pixel(x, y);
            auto found = index_of.find(c);
            if (found == index_of.end()) {
                found = index_of.insert(c, int(palette.size()));
                palette.append(c);
            }
            out.scanLine(y)[x] = uchar(found.value());
        }
    }
    out.setColorTable(palette);
    return out;
}

} // namespace

QImage stored(const QImage& argb, storage_form storage)
{
    switch (storage) {
    case storage_form::argb:
        return rounded_colours(argb.convertToFormat(QImage::Format_ARGB32), 1);
    case storage_form::rgb:
        return argb.convertToFormat(QImage::Format_RGB32);
    case storage_form::indexed:
        return indexed(argb.convertToFormat(QImage::Format_ARGB32));
    }
    return argb;
}

QByteArray png_bytes(const QImage& image)
{
    QImage copy = image;
    copy.setDotsPerMeterX(3780); // 96 dots per inch, whatever the screen
    copy.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(copy);
    return bytes;
}

std::vector<named_picture> all_pictures()
{
    std::vector<named_picture> all;
    all.push_back(picture("cmdbutton", push_button_strip(), storage_form::indexed, 5, 1,
                          {"normal", "pressed", "disabled", "hover", "emphasised"}));
    all.push_back(picture("help", help_strip(), storage_form::argb, 3, 1, {"normal", "hover", "pressed"}));
    all.push_back(picture("caption_close", caption_strip(caption_kind::close), storage_form::argb, 4, 1, caption_cells));
    all.push_back(
        picture("caption_maximize", caption_strip(caption_kind::maximize), storage_form::argb, 4, 1, caption_cells));
    all.push_back(
        picture("caption_minimize", caption_strip(caption_kind::minimize), storage_form::argb, 4, 1, caption_cells));
    all.push_back(
        picture("caption_restore", caption_strip(caption_kind::restore), storage_form::argb, 4, 1, caption_cells));

    QStringList box_cells;
    for (const char* value : {"cleared", "ticked", "mixed"})
        for (const QString& state : caption_cells)
            box_cells << QStringLiteral("%1 %2").arg(QLatin1String(value), state);
    all.push_back(picture("checkbox", check_box_strip(), storage_form::rgb, 1, 12, box_cells));
    for (int cell = 0; cell < 8; ++cell) {
        all.push_back(picture(QStringLiteral("option_%1").arg(cell), option_cell(cell), storage_form::argb, 1, 1,
                              {QStringLiteral("%1 %2").arg(cell < 4 ? "off" : "on", caption_cells[cell % 4])}));
    }
    all.push_back(picture("groupbox", group_box(), storage_form::argb, 1, 1, {}));

    for (const frame_look look : {frame_look::active, frame_look::inactive}) {
        const QString n = look == frame_look::active ? "1" : "2";
        all.push_back(picture("imgtop" + n, title(look, false), storage_form::indexed, 1, 1, {}));
        all.push_back(picture("imgtopmax" + n, title(look, true), storage_form::indexed, 1, 1, {}));
        all.push_back(picture("imgleft" + n, left_border(look), storage_form::indexed, 1, 1, {}));
        all.push_back(picture("imgright" + n, right_border(look), storage_form::indexed, 1, 1, {}));
        all.push_back(picture("imgbottom" + n, bottom_border(look), storage_form::indexed, 1, 1, {}));
    }
    all.push_back(picture("frame_icon", frame_icon(), storage_form::indexed, 1, 1, {}));
    all.push_back(picture("main_icon", main_icon(), storage_form::indexed, 1, 1, {}));
    all.push_back(picture("app_icon_16", app_icon(16), storage_form::argb, 1, 1, {}));
    all.push_back(picture("app_icon_48", app_icon(48), storage_form::argb, 1, 1, {}));
    return all;
}

QStringList write_all(const QString& assets_dir, const QString& sheet_file)
{
    QStringList problems;
    const auto write = [&problems](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            problems << QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    };
    const std::vector<named_picture> pictures = all_pictures();
    if (!QDir().mkpath(assets_dir))
        problems << QStringLiteral("cannot make %1").arg(assets_dir);
    for (const named_picture& p : pictures)
        write(QDir(assets_dir).filePath(p.name + ".png"), png_bytes(p.image));
    if (!sheet_file.isEmpty()) {
        QDir().mkpath(QFileInfo(sheet_file).absolutePath());
        write(sheet_file, png_bytes(contact_sheet(pictures)));
    }
    return problems;
}

} // namespace art
