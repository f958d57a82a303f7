// The art: the generator writes the committed files byte for byte, and the
// pictures that the resource gives have the sizes, cells, formats, colours
// and key-colour corners that the controls and the frame rely on.
#include "art.h"
#include "drawings.h"
#include "platform/toolkit/pictures.h"

#include <QtTest>

#include <functional>

namespace {

constexpr QRgb key = 0xffff00ffu;

QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

QString hex(QRgb c) { return QStringLiteral("#%1").arg(c, 8, 16, QLatin1Char('0')); }

// The picture as the program gets it, in 32-bit ARGB for pixel tests.
QImage argb(const QString& name)
{
    return platform::picture(name).convertToFormat(QImage::Format_ARGB32);
}

QImage cell(const QImage& strip, int rows, int columns, int index)
{
    return platform::cell_picture(strip, rows, columns, index);
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

int count(const QImage& image, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

bool has(const QImage& image, QRgb colour)
{
    return count(image, [colour](QRgb c) { return c == colour; }) > 0;
}

// A channel of c lies between those of a and b (either way round).
bool between(QRgb c, QRgb a, QRgb b)
{
    const auto in = [](int v, int x, int y) { return v >= std::min(x, y) && v <= std::max(x, y); };
    return in(qRed(c), qRed(a), qRed(b)) && in(qGreen(c), qGreen(a), qGreen(b)) && in(qBlue(c), qBlue(a), qBlue(b));
}

const QStringList frame_pictures = {"imgtop1",  "imgtop2",   "imgtopmax1", "imgtopmax2", "imgleft1",
                                    "imgleft2", "imgright1", "imgright2",  "imgbottom1", "imgbottom2"};

} // namespace

class tst_art : public QObject {
    Q_OBJECT
private slots:
    void regenerating_gives_the_committed_files();
    void drawing_twice_gives_the_same_bytes();
    void indexed_storage_data();
    void indexed_storage();
    void sizes_cells_and_formats_data();
    void sizes_cells_and_formats();
    void title_corners_are_key_coloured_pixel_by_pixel();
    void frame_colours_and_stretchable_parts();
    void push_button_cells();
    void caption_and_help_buttons();
    void check_box_cells_data();
    void check_box_cells();
    void option_cells_data();
    void option_cells();
    void group_box_frame();
    void icons();
};

void tst_art::regenerating_gives_the_committed_files()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString sheet = dir.filePath("art.png");
    const QStringList problems = art::write_all(dir.filePath("assets"), sheet);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));

    const QDir committed(QStringLiteral(FENNIMO_SOURCE_DIR "/assets"));
    const QDir fresh(dir.filePath("assets"));
    const QStringList png = {"*.png"};
    QCOMPARE(fresh.entryList(png, QDir::Files, QDir::Name), committed.entryList(png, QDir::Files, QDir::Name));
    QCOMPARE(fresh.entryList(png, QDir::Files).size(), 30);

    const auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const QString& name : fresh.entryList(png, QDir::Files, QDir::Name)) {
        const QByteArray made = bytes(fresh.filePath(name));
        QVERIFY(!made.isEmpty());
        QVERIFY2(made == bytes(committed.filePath(name)),
                 qPrintable(name + " differs from the committed one: run the `art` target and commit"));
    }
    QVERIFY2(bytes(sheet) == bytes(QStringLiteral(FENNIMO_SOURCE_DIR "/docs/art.png")),
             "docs/art.png differs from what the generator makes: run the `art` target and commit");
}

void tst_art::drawing_twice_gives_the_same_bytes()
{
    const std::vector<art::named_picture> first = art::all_pictures();
    const std::vector<art::named_picture> second = art::all_pictures();
    QCOMPARE(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        QCOMPARE(first[i].name, second[i].name);
        QVERIFY2(art::png_bytes(first[i].image) == art::png_bytes(second[i].image), qPrintable(first[i].name));
    }
    QVERIFY(art::png_bytes(art::contact_sheet(first)) == art::png_bytes(art::contact_sheet(second)));
}

