#include "frame/trans_colour.h"
#include "stand_in_art.h"

#include <QPainter>
#include <QWidget>
#include <QtTest>

using frame::key_colour;

namespace {

const QColor key(255, 0, 255);

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0, 84, 227));
    return image;
}

// The title's two five-pixel corners copied unscaled to both ends of a
// surface, the way the frame lays them on a window exactly as wide.
QImage surface_with_title_corners(int w, int h)
{
    QImage surface = blank(w, h);
    const QImage title = frame_test::curved_title(frame_test::active_green);
    QPainter painter(&surface);
    painter.drawImage(QPoint(0, 0), title, QRect(0, 0, 5, title.height()));
    painter.drawImage(QPoint(w - 5, 0), title, QRect(title.width() - 5, 0, 5, title.height()));
    return surface;
}

QList<QPoint> curved_corners(int w)
{
    QList<QPoint> points;
    const int cut[] = {5, 3, 2, 1, 1};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < cut[y]; ++x)
            points << QPoint(x, y);
        for (int x = w - cut[y]; x < w; ++x)
            points << QPoint(x, y);
    }
    return points;
}

} // namespace

class tst_trans_colour : public QObject {
    Q_OBJECT
private slots:
    void removed_pixels_data();
    void removed_pixels();
    void window_takes_the_shape();
    void packs_red_into_the_low_byte();
};

void tst_trans_colour::removed_pixels_data()
{
    QTest::addColumn<QImage>("surface");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QList<QPoint>>("removed");

    QTest::newRow("title corners, 12 pixels each") << surface_with_title_corners(200, 40) << QSize(200, 40)
                                                   << curved_corners(200);
    QTest::newRow("narrowest frame with a middle") << surface_with_title_corners(11, 40) << QSize(11, 40)
                                                   << curved_corners(11);

    QTest::newRow("no key anywhere: full rectangle") << blank(50, 30) << QSize(50, 30) << QList<QPoint>{};

    QImage row_six = blank(50, 30);
    row_six.setPixelColor(7, 6, key);
    row_six.setPixelColor(8, 5, key);
    QTest::newRow("key in row 6 stays, row 5 goes") << row_six << QSize(50, 30) << QList<QPoint>{{8, 5}};

    QImage near_misses = blank(50, 30);
    near_misses.setPixelColor(1, 0, QColor(254, 0, 255));
    near_misses.setPixelColor(2, 0, QColor(255, 1, 255));
    near_misses.setPixelColor(3, 0, QColor(255, 0, 254));
    near_misses.setPixelColor(4, 0, key);
    QTest::newRow("one step off in any channel stays") << near_misses << QSize(50, 30) << QList<QPoint>{{4, 0}};

    QImage low = blank(20, 10);
    for (int y = 0; y < 6; ++y)
        low.setPixelColor(0, y, key);
    QTest::newRow("host three rows high") << low << QSize(20, 3) << QList<QPoint>{{0, 0}, {0, 1}, {0, 2}};

    QImage narrow = blank(10, 10);
    narrow.fill(key);
    QList<QPoint> narrow_removed;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            narrow_removed << QPoint(x, y);
    QTest::newRow("client wider than the surface: nothing beyond it matches")
        << narrow << QSize(14, 20) << narrow_removed;
}

void tst_trans_colour::removed_pixels()
{
    QFETCH(QImage, surface);
    QFETCH(QSize, client);
    QFETCH(QList<QPoint>, removed);

    const std::vector<QPoint> found = frame::key_pixels(surface, client, key_colour);
    QCOMPARE(QList<QPoint>(found.begin(), found.end()), removed);

    QRegion expected(QRect(QPoint(0, 0), client));
    for (const QPoint& p : removed)
        expected -= QRect(p, QSize(1, 1));
    const QRegion region = frame::key_region(surface, client, key_colour);
    QCOMPARE(region, expected);
    for (const QPoint& p : removed)
        QVERIFY(!region.contains(p));
    QVERIFY(region.contains(QPoint(client.width() - 1, client.height() - 1)));
}

void tst_trans_colour::window_takes_the_shape()
{
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(120, 60);
    const QImage surface = surface_with_title_corners(120, 60);

    frame::apply_key_region(&window, surface, key_colour);
    QCOMPARE(window.mask(), frame::key_region(surface, QSize(120, 60), key_colour));
    QVERIFY(!window.mask().contains(QPoint(0, 0)));
    QVERIFY(window.mask().contains(QPoint(0, 5)));

    // A later call starts again from the full rectangle, so a shape made for
    // a narrower window leaves no cut behind when the window grows.
    window.resize(160, 60);
    const QImage wider = surface_with_title_corners(160, 60);
    frame::apply_key_region(&window, wider, key_colour);
    QVERIFY(window.mask().contains(QPoint(119, 0)));
    QVERIFY(!window.mask().contains(QPoint(159, 0)));
    QCOMPARE(window.mask(), frame::key_region(wider, QSize(160, 60), key_colour));
}

void tst_trans_colour::packs_red_into_the_low_byte()
{
    QCOMPARE(frame::pack_colour(qRgb(255, 0, 255)), key_colour);
    QCOMPARE(frame::pack_colour(qRgb(0x12, 0x34, 0x56)), frame::packed_colour(0x00563412));
}

QTEST_MAIN(tst_trans_colour)
#include "tst_trans_colour.moc"
