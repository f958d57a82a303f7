// The group box on real widgets with a stand-in frame picture whose every
// pixel names its own position, so that each pixel of a grabbed box tells
// which pixel of the picture it came from: the eight pieces, the top line
// through the caption's middle, the opaque caption, colours, events, the
// host's controls inside, the stored properties; then the real art.

#include "controls/xpcmdbutton.h"
#include "controls/xpgroupbox.h"
#include "platform/toolkit/fonts.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/property_store.h"
#include "stand_in_pictures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <memory>

using namespace controls;

namespace {

// The pictures the controls are made with: the tests' own, which tell the
// cells apart; cleanup() gives the embedded ones back.
fixture::stand_in_pictures pictures;

// The corners' outermost pixels, which the curve leaves out.
bool cut(int x, int y)
{
    const int dx = std::min(x, 21 - x), dy = std::min(y, 19 - y);
    return dx + dy <= 1;
}

// Lines and corners are (10 x, 10 y, 255), the cut pixels transparent;
// the rest, which no piece may show, red.
QImage stand_in_frame()
{
    QImage image(22, 20, QImage::Format_ARGB32);
    for (int x = 0; x < 22; ++x)
        for (int y = 0; y < 20; ++y) {
            const bool corner = (x < 3 || x > 18) && (y < 3 || y > 16);
            const bool line = x == 0 || x == 21 || y == 0 || y == 19;
            image.setPixel(x, y, cut(x, y) ? qRgba(0, 0, 0, 0) : corner || line ? qRgb(10 * x, 10 * y, 255) : qRgb(255, 0, 0));
        }
    return image;
}

QPoint source_of(QRgb pixel)
{
    if (qBlue(pixel) != 255 || qRed(pixel) % 10 || qGreen(pixel) % 10)
        return {-1, -1};
    return {qRed(pixel) / 10, qGreen(pixel) / 10};
}

// The picture pixels that pixel (x, y) of a W x H box with its top line at
// t may come from: one pixel for a corner and for the ends of each line,
// the line's run of pixels between; an empty rectangle for the back colour.
QRect expected_source(int x, int y, int W, int H, int t)
{
    const bool left = x < 3, right = x >= W - 3, top = y >= t && y < t + 3, bottom = y >= H - 3;
    if ((left || right) && (top || bottom)) {
        const QPoint p(left ? x : x - (W - 3) + 19, top ? y - t : y - (H - 3) + 17);
        return cut(p.x(), p.y()) ? QRect() : QRect(p, p);
    }
    auto run = [](int at, int first, int last, int lo, int hi) { return at == first ? lo : at == last ? hi : -1; };
    if (!left && !right && (y == t || y == H - 1)) {
        const int sy = y == t ? 0 : 19, end = run(x, 3, W - 4, 3, 18);
        return end < 0 ? QRect(QPoint(3, sy), QPoint(18, sy)) : QRect(end, sy, 1, 1);
    }
    if ((x == 0 || x == W - 1) && y >= t + 3 && y < H - 3) {
        const int sx = x == 0 ? 0 : 21, end = run(y, t + 3, H - 4, 3, 16);
        return end < 0 ? QRect(QPoint(sx, 3), QPoint(sx, 16)) : QRect(sx, end, 1, 1);
    }
    return {};
}

// Every pixel of a grabbed box against the frame it must show; under the
// caption label no frame pixel may show.
void verify_frame(const QImage& shot, int t, const QRect& label, QRgb back)
{
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            const QRect expected = expected_source(x, y, shot.width(), shot.height(), t);
            const bool ok = label.contains(x, y) ? source_of(pixel).x() < 0
                            : expected.isEmpty()  ? pixel == back
                                                  : expected.contains(source_of(pixel));
            QVERIFY2(ok, qPrintable(QStringLiteral("pixel %1, %2 of %3 x %4 shows %5")
                                        .arg(x).arg(y).arg(shot.width()).arg(shot.height()).arg(pixel, 8, 16)));
        }
}