void tst_art::indexed_storage_data()
{
    QTest::addColumn<QImage>("drawn");
    QTest::addColumn<bool>("lossless");

    QTest::newRow("active title") << art::title(art::frame_look::active, false).image() << true;
    QTest::newRow("push button") << art::push_button_strip().image() << true;
    QTest::newRow("main icon") << art::main_icon().image() << true;

    // 64 x 64 different colours with different alphas: too many for a
    // palette, so they are rounded to fewer.
    QImage many(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            many.setPixel(x, y, qRgba(x * 4, y * 4, (x * y) % 256, 255 - x));
    QTest::newRow("4096 colours") << many << false;
}

void tst_art::indexed_storage()
{
    QFETCH(QImage, drawn);
    QFETCH(bool, lossless);
    const QImage stored = art::stored(drawn, art::storage_form::indexed);
    QCOMPARE(stored.format(), QImage::Format_Indexed8);
    QVERIFY(stored.colorCount() <= 256);
    QCOMPARE(stored.size(), drawn.size());
    // The same palette, in the same order, at every run.
    QCOMPARE(art::png_bytes(art::stored(drawn, art::storage_form::indexed)), art::png_bytes(stored));

    const QImage back = stored.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y), b = back.pixel(x, y);
            if (qAlpha(a) == 0 && qAlpha(b) == 0)
                continue;
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
        }
    }
    if (lossless)
        QCOMPARE(worst, 0);
    else
        QVERIFY2(worst > 0 && worst <= 32, qPrintable(QString::number(worst)));
}

void tst_art::sizes_cells_and_formats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QSize>("cell");
    QTest::addColumn<QString>("format"); // "indexed", "rgb" (no alpha) or "argb"

    const auto row = [](const QString& name, QSize size, int rows, int columns, QSize cell, const char* format) {
        QTest::newRow(qPrintable(name)) << name << size << rows << columns << cell << QString(format);
    };
    row("cmdbutton", {90, 21}, 1, 5, {18, 21}, "indexed");
    row("help", {63, 21}, 1, 3, {21, 21}, "argb");
    for (const char* kind : {"close", "maximize", "minimize", "restore"})
        row(QStringLiteral("caption_%1").arg(kind), {84, 21}, 1, 4, {21, 21}, "argb");
    row("checkbox", {16, 192}, 12, 1, {16, 16}, "rgb");
    for (int i = 0; i < 8; ++i)
        row(QStringLiteral("option_%1").arg(i), {13, 13}, 1, 1, {13, 13}, "argb");
    row("groupbox", {22, 20}, 1, 1, {22, 20}, "argb");
    for (const char* n : {"1", "2"}) {
        row(QStringLiteral("imgtop%1").arg(n), {66, 29}, 1, 1, {66, 29}, "indexed");
        row(QStringLiteral("imgtopmax%1").arg(n), {66, 29}, 1, 1, {66, 29}, "indexed");
        row(QStringLiteral("imgleft%1").arg(n), {5, 31}, 1, 1, {5, 31}, "indexed");
        row(QStringLiteral("imgright%1").arg(n), {5, 31}, 1, 1, {5, 31}, "indexed");
        row(QStringLiteral("imgbottom%1").arg(n), {49, 5}, 1, 1, {49, 5}, "indexed");
    }
    row("frame_icon", {16, 16}, 1, 1, {16, 16}, "indexed");
    row("main_icon", {32, 32}, 1, 1, {32, 32}, "indexed");
    row("app_icon_16", {16, 16}, 1, 1, {16, 16}, "argb");
    row("app_icon_48", {48, 48}, 1, 1, {48, 48}, "argb");
}

void tst_art::sizes_cells_and_formats()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QSize, cell);
    QFETCH(QString, format);

    const QImage image = platform::picture(name);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.width() % columns, 0);
    QCOMPARE(image.height() % rows, 0);
    for (int i = 0; i < rows * columns; ++i)
        QCOMPARE(platform::cell_picture(image, rows, columns, i).size(), cell);

    if (format == "indexed") {
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QVERIFY(image.colorCount() <= 256);
    } else if (format == "rgb") {
        QVERIFY(!image.hasAlphaChannel());
    } else {
        QVERIFY(image.hasAlphaChannel());
    }

    // Every picture of the art comes in the generator's list too.
    const std::vector<art::named_picture> all = art::all_pictures();
    const auto found = std::find_if(all.begin(), all.end(), [&](const art::named_picture& p) { return p.name == name; });
    QVERIFY(found != all.end());
    QCOMPARE(found->columns, columns);
    QCOMPARE(found->rows, rows);
}

