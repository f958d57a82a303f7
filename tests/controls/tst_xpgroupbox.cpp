// The group box on real widgets with a stand-in frame picture whose every
// pixel names its own position, so a grabbed box tells exactly which pixel
// of the picture each of its pixels came from: the eight pieces, the top
// line through the caption's middle, the opaque caption, colours, events,
// the host's controls inside it, and the stored properties.

#include "controls/xpcmdbutton.h"
#include "controls/xpgroupbox.h"
#include "platform/fonts.h"
#include "platform/pictures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <memory>
#include <QMap>
#include <map>
#include <set>

using namespace controls;

namespace {

// The frame picture's pixels that the curve of each corner leaves out.
const std::set<std::pair<int, int>> cut_corners{
    {0, 0}, {1, 0}, {0, 1}, {21, 0}, {20, 0}, {21, 1}, {21, 19}, {20, 19}, {21, 18}, {0, 19}, {1, 19}, {0, 18}};

// A pixel of the frame picture's lines and corners is (10 x, 10 y, 255);
// the cut corners are transparent; everything else, which no piece may
// show, is red.
QImage stand_in_frame()
{
    QImage image(22, 20, QImage::Format_ARGB32);
    image.fill(qRgb(255, 0, 0));
    for (int x = 0; x < 22; ++x)
        for (int y = 0; y < 20; ++y) {
            const bool corner = (x < 3 || x > 18) && (y < 3 || y > 16);
            const bool line = x == 0 || x == 21 || y == 0 || y == 19;
            if (cut_corners.count({x, y}))
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
            else if (corner || line)
                image.setPixel(x, y, qRgb(10 * x, 10 * y, 255));
        }
    return image;
}

// The picture pixel a grabbed pixel shows, or (-1, -1) for any other colour.
QPoint source_of(QRgb pixel)
{
    if (qBlue(pixel) != 255 || qRed(pixel) % 10 || qGreen(pixel) % 10)
        return {-1, -1};
    return {qRed(pixel) / 10, qGreen(pixel) / 10};
}

// What one pixel of a W x H box whose top line is at t must show.
struct expected_pixel {
    enum { back, exact, along_x, along_y } kind = back;
    QPoint source; // exact: this pixel; along_x / along_y: the fixed row or column
};

expected_pixel expected_at(int x, int y, int W, int H, int t)
{
    const bool left = x < 3, right = x >= W - 3;
    const bool top = y >= t && y < t + 3, bottom = y >= H - 3;
    if ((left || right) && (top || bottom)) {
        const QPoint source(left ? x : 19 + x - (W - 3), top ? y - t : 17 + y - (H - 3));
        if (cut_corners.count({source.x(), source.y()}))
            return {};
        return {expected_pixel::exact, source};
    }
    if (!left && !right && y == t)
        return {expected_pixel::along_x, QPoint(0, 0)};
    if (!left && !right && y == H - 1)
        return {expected_pixel::along_x, QPoint(0, 19)};
    if (y >= t + 3 && y < H - 3 && x == 0)
        return {expected_pixel::along_y, QPoint(0, 0)};
    if (y >= t + 3 && y < H - 3 && x == W - 1)
        return {expected_pixel::along_y, QPoint(21, 0)};
    return {};
}

// Checks every pixel of a grabbed box outside its caption label against
// the frame it must show; a stretched line must start with the first and
// end with the last pixel of its piece (where the caption leaves them
// visible), and run through the piece in order.
void verify_frame(const QImage& shot, int t, const QRect& label, QRgb back)
{
    const int W = shot.width(), H = shot.height();
    std::map<std::pair<int, int>, QMap<int, int>> lines; // (kind, fixed) -> source by destination
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const QRgb pixel = shot.pixel(x, y);
            if (label.contains(x, y)) {
                QVERIFY2(source_of(pixel).x() < 0, qPrintable(QStringLiteral("frame over the caption at %1, %2").arg(x).arg(y)));
                continue;
            }
            const expected_pixel e = expected_at(x, y, W, H, t);
            const QPoint s = source_of(pixel);
            const QString where = QStringLiteral("pixel %1, %2 of %3 x %4 shows %5")
                                      .arg(x).arg(y).arg(W).arg(H).arg(pixel, 8, 16, QLatin1Char('0'));
            switch (e.kind) {
            case expected_pixel::back:
                QVERIFY2(pixel == back, qPrintable(where));
                break;
            case expected_pixel::exact:
                QVERIFY2(s == e.source, qPrintable(where));
                break;
            case expected_pixel::along_x:
                QVERIFY2(s.y() == e.source.y(), qPrintable(where));
                lines[{0, s.y()}][x] = s.x();
                break;
            case expected_pixel::along_y:
                QVERIFY2(s.x() == e.source.x(), qPrintable(where));
                lines[{1, s.x()}][y] = s.y();
                break;
            }
        }
    for (const auto& [line, sources] : lines) {
        const bool along_x = line.first == 0;
        const int far_end = along_x ? W - 4 : H - 4;
        if (sources.contains(3))
            QCOMPARE(sources[3], 3);
        if (sources.contains(far_end))
            QCOMPARE(sources[far_end], along_x ? 18 : 16);
        const QList<int> in_order = sources.values();
        QVERIFY(std::is_sorted(in_order.begin(), in_order.end()));
    }
}

} // namespace