QImage shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

} // namespace

class tst_xpgroupbox : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    xpgroupbox* m_box = nullptr;
    platform::property_bag m_bag;

    // A box placed from the bag's stored values.
    xpgroupbox* load(platform::property_bag& bag, QSize size)
    {
        auto* box = new xpgroupbox(m_window.get(), pictures);
        box->setGeometry(QRect(QPoint(8, 8), size));
        box->place(&bag, placement::load);
        box->show();
        return box;
    }

private slots:
    void initTestCase()
    {
        platform::install_font_substitutes();
    }

    void init()
    {
        pictures.set(QStringLiteral("groupbox"), stand_in_frame());
        m_bag = {};
        m_bag.ambient_display_name = QStringLiteral("xpgroupbox1");
        m_bag.ambient_font = QFont(QStringLiteral("宋体"));
        m_bag.ambient_font.setPointSizeF(10.5);
        m_window = std::make_unique<QWidget>();
        m_window->setGeometry(0, 0, 820, 520);
        m_box = new xpgroupbox(m_window.get(), pictures);
        m_box->setGeometry(8, 8, 200, 120);
        m_box->place(&m_bag, placement::new_instance);
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        pictures.clear();
    }

    // Every pixel of boxes loaded from stored values, with the caption at
    // left 15 and the top line through its middle. The main window's box
    // has no caption: its label, one empty line high, blanks nothing.
    void frame_pixels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<uint>("back");
        QTest::addColumn<double>("points");
        QTest::newRow("200 x 120, yellow") << QSize(200, 120) << "分组框" << 65535u << 10.5;
        QTest::newRow("main window: 769 x 489, no caption, grey")
            << QSize(769, 489) << "" << uint(rgb(224, 224, 224)) << 9.0;
        QTest::newRow("60 x 40 under a longer caption") << QSize(60, 40) << "一段很长的标题" << uint(rgb(200, 220, 250)) << 12.0;
    }

    void frame_pixels()
    {
        QFETCH(QSize, size);
        QFETCH(QString, caption);
        QFETCH(uint, back);
        QFETCH(double, points);
        QFont font(QStringLiteral("宋体"));
        font.setPointSizeF(points);
        m_bag.write(QStringLiteral("caption"), caption, m_bag.ambient_display_name);
        m_bag.write(QStringLiteral("backcolor"), back, 65535u);
        m_bag.write(QStringLiteral("font"), font, QFont());
        xpgroupbox* box = load(m_bag, size);
        QCOMPARE(box->Caption(), caption);
        QCOMPARE(box->lbl()->pos(), QPoint(15, 0));
        // At least one line of the smallest face here, 12 px at 9 points.
        QVERIFY(box->lbl()->height() >= 12);
        QCOMPARE(box->lbl()->width() == 0, caption.isEmpty());
        verify_frame(shot(box), box->lbl()->height() / 2, box->lbl()->geometry(), to_qcolor(back).rgb());
    }

    // A new box: yellow, its instance name as a blue caption, the host told
    // of each property in the new-instance order.
    void new_instance()
    {
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        xpgroupbox box(m_window.get(), pictures);
        box.setGeometry(10, 200, 150, 80);
        box.place(&m_bag, placement::new_instance);
        QCOMPARE(notified, (QStringList{"Caption", "Enabled", "Font", "BackColor"}));
        QCOMPARE(box.Caption(), QStringLiteral("xpgroupbox1"));
        QCOMPARE(box.BackColor(), ole_color(65535));
        QCOMPARE(box.Font(), m_bag.ambient_font);
        QCOMPARE(box.lbl()->text_colour(), QColor(0, 70, 213));
        const QImage image = shot(&box);
        QCOMPARE(image.pixel(60, 50), qRgb(255, 255, 0));
        QCOMPARE(image.pixel(15, 0), qRgb(255, 255, 0)); // the caption's own background
    }

    // Each setter, what it changes on screen, and what it tells the host.
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
        const QImage before = shot(m_box);
        const QRect label_before = m_box->lbl()->geometry();
        const int t = m_box->lbl()->height() / 2;
        QRgb back = qRgb(255, 255, 0);
        if (setter == QLatin1String("BackColor")) {
            m_box->set_BackColor(rgb(10, 120, 30));
            back = qRgb(10, 120, 30);
            QCOMPARE(shot(m_box).pixel(15, 0), back);
        } else if (setter == QLatin1String("Enabled")) {
            m_box->set_Enabled(false);
            QCOMPARE(m_box->lbl()->text_colour(), QColor(161, 161, 146));
            const QImage after = shot(m_box);
            for (int y = 0; y < after.height(); ++y)
                for (int x = 0; x < after.width(); ++x)
                    if (!label_before.contains(x, y) && after.pixel(x, y) != before.pixel(x, y))
                        QFAIL("the frame changed");
        } else {
            m_box->set_Caption(QStringLiteral("一段更长的标题文字"));
            QVERIFY(m_box->lbl()->width() > label_before.width());
            const int right = m_box->lbl()->geometry().right();
            QCOMPARE(source_of(before.pixel(right, t)).y(), 0);
            QCOMPARE(source_of(shot(m_box).pixel(right + 1, t)).y(), 0);
        }
        verify_frame(shot(m_box), t, m_box->lbl()->geometry(), back);
        QCOMPARE(notified, QStringList{setter});
    }

    // Click and DblClick come from the caption alone; presses, moves and
    // releases come from anywhere, the caption's relative to itself.
    void events_data()
    {
        QTest::addColumn<bool>("on_caption");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("click on the caption") << true << "click" << QStringList{"MouseDown 1 0 4 5", "MouseUp 1 0 4 5", "Click"};
        QTest::newRow("click away from it") << false << "click" << QStringList{"MouseDown 1 0 60 50", "MouseUp 1 0 60 50"};
        QTest::newRow("double click on the caption")
            << true << "double" << QStringList{"MouseDown 1 0 4 5", "MouseUp 1 0 4 5", "Click", "DblClick", "MouseUp 1 0 4 5"};
        QTest::newRow("double click away from it")
            << false << "double" << QStringList{"MouseDown 1 0 60 50", "MouseUp 1 0 60 50", "MouseUp 1 0 60 50"};
        QTest::newRow("move on the caption") << true << "move" << QStringList{"MouseMove 2 1 4 5"};
        QTest::newRow("move away from it") << false << "move" << QStringList{"MouseMove 2 1 60 50"};
    }

    void events()
    {
        QFETCH(bool, on_caption);
        QFETCH(QString, action);
        QFETCH(QStringList, log);
        QStringList seen;
        for (const char* name : {"Click", "DblClick", "MouseDown", "MouseMove", "MouseUp"})
            QVERIFY(m_box->events().bind(QLatin1String(name), [&seen, name](event_args& a) {
                seen << QString::fromLatin1(name)
                            + (name[0] == 'M' ? QStringLiteral(" %1 %2 %3 %4").arg(a.button).arg(a.shift).arg(a.x).arg(a.y)
                                              : QString());
            }));
        QWidget* target = on_caption ? static_cast<QWidget*>(m_box->lbl()) : m_box;
        const QPoint at = on_caption ? QPoint(4, 5) : QPoint(60, 50);
        auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift) {
            QMouseEvent me(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons, shift);
            QApplication::sendEvent(target, &me);
        };
        if (action == QLatin1String("move")) {
            send(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, Qt::ShiftModifier);
        } else {
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
            if (action == QLatin1String("double")) {
                // The second press of a double click comes as the double click itself.
                send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, {});
                QTest::mouseRelease(target, Qt::LeftButton, {}, at);
            }
        }
        QCOMPARE(seen, log);
    }

    // The host's controls sit inside the box, above its frame, move with it
    // and take their own input: a click on one raises nothing from the box.
    void holds_the_hosts_controls()
    {
        int box_events = 0, clicks = 0;
        for (const char* name : {"Click", "MouseDown", "MouseUp"})
            m_box->events().bind(QLatin1String(name), [&] { ++box_events; });
        auto* inside = new xpcmdbutton(m_box, pictures);
        inside->setGeometry(0, 40, 60, 23); // over the left line
        inside->place(&m_bag, placement::new_instance);
        inside->show();
        inside->events().bind(u"Click", [&] { ++clicks; });
        const QImage image = shot(m_box);
        QCOMPARE(source_of(image.pixel(0, 50)).x(), -1);
        QCOMPARE(source_of(image.pixel(0, 70)).x(), 0);
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, QPoint(8 + 30, 8 + 50));
        QCOMPARE(clicks, 1);
        QCOMPARE(box_events, 0);
        m_box->move(100, 100);
        QCOMPARE(inside->mapTo(m_window.get(), QPoint(0, 0)), QPoint(100, 140));
    }

    // Saving keeps only what differs from the defaults; loading sets
    // Enabled, Font, BackColor, Caption in that order and gives all back.
    void stored_properties_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("own_font");
        QTest::addColumn<uint>("back");
        QTest::addColumn<int>("stored");
        QTest::newRow("defaults") << "xpgroupbox1" << true << false << 65535u << 0;
        QTest::newRow("main window") << "" << true << true << uint(rgb(224, 224, 224)) << 3;
        QTest::newRow("disabled, system colour") << "文件改名" << false << false << uint(button_face) << 3;
    }

    void stored_properties()
    {
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(bool, own_font);
        QFETCH(uint, back);
        QFETCH(int, stored);
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
        QCOMPARE(saved.size(), stored);

        QStringList notified;
        saved.on_property_changed = [&](const QString& p) { notified << p; };
        xpgroupbox* copy = load(saved, QSize(200, 120));
        QCOMPARE(notified, (QStringList{"Enabled", "Font", "BackColor", "Caption"}));
        QCOMPARE(copy->Caption(), caption);
        QCOMPARE(copy->Enabled(), enabled);
        QCOMPARE(copy->Font(), own_font ? font : m_bag.ambient_font);
        QCOMPARE(copy->BackColor(), back);
        QCOMPARE(copy->lbl()->text_colour(), enabled ? QColor(0, 70, 213) : QColor(161, 161, 146));
        QCOMPARE(shot(copy).pixel(100, 60), to_qcolor(back).rgb());
    }

    // With the picture that ships: a line in RGB(208, 208, 191) on all four
    // sides, corners cut on a curve, the inside in the back colour.
    void real_art()
    {
        pictures.clear(QStringLiteral("groupbox"));
        xpgroupbox box(m_window.get(), pictures);
        box.setGeometry(10, 200, 300, 150);
        box.place(&m_bag, placement::new_instance);
        pictures.set(QStringLiteral("groupbox"), stand_in_frame());
        box.set_BackColor(rgb(224, 224, 224));
        box.set_Caption(QString());
        const QImage image = shot(&box);
        const int t = box.lbl()->height() / 2;
        for (const QPoint p : {QPoint(3, t), QPoint(150, t), QPoint(296, t), QPoint(0, t + 3), QPoint(0, 146),
                               QPoint(299, t + 3), QPoint(299, 100), QPoint(3, 149), QPoint(150, 149)})
            QCOMPARE(image.pixel(p), qRgb(208, 208, 191));
        for (const QPoint p : {QPoint(0, t), QPoint(299, t), QPoint(299, 149), QPoint(0, 149), QPoint(150, t - 1),
                               QPoint(150, t + 1), QPoint(150, 100), QPoint(1, 100), QPoint(298, 100)})
            QCOMPARE(image.pixel(p), qRgb(224, 224, 224));
    }
};

QTEST_MAIN(tst_xpgroupbox)
#include "tst_xpgroupbox.moc"