void tst_art::title_corners_are_key_coloured_pixel_by_pixel()
{
    // Rows 0 to 4 of both normal titles: key colour at exactly 5, 3, 2, 1
    // and 1 pixels from each side edge, 12 pixels a corner, which the window
    // region cuts away.
    const int insets[] = {5, 3, 2, 1, 1};
    for (const QString& name : {QStringLiteral("imgtop1"), QStringLiteral("imgtop2")}) {
        const QImage image = argb(name);
        int keyed = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool outside = y < 5 && (x < insets[y] || x >= image.width() - insets[y]);
                const bool is_key = image.pixel(x, y) == key;
                QVERIFY2(outside == is_key, qPrintable(QStringLiteral("%1 (%2, %3) is %4").arg(name).arg(x).arg(y).arg(hex(image.pixel(x, y)))));
                keyed += is_key ? 1 : 0;
            }
        }
        QCOMPARE(keyed, 24);
    }
    // No other pixel of the ten pictures is key-coloured.
    for (const QString& name : frame_pictures) {
        if (name == "imgtop1" || name == "imgtop2")
            continue;
        QVERIFY2(!has(argb(name), key), qPrintable(name));
        QVERIFY2(count(argb(name), [](QRgb c) { return qAlpha(c) != 255; }) == 0, qPrintable(name));
    }
}

void tst_art::frame_colours_and_stretchable_parts()
{
    // The active title body around RGB(0, 84, 227) and its lowest row
    // RGB(0, 67, 207); the inactive one around RGB(122, 150, 223).
    const QImage active = argb("imgtop1");
    for (int y = 8; y < 22; ++y)
        QVERIFY2(near(active.pixel(33, y), rgb(0, 84, 227), 8), qPrintable(hex(active.pixel(33, y))));
    for (int x = 5; x < 61; ++x)
        QCOMPARE(active.pixel(x, 28), rgb(0, 67, 207));
    QCOMPARE(argb("imgtopmax1").pixel(33, 28), rgb(0, 67, 207));
    const QImage inactive = argb("imgtop2");
    for (int y = 8; y < 22; ++y)
        QVERIFY2(near(inactive.pixel(33, y), rgb(122, 150, 223), 8), qPrintable(hex(inactive.pixel(33, y))));
    QVERIFY(near(argb("imgleft1").pixel(2, 10), rgb(0, 84, 227), 8));
    QVERIFY(near(argb("imgleft2").pixel(2, 10), rgb(122, 150, 223), 8));

    // The frame stretches the titles' 56 middle columns across, the side
    // borders down and the bottom border across: each is uniform
    // in the direction it is stretched.
    for (const char* name : {"imgtop1", "imgtop2", "imgtopmax1", "imgtopmax2"}) {
        const QImage image = argb(name);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 5; x < 61; ++x)
                QVERIFY2(image.pixel(x, y) == image.pixel(5, y), qPrintable(QStringLiteral("%1 (%2, %3)").arg(name).arg(x).arg(y)));
    }
    for (const char* name : {"imgleft1", "imgleft2", "imgright1", "imgright2"}) {
        const QImage image = argb(name);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(image.pixel(x, y), image.pixel(x, 0));
    }
    for (const char* name : {"imgbottom1", "imgbottom2"}) {
        const QImage image = argb(name);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(image.pixel(x, y), image.pixel(0, y));
    }
    // The maximised titles have square corners: their corner pixels are
    // those of the rows below the curve.
    for (const char* name : {"imgtopmax1", "imgtopmax2"}) {
        const QImage image = argb(name);
        QCOMPARE(image.pixel(0, 0), image.pixel(0, 10));
        QCOMPARE(image.pixel(65, 0), image.pixel(65, 10));
    }
    // The active and the inactive looks differ; the inactive is paler.
    QVERIFY(qGray(argb("imgtop2").pixel(33, 14)) > qGray(argb("imgtop1").pixel(33, 14)));
}

