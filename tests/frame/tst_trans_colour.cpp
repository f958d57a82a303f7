#include "frame/trans_colour.h"
#include "platform/toolkit/pictures.h"

#include <QPainter>
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

// The active title's two five-pixel corners copied unscaled to both ends of
// a surface, the way the frame lays them on a window exactly as wide.
QImage surface_with_title_corners(int w, int h)
{
    QImage surface = blank(w, h);
    const QImage title = platform::picture("imgtop1");
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
    // The worked example runs on the generated title art itself.
    void initTestCase() { QVERIFY(!platform::picture("imgtop1").isNull()); }
    void removed_pixels_data();
    void removed_pixels();
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
    // Red lies in the low byte of the packed colour the key is compared as.
    QCOMPARE(frame::pack_colour(qRgb(0x12, 0x34, 0x56)), frame::packed_colour(0x00563412));
}

QTEST_MAIN(tst_trans_colour)
#include "tst_trans_colour.moc"