class tst_xpgroupbox : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    xpgroupbox* m_box = nullptr;
    platform::property_bag m_bag;
    QStringList m_log;

    void record()
    {
        for (const char* name : {"Click", "DblClick", "MouseDown", "MouseMove", "MouseUp"})
            QVERIFY(m_box->events().bind(QLatin1String(name), [this, name](event_args& a) {
                QString entry = QLatin1String(name);
                if (entry.startsWith(QLatin1String("Mouse")))
                    entry += QStringLiteral(" %1 %2 %3 %4").arg(a.button).arg(a.shift).arg(a.x).arg(a.y);
                m_log << entry;
            }));
    }

    QImage shot() const { return m_box->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    static QRgb rgb_of(ole_color c) { return to_qcolor(c).rgb(); }

private slots:
    void initTestCase()
    {
        platform::install_font_substitutes();
        platform::set_picture_override(QStringLiteral("groupbox"), stand_in_frame());
    }

    void init()
    {
        m_log.clear();
        m_bag = {};
        m_bag.ambient_display_name = QStringLiteral("xpgroupbox1");
        m_bag.ambient_font = QFont(QStringLiteral("宋体"), 10);
        m_bag.ambient_font.setPointSizeF(10.5);
        m_window = std::make_unique<QWidget>();
        m_window->setGeometry(0, 0, 820, 520);
        m_box = new xpgroupbox(m_window.get());
        m_box->setGeometry(8, 8, 200, 120);
        m_box->place(&m_bag, placement::new_instance);
        m_window->show();
    }

    void cleanup() { m_window.reset(); }

    // Whatever the height of the caption, the side lines end where the
    // bottom corners begin, and the top corners and line share one row.
    void pieces_meet_data()
    {
        QTest::addColumn<double>("W");
        QTest::addColumn<double>("H");
        QTest::addColumn<int>("half");
        QTest::newRow("200 x 120, caption 21 high") << 200.0 << 120.0 << 10;
        QTest::newRow("main window, 9 points") << 769.0 << 489.0 << 8;
        QTest::newRow("no caption height") << 22.0 << 20.0 << 0;
    }

    void pieces_meet()
    {
        QFETCH(double, W);
        QFETCH(double, H);
        QFETCH(int, half);
        const auto p = groupbox_pieces(W, H, half);
        for (int side : {5, 7}) {
            QCOMPARE(p[side].destination.top(), half + 3.0);
            QCOMPARE(p[side].destination.bottom(), H - 3);
        }
        for (int top : {0, 1, 4})
            QCOMPARE(p[top].destination.top(), double(half));
        QCOMPARE(p[4].destination.right(), p[1].destination.left());
        QCOMPARE(p[6].destination.right(), p[2].destination.left());
    }

    // Every pixel of the frame at two sizes (and a tiny one), with the top
    // line through the middle of the caption label.
    void frame_pixels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<uint>("back");
        QTest::addColumn<double>("points");
        QTest::newRow("new, 200 x 120") << QSize(200, 120) << "xpgroupbox1" << uint(rgb(255, 255, 0)) << 10.5;
        QTest::newRow("main window: no caption, grey, 769 x 489")
            << QSize(769, 489) << "" << uint(rgb(224, 224, 224)) << 9.0;
        QTest::newRow("long caption over a narrow box, 60 x 40")
            << QSize(60, 40) << "一段很长的分组框标题" << uint(rgb(200, 220, 250)) << 12.0;
    }

    void frame_pixels()
    {
        QFETCH(QSize, size);
        QFETCH(QString, caption);
        QFETCH(uint, back);
        QFETCH(double, points);
        QFont font(QStringLiteral("宋体"));
        font.setPointSizeF(points);
        m_box->set_Font(font);
        m_box->set_BackColor(back);
        m_box->set_Caption(caption);
        m_box->resize(size);
        const caption_label* lbl = m_box->lbl;
        QCOMPARE(lbl->pos(), QPoint(15, 0));
        QVERIFY(lbl->height() > 10);
        const int t = lbl->height() / 2;
        verify_frame(shot(), t, lbl->geometry(), rgb_of(back));
    }

    // A box stored as on the main window loads grey and without a caption;
    // its top line lies at half the label's height, and the frame is whole
    // along it.
    void loads_as_on_the_main_window()
    {
        platform::property_bag bag;
        bag.ambient_display_name = QStringLiteral("xpgroupbox1");
        bag.ambient_font = m_bag.ambient_font;
        bag.write(QStringLiteral("caption"), QString(""), QStringLiteral("xpgroupbox1"));
        bag.write(QStringLiteral("backcolor"), int(rgb(224, 224, 224)), 0);
        bag.write(QStringLiteral("font"), QFont(QStringLiteral("宋体"), 9), QFont());
        xpgroupbox box(m_window.get());
        box.setGeometry(8, 8, 769, 489);
        box.place(&bag, placement::load);
        box.show();
        QCOMPARE(box.Caption(), QString());
        QCOMPARE(box.BackColor(), rgb(224, 224, 224));
        QCOMPARE(box.lbl->width(), 0);
        const QImage image = box.grab().toImage();
        const int t = box.lbl->height() / 2;
        QVERIFY(t > 0);
        for (int x = 3; x < 769 - 3; ++x)
            QCOMPARE(source_of(image.pixel(x, t)).y(), 0);
        QCOMPARE(image.pixel(100, 100), qRgb(224, 224, 224));
        QCOMPARE(image.pixel(100, t - 1), qRgb(224, 224, 224));
    }

    // A new box: yellow, its instance name as a blue caption, and the host
    // told of each property in the new-instance order.
    void new_instance()
    {
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        xpgroupbox box(m_window.get());
        box.setGeometry(10, 200, 150, 80);
        box.place(&m_bag, placement::new_instance);
        box.show();
        QCOMPARE(notified, (QStringList{"Caption", "Enabled", "Font", "BackColor"}));
        QCOMPARE(box.Caption(), QStringLiteral("xpgroupbox1"));
        QCOMPARE(box.BackColor(), ole_color(65535));
        QCOMPARE(box.Font(), m_bag.ambient_font);
        QCOMPARE(box.lbl->text_colour(), QColor(0, 70, 213));
        const QImage image = box.grab().toImage();
        QCOMPARE(image.pixel(75, 50), qRgb(255, 255, 0));
        // The caption's own background, left of its first letter's ink.
        QCOMPARE(image.pixel(15, 0), qRgb(255, 255, 0));
        bool blue_ink = false;
        for (int x = box.lbl->x(); x <= box.lbl->geometry().right(); ++x)
            for (int y = 0; y < box.lbl->height(); ++y)
                blue_ink |= qBlue(image.pixel(x, y)) > qRed(image.pixel(x, y)) + 100;
        QVERIFY(blue_ink);
    }

    // Each setter and what it changes on screen.
    void setters_data()
    {
        QTest::addColumn<QString>("setter");
        QTest::newRow("BackColor repaints box and caption") << "BackColor";
        QTest::newRow("Enabled false greys the caption only") << "Enabled";
        QTest::newRow("a longer Caption covers more of the line") << "Caption";
    }

    void setters()
    {
        QFETCH(QString, setter);
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        const QImage before = shot();
        const QRect label_before = m_box->lbl->geometry();
        const int t = m_box->lbl->height() / 2;
        if (setter == QLatin1String("BackColor")) {
            m_box->set_BackColor(rgb(10, 120, 30));
            const QImage after = shot();
            QCOMPARE(after.pixel(100, 60), qRgb(10, 120, 30));
            QCOMPARE(after.pixel(15, 0), qRgb(10, 120, 30));
            verify_frame(after, t, m_box->lbl->geometry(), qRgb(10, 120, 30));
        } else if (setter == QLatin1String("Enabled")) {
            m_box->set_Enabled(false);
            QCOMPARE(m_box->lbl->text_colour(), QColor(161, 161, 146));
            const QImage after = shot();
            for (int y = 0; y < after.height(); ++y)
                for (int x = 0; x < after.width(); ++x)
                    if (!label_before.contains(x, y))
                        QCOMPARE(after.pixel(x, y), before.pixel(x, y));
            m_box->set_Enabled(true);
            QCOMPARE(m_box->lbl->text_colour(), QColor(0, 70, 213));
            notified.removeLast();
        } else {
            m_box->set_Caption(QStringLiteral("一段更长的标题文字"));
            QVERIFY(m_box->lbl->width() > label_before.width());
            const QImage after = shot();
            const int right = m_box->lbl->geometry().right();
            QVERIFY(source_of(before.pixel(right, t)).y() == 0); // was line, now caption
            QVERIFY(source_of(after.pixel(right, t)).x() < 0);
            QCOMPARE(source_of(after.pixel(right + 1, t)).y(), 0);
            verify_frame(after, t, m_box->lbl->geometry(), rgb_of(m_box->BackColor()));
        }
        QCOMPARE(notified, QStringList{setter});
    }

    // Click and DblClick come from the caption alone; presses, moves and
    // releases come from anywhere, the caption's relative to itself.
    void events_data()
    {
        QTest::addColumn<bool>("on_caption");
        QTest::addColumn<bool>("double_click");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("click on the caption") << true << false
                                              << QStringList{"MouseDown 1 0 4 5", "MouseUp 1 0 4 5", "Click"};
        QTest::newRow("click away from the caption") << false << false
                                                     << QStringList{"MouseDown 1 0 60 50", "MouseUp 1 0 60 50"};
        QTest::newRow("double click on the caption")
            << true << true << QStringList{"MouseDown 1 0 4 5", "MouseUp 1 0 4 5", "Click", "DblClick", "MouseUp 1 0 4 5"};
        QTest::newRow("double click away from the caption")
            << false << true << QStringList{"MouseDown 1 0 60 50", "MouseUp 1 0 60 50", "MouseUp 1 0 60 50"};
    }

    void events()
    {
        QFETCH(bool, on_caption);
        QFETCH(bool, double_click);
        QFETCH(QStringList, log);
        record();
        QWidget* target = on_caption ? static_cast<QWidget*>(m_box->lbl) : m_box;
        const QPoint at = on_caption ? QPoint(4, 5) : QPoint(60, 50);
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
        if (double_click) {
            // The platform reports the second press of a double click as the
            // double click itself, then its release.
            QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &dbl);
            QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        }
        QCOMPARE(m_log, log);
    }

    void moves_are_raised_as_reported()
    {
        record();
        QMouseEvent on_box(QEvent::MouseMove, QPointF(30, 40), QPointF(m_box->mapToGlobal(QPoint(30, 40))),
                           Qt::NoButton, Qt::RightButton, Qt::ShiftModifier);
        QApplication::sendEvent(m_box, &on_box);
        QMouseEvent on_caption(QEvent::MouseMove, QPointF(3, 2), QPointF(m_box->lbl->mapToGlobal(QPoint(3, 2))),
                               Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_box->lbl, &on_caption);
        QCOMPARE(m_log, (QStringList{"MouseMove 2 1 30 40", "MouseMove 0 0 3 2"}));
    }

    // The host's controls sit inside the box, above its frame, and take
    // their own input: a click on one raises nothing from the box.
    void holds_the_hosts_controls()
    {
        record();
        m_box->resize(200, 120);
        auto* inside = new xpcmdbutton(m_box);
        inside->setGeometry(0, 40, 60, 23); // over the left line
        inside->place(&m_bag, placement::new_instance);
        inside->show();
        int clicks = 0;
        inside->events().bind(u"Click", [&] { ++clicks; });
        const QImage image = shot();
        QVERIFY(source_of(image.pixel(0, 50)).x() < 0);
        QCOMPARE(source_of(image.pixel(0, 70)).x(), 0); // the line again below it
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, QPoint(8 + 30, 8 + 50));
        QCOMPARE(clicks, 1);
        QCOMPARE(m_log, QStringList{});
        m_box->move(100, 100);
        QCOMPARE(inside->mapTo(m_window.get(), QPoint(0, 0)), QPoint(100, 140));
    }

    // Loading sets Enabled, Font, BackColor, Caption in that order; saving
    // keeps only what differs from the defaults, and loads back the same.
    void stored_properties_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("own_font");
        QTest::addColumn<uint>("back");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("defaults") << "xpgroupbox1" << true << false << 65535u << QStringList{};
        QTest::newRow("main window") << "" << true << true << uint(rgb(224, 224, 224))
                                     << QStringList{"caption", "font", "backcolor"};
        QTest::newRow("disabled, system colour") << "文件改名" << false << false << uint(button_face)
                                                 << QStringList{"caption", "enabled", "backcolor"};
    }

    void stored_properties()
    {
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(bool, own_font);
        QFETCH(uint, back);
        QFETCH(QStringList, stored);
        const QFont font(QStringLiteral("宋体"), 9);
        m_box->set_Caption(caption);
        m_box->set_Enabled(enabled);
        if (own_font)
            m_box->set_Font(font);
        m_box->set_BackColor(back);
        platform::property_bag saved;
        saved.ambient_display_name = m_bag.ambient_display_name;
        saved.ambient_font = m_bag.ambient_font;
        m_box->attach(&saved);
        m_box->save();
        QCOMPARE(saved.size(), int(stored.size()));
        for (const QString& key : stored)
            QVERIFY(saved.contains(key));

        QStringList notified;
        saved.on_property_changed = [&](const QString& p) { notified << p; };
        xpgroupbox copy(m_window.get());
        copy.setGeometry(10, 200, 200, 120);
        copy.place(&saved, placement::load);
        QCOMPARE(notified, (QStringList{"Enabled", "Font", "BackColor", "Caption"}));
        QCOMPARE(copy.Caption(), caption);
        QCOMPARE(copy.Enabled(), enabled);
        QCOMPARE(copy.Font(), own_font ? font : m_bag.ambient_font);
        QCOMPARE(copy.BackColor(), back);
        QCOMPARE(copy.lbl->text_colour(), enabled ? QColor(0, 70, 213) : QColor(161, 161, 146));
        QCOMPARE(copy.grab().toImage().pixel(100, 60), rgb_of(back));
    }

    // With the picture that ships: a light line in RGB(208, 208, 191) on all
    // four sides, corners cut on a curve, the inside in the back colour.
    void real_art()
    {
        platform::set_picture_override(QStringLiteral("groupbox"), QImage());
        xpgroupbox box(m_window.get());
        box.setGeometry(10, 200, 300, 150);
        box.place(&m_bag, placement::new_instance);
        platform::set_picture_override(QStringLiteral("groupbox"), stand_in_frame());
        box.set_BackColor(rgb(224, 224, 224));
        box.set_Caption(QString());
        const QImage image = box.grab().toImage();
        const int t = box.lbl->height() / 2;
        const QRgb line = qRgb(208, 208, 191), grey = qRgb(224, 224, 224);
        for (const QPoint p : {QPoint(3, t), QPoint(150, t), QPoint(296, t), QPoint(0, t + 3), QPoint(0, 146),
                               QPoint(299, t + 3), QPoint(299, 100), QPoint(3, 149), QPoint(150, 149)})
            QCOMPARE(image.pixel(p), line);
        for (const QPoint p : {QPoint(0, t), QPoint(299, t), QPoint(299, 149), QPoint(0, 149), QPoint(150, t - 1),
                               QPoint(150, t + 1), QPoint(150, 100), QPoint(1, 100), QPoint(298, 100)})
            QCOMPARE(image.pixel(p), grey);
    }
};

QTEST_MAIN(tst_xpgroupbox)
#include "tst_xpgroupbox.moc"