void tst_art::push_button_cells()
{
    // Cells: 0 normal, 1 pressed, 2 disabled, 3 hover, 4 emphasised.
    const QImage strip = argb("cmdbutton");
    for (int i = 0; i < 5; ++i) {
        const QImage c = cell(strip, 1, 5, i).convertToFormat(QImage::Format_ARGB32);
        // Nine-slice painting stretches columns 3 to 14 across and rows 3 to
        // 17 down: they must be alike along the stretched direction.
        for (int y = 0; y < 21; ++y)
            for (int x = 3; x < 15; ++x)
                QVERIFY2(c.pixel(x, y) == c.pixel(3, y), qPrintable(QStringLiteral("cell %1 (%2, %3)").arg(i).arg(x).arg(y)));
        // A dark-blue border (grey when disabled), round corners.
        const QRgb border = i == 2 ? rgb(201, 199, 186) : rgb(0, 60, 116);
        QCOMPARE(c.pixel(9, 0), border);
        QCOMPARE(c.pixel(9, 20), border);
        QCOMPARE(c.pixel(0, 10), border);
        QCOMPARE(c.pixel(17, 10), border);
        QVERIFY(qAlpha(c.pixel(0, 0)) < 128);
        QVERIFY(qAlpha(c.pixel(17, 20)) < 128);
        QCOMPARE(qAlpha(c.pixel(9, 10)), 255);
    }
    const auto centre = [&](int i) { return cell(strip, 1, 5, i).pixel(9, 10); };
    // Normal: white at the top to light grey; pressed darker.
    QCOMPARE(cell(strip, 1, 5, 0).pixel(9, 1), rgb(255, 255, 255));
    QVERIFY(qGray(centre(1)) < qGray(centre(0)));
    // Hover: orange rim inside the border; emphasised: blue rim.
    const QRgb hover_rim = cell(strip, 1, 5, 3).pixel(1, 10);
    QVERIFY2(qRed(hover_rim) > 200 && qBlue(hover_rim) < 150, qPrintable(hex(hover_rim)));
    const QRgb blue_rim = cell(strip, 1, 5, 4).pixel(1, 10);
    QVERIFY2(qBlue(blue_rim) > 200 && qRed(blue_rim) < qBlue(blue_rim), qPrintable(hex(blue_rim)));
    // The rims stay inside the 3-pixel border that nine-slice keeps.
    QCOMPARE(cell(strip, 1, 5, 3).pixel(3, 10), cell(strip, 1, 5, 0).pixel(3, 10));
    QCOMPARE(cell(strip, 1, 5, 4).pixel(9, 3), cell(strip, 1, 5, 0).pixel(9, 3));
}

void tst_art::caption_and_help_buttons()
{
    const auto white_pixels = [](const QImage& c) { return count(c, [](QRgb p) { return p == 0xffffffffu; }); };
    for (const char* kind : {"close", "maximize", "minimize", "restore"}) {
        const QImage strip = argb(QStringLiteral("caption_%1").arg(kind));
        for (int i = 0; i < 4; ++i) {
            const QImage c = cell(strip, 1, 4, i).convertToFormat(QImage::Format_ARGB32);
            // Round corners over what lies behind; an opaque face.
            QCOMPARE(qAlpha(c.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(c.pixel(20, 20)), 0);
            QCOMPARE(qAlpha(c.pixel(10, 3)), 255);
            // Close is red-orange, the others blue.
            const QRgb face = c.pixel(3, 3);
            if (QByteArray(kind) == "close")
                QVERIFY2(qRed(face) > qBlue(face) + 60 && qRed(face) > qGreen(face), qPrintable(hex(face)));
            else
                QVERIFY2(qBlue(face) > qRed(face) + 60, qPrintable(hex(face)));
        }
        // A white glyph on the normal and hover faces; hover brighter, pressed
        // darker, disabled pale.
        QVERIFY(white_pixels(cell(strip, 1, 4, 0)) > 8);
        QVERIFY(white_pixels(cell(strip, 1, 4, 1)) > 8);
        const auto gray = [&](int i) { return qGray(cell(strip, 1, 4, i).pixel(4, 12)); };
        QVERIFY(gray(1) > gray(0));
        QVERIFY(gray(2) < gray(0));
        QVERIFY(gray(3) > gray(1));
    }
    const QImage help = argb("help");
    for (int i = 0; i < 3; ++i) {
        const QImage c = cell(help, 1, 3, i).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(qAlpha(c.pixel(0, 0)), 0);
        QVERIFY(qBlue(c.pixel(3, 3)) > qRed(c.pixel(3, 3)) + 60);
    }
    QVERIFY(white_pixels(cell(help, 1, 3, 0)) > 8);
}

void tst_art::check_box_cells_data()
{
    QTest::addColumn<int>("index");
    const char* values[] = {"cleared", "ticked", "mixed"};
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    for (int i = 0; i < 12; ++i)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(values[i / 4], states[i % 4]))) << i;
}

void tst_art::check_box_cells()
{
    // Cell = 4 x value + state; values cleared, ticked, mixed; states normal,
    // hover, pressed, disabled.
    QFETCH(int, index);
    const QImage strip = argb("checkbox");
    const QImage c = cell(strip, 12, 1, index);
    const int value = index / 4, state = index % 4;
    QCOMPARE(count(c, [](QRgb p) { return qAlpha(p) != 255; }), 0);

    // The one-pixel border all round.
    const QRgb grey = rgb(207, 207, 191);
    const QRgb border = state == 3 ? grey : rgb(31, 80, 128);
    for (int k = 0; k < 16; ++k) {
        QCOMPARE(c.pixel(k, 0), border);
        QCOMPARE(c.pixel(k, 15), border);
        QCOMPARE(c.pixel(0, k), border);
        QCOMPARE(c.pixel(15, k), border);
    }
    // The fill at its corners: the diagonal gradient, the hover ring, the
    // darker pressed gradient, the disabled white.
    const QRgb top_left = c.pixel(1, 1), bottom_right = c.pixel(14, 14);
    switch (state) {
    case 0:
        QCOMPARE(top_left, rgb(223, 223, 208));
        QCOMPARE(bottom_right, rgb(255, 255, 255));
        break;
    case 1:
        QCOMPARE(top_left, rgb(255, 223, 159));
        QCOMPARE(bottom_right, rgb(255, 191, 64));
        for (int k = 1; k < 15; ++k) {
            QVERIFY(between(c.pixel(k, 1), rgb(255, 223, 159), rgb(255, 191, 64)));
            QVERIFY(between(c.pixel(14, k), rgb(255, 223, 159), rgb(255, 191, 64)));
        }
        break;
    case 2:
        QCOMPARE(top_left, rgb(191, 191, 175));
        QVERIFY(qGray(c.pixel(3, 8)) < qGray(cell(strip, 12, 1, value * 4).pixel(3, 8)));
        break;
    case 3:
        QCOMPARE(top_left, rgb(255, 255, 255));
        QCOMPARE(bottom_right, rgb(255, 255, 255));
        break;
    }
    // The marks, in their exact colours: a green tick (darker when pressed),
    // a square (light green, green, dark green), grey when disabled.
    const QRgb tick = rgb(32, 160, 32), tick_pressed = rgb(31, 127, 31);
    const QRgb mark = state == 3 ? grey : state == 2 ? tick_pressed : tick;
    switch (value) {
    case 0:
        QCOMPARE(count(c, [&](QRgb p) { return p == tick || p == tick_pressed; }), 0);
        if (state == 3)
            QCOMPARE(count(c, [&](QRgb p) { return p == grey; }), 60); // the border alone
        break;
    case 1:
        QVERIFY(count(c, [&](QRgb p) { return p == mark; }) - (state == 3 ? 60 : 0) >= 15);
        QCOMPARE(c.pixel(7, 9), mark); // the joint of the tick's two strokes
        break;
    case 2: {
        const QRgb square = state == 0 ? rgb(160, 208, 159) : state == 1 ? tick : state == 2 ? tick_pressed : grey;
        for (int y = 5; y < 11; ++y)
            for (int x = 5; x < 11; ++x)
                QCOMPARE(c.pixel(x, y), square);
        break;
    }
    }
}

void tst_art::option_cells_data()
{
    QTest::addColumn<int>("index");
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    for (int i = 0; i < 8; ++i)
        QTest::newRow(qPrintable(QStringLiteral("option_%1 %2 %3").arg(i).arg(i < 4 ? "off" : "on", states[i % 4])))
            << i;
}

void tst_art::option_cells()
{
    // Cell = 4 x selected + state; 13 x 13 with transparent corners.
    QFETCH(int, index);
    const QImage c = argb(QStringLiteral("option_%1").arg(index));
    const bool selected = index >= 4;
    const int state = index % 4;

    // The four corner areas are transparent; the circle is opaque.
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(12, 0), QPoint(11, 0), QPoint(12, 1),
                           QPoint(0, 12), QPoint(1, 12), QPoint(0, 11), QPoint(12, 12), QPoint(11, 12), QPoint(12, 11)})
        QCOMPARE(qAlpha(c.pixel(p)), 0);
    QCOMPARE(qAlpha(c.pixel(6, 6)), 255);
    QCOMPARE(qAlpha(c.pixel(2, 2)), 255);

    // The one-pixel ring.
    const QRgb ring = state == 3 ? rgb(202, 200, 187) : rgb(28, 81, 128);
    for (const QPoint p : {QPoint(6, 0), QPoint(0, 6), QPoint(12, 6), QPoint(6, 12), QPoint(1, 2), QPoint(11, 10)})
        QCOMPARE(c.pixel(p), ring);

    // The dot, green or grey, or none.
    const QRgb dot = rgb(56, 185, 53), disabled_dot = rgb(192, 191, 181);
    if (selected) {
        const QRgb expected = state == 3 ? disabled_dot : dot;
        QCOMPARE(c.pixel(6, 6), expected);
        QCOMPARE(count(c, [&](QRgb p) { return p == expected; }), 21);
    } else {
        QVERIFY(!has(c, dot) && !has(c, disabled_dot));
    }

    switch (state) {
    case 0:
        // Light grey to white.
        QVERIFY(qGray(c.pixel(3, 3)) < qGray(c.pixel(9, 3)));
        QCOMPARE(c.pixel(9, 9), rgb(255, 255, 255));
        break;
    case 1:
        // The orange inner ring, from its top colour to its bottom one.
        QCOMPARE(c.pixel(6, 1), rgb(244, 212, 140));
        QCOMPARE(c.pixel(6, 11), rgb(253, 214, 132));
        QVERIFY(between(c.pixel(1, 6), rgb(244, 212, 140), rgb(253, 214, 132)));
        QVERIFY(between(c.pixel(2, 6), rgb(244, 212, 140), rgb(253, 214, 132)));
        break;
    case 2:
        // Darker than the normal cell.
        QVERIFY(qGray(c.pixel(3, 5)) < qGray(argb(QStringLiteral("option_%1").arg(index - 2)).pixel(3, 5)));
        break;
    case 3:
        QCOMPARE(c.pixel(3, 6), rgb(255, 255, 255));
        break;
    }
}

void tst_art::group_box_frame()
{
    // The line, its smoothing pixels at the right-hand corners, everything
    // else transparent.
    const QImage g = argb("groupbox");
    const QRgb line = rgb(208, 208, 191), smooth = rgb(211, 211, 197);
    for (int x = 3; x < 19; ++x) {
        QCOMPARE(g.pixel(x, 0), line);
        QCOMPARE(g.pixel(x, 19), line);
    }
    for (int y = 3; y < 17; ++y) {
        QCOMPARE(g.pixel(0, y), line);
        QCOMPARE(g.pixel(21, y), line);
    }
    int smoothing = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 22; ++x) {
            const QRgb p = g.pixel(x, y);
            const QString where = QStringLiteral("(%1, %2) %3").arg(x).arg(y).arg(hex(p));
            QVERIFY2(p == line || p == smooth || qAlpha(p) == 0, qPrintable(where));
            if (p == smooth) {
                QVERIFY2(x >= 19 && (y < 3 || y >= 17), qPrintable(where));
                ++smoothing;
            }
            const bool in_corner = (x < 3 || x >= 19) && (y < 3 || y >= 17);
            const bool on_edge = x == 0 || x == 21 || y == 0 || y == 19;
            if (!in_corner && !on_edge)
                QVERIFY2(qAlpha(p) == 0, qPrintable(where));
        }
    }
    QVERIFY(smoothing > 0);
    // Curved corners: the outermost corner pixels are cut away.
    for (const QPoint p : {QPoint(0, 0), QPoint(21, 0), QPoint(0, 19), QPoint(21, 19)})
        QCOMPARE(qAlpha(g.pixel(p)), 0);
}

void tst_art::icons()
{
    const QImage frame = argb("frame_icon");
    const QImage main = argb("main_icon");
    QCOMPARE(frame.size(), QSize(16, 16));
    QCOMPARE(main.size(), QSize(32, 32));
    QCOMPARE(platform::picture("main_icon").format(), QImage::Format_Indexed8);
    // Drawn shapes on a transparent ground.
    QCOMPARE(qAlpha(frame.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(main.pixel(31, 0)), 0);
    QVERIFY(count(frame, [](QRgb c) { return qAlpha(c) == 255; }) > 100);
    QVERIFY(count(main, [](QRgb c) { return qAlpha(c) == 255; }) > 300);
}

QTEST_MAIN(tst_art)
#include "tst_art.moc"
