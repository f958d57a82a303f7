#include "frame/xp_canvas.h"
#include "platform/toolkit/fonts.h"
#include "platform/toolkit/message_loop.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/property_store.h"
#include "platform/toolkit/units.h"
#include "placed_pointer.h"
#include "stand_in_art.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

using frame::xp_canvas;

namespace {

// The pictures the controls are made with: the tests' own, which tell the
// cells apart; cleanup() gives the embedded ones back.
fixture::stand_in_pictures pictures;
// Where the test places the pointer the controls follow; cleanup() leaves it
// to the system again.
fixture::placed_pointer placed;

// A borderless window dressed in the frame, which fills it, as the
// program's own windows are built. The activation timers are driven by hand.
struct framed_host {
    QWidget host;
    xp_canvas* canvas;
    int resizes = 0;

    explicit framed_host(QSize size = QSize(400, 300))
    {
        host.setWindowFlag(Qt::FramelessWindowHint);
        canvas = new xp_canvas(&host, pictures, placed);
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(canvas);
        host.resize(size);
        for (platform::timer* t : {&canvas->Timer1(), &canvas->Timer2()}) {
            t->set_interval(0);
            t->set_enabled(t->enabled());
        }
        canvas->events().bind("Resize", [this] { ++resizes; });
    }
    bool show()
    {
        host.show();
        return QTest::qWaitForWindowExposed(&host);
    }
    bool maximise()
    {
        host.showMaximized();
        return QTest::qWaitFor([this] {
            return (host.windowState() & Qt::WindowMaximized) &&
                   host.geometry() == host.screen()->availableGeometry() && canvas->size() == host.size();
        });
    }
};

QColor pixel(QWidget* widget, int x, int y)
{
    return widget->grab().toImage().pixelColor(x, y);
}

void send_mouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

using shapes = QList<Qt::CursorShape>;
const shapes arrows(8, Qt::ArrowCursor);
// By edge code: left, right, top, bottom, bottom-right, bottom-left,
// top-right, top-left.
const shapes resize_pointers{Qt::SizeHorCursor,  Qt::SizeHorCursor,   Qt::SizeVerCursor,   Qt::SizeVerCursor,
                             Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor};

} // namespace

class tst_xp_canvas : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { frame_test::install_stand_in_art(pictures); }
    void cleanup()
    {
        pictures.clear();
        placed.at.reset();
    }

    void strips_and_grips_data();
    void strips_and_grips();
    void title_pieces_data();
    void title_pieces();
    void minimised_host_keeps_its_title();
    void a_failing_step_is_skipped();
    void pointers_data();
    void pointers();
    void body_events_reach_the_host_data();
    void body_events_reach_the_host();

    void activation_data();
    void activation();
    void no_active_window_means_inactive();
    void property_setters_data();
    void property_setters();
    void persistence_data();
    void persistence();

    void resize_in_twips();
    void border_drags_data();
    void border_drags();
    void caption_drag_data();
    void caption_drag();
    void double_click_data();
    void double_click();
    void make_trans_data();
    void make_trans();
};

void tst_xp_canvas::initTestCase()
{
    platform::install_font_substitutes();
}

// ---- Layout and painting ----------------------------------------------

void tst_xp_canvas::strips_and_grips_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("400 x 300") << QSize(400, 300);
    QTest::newRow("237 x 101") << QSize(237, 101);
}

void tst_xp_canvas::strips_and_grips()
{
    QFETCH(QSize, size);
    framed_host f(size);
    f.host.setProperty(frame::host_unit_property, int(controls::scale_unit::twips));
    QVERIFY(f.show());
    const int w = size.width(), h = size.height();
    xp_canvas* c = f.canvas;
    QCOMPARE(f.host.property(frame::host_unit_property).toInt(), int(controls::scale_unit::pixels));
    QCOMPARE(c->unit(), controls::scale_unit::pixels);

    QCOMPARE(c->pictop()->geometry(), QRect(0, 0, w, 29));
    QCOMPARE(c->picbottom()->geometry(), QRect(0, h - 5, w, 5));
    QCOMPARE(c->picleft()->geometry(), QRect(0, 29, 5, h - 34));
    QCOMPARE(c->picright()->geometry(), QRect(w - 5, 29, 5, h - 34));
    const QList<QRect> grips{QRect(0, 0, 9, 9), QRect(9, 0, w - 18, 9), QRect(w - 9, 0, 9, 9), QRect(0, 0, 9, 9),
                             QRect(w - 9, -4, 9, 9)};
    const QList<QWidget*> parents{c->pictop(), c->pictop(), c->pictop(), c->picbottom(), c->picbottom()};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(c->imgresize(frame::grip_codes[i])->geometry(), grips[i]);
        QCOMPARE(c->imgresize(frame::grip_codes[i])->parentWidget(), parents[i]);
    }
    QCOMPARE(c->lblcaption()->pos(), QPoint(26, 6));
    QCOMPARE(c->lblshadow()->pos(), QPoint(28, 8));
    QCOMPARE(c->imgicon()->geometry(), QRect(6, 8, 16, 16));

    // Only the lower five rows of the bottom-right grip can be hit.
    const QPoint corner = c->picbottom()->mapTo(c, QPoint(w - 2, 0));
    QCOMPARE(c->childAt(corner), c->imgresize(4));
    QCOMPARE(c->childAt(corner - QPoint(0, 1)), c->picright());

    const QImage shot = c->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 29), QColor(236, 233, 216));
    QCOMPARE(shot.pixelColor(w - 6, h - 6), QColor(236, 233, 216));
    QCOMPARE(shot.pixelColor(4, 29), frame_test::active_left);
    QCOMPARE(shot.pixelColor(w - 5, h - 6), frame_test::active_right);
    QCOMPARE(shot.pixelColor(w / 2, h - 1), frame_test::active_bottom);
}

void tst_xp_canvas::title_pieces_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("as wide as the picture") << 66 << false;
    QTest::newRow("wider") << 250 << false;
    QTest::newRow("much wider") << 703 << false;
    QTest::newRow("maximised title") << 100 << true;
}

void tst_xp_canvas::title_pieces()
{
    QFETCH(int, width);
    QFETCH(bool, maximised);
    framed_host f(QSize(width, 120));
    QVERIFY(f.show());
    if (maximised) {
        QVERIFY(f.maximise());
        width = f.canvas->width();
    }
    const QImage source =
        maximised ? pictures.picture("imgtopmax1") : frame_test::title(frame_test::active_green, true);
    const QImage title = f.canvas->pictop()->grab().toImage();
    QCOMPARE(title.width(), width);

    // Rows clear of the caption and the icon: corners unscaled, the middle
    // stretched, column by column in order, from column 5 to column 60.
    for (int y : {0, 1, 2, 3, 4, 5, 25, 26, 27, 28}) {
        for (int x = 0; x < 5; ++x) {
            QCOMPARE(title.pixelColor(x, y), source.pixelColor(x, y));
            QCOMPARE(title.pixelColor(width - 5 + x, y), source.pixelColor(61 + x, y));
        }
        int previous = 5;
        for (int x = 5; x < width - 5; ++x) {
            const int column = title.pixelColor(x, y).red() / 3;
            QCOMPARE(title.pixelColor(x, y), source.pixelColor(column, y));
            QVERIFY(column >= previous && column <= 60);
            previous = column;
        }
        QCOMPARE(title.pixelColor(5, y), source.pixelColor(5, y));
        QCOMPARE(title.pixelColor(width - 6, y), source.pixelColor(60, y));
    }
    if (width == 66)
        QCOMPARE(title.copy(0, 0, 66, 6), source.copy(0, 0, 66, 6).convertToFormat(title.format()));
}

void tst_xp_canvas::minimised_host_keeps_its_title()
{
    framed_host f;
    QVERIFY(f.show());
    f.host.setWindowState(Qt::WindowMinimized);
    f.canvas->load_inactive_images();
    f.canvas->layout_frame();
    QCOMPARE(pixel(f.canvas->pictop(), 30, 2).green(), frame_test::active_green);
    QCOMPARE(pixel(f.canvas->picleft(), 2, 10), frame_test::inactive_left);
    QCOMPARE(pixel(f.canvas->picright(), 2, 10), frame_test::inactive_right);
    QCOMPARE(pixel(f.canvas->picbottom(), 100, 2), frame_test::inactive_bottom);
}

void tst_xp_canvas::a_failing_step_is_skipped()
{
    // Without its pictures, and standing alone without a host, the frame
    // still docks its strips, places its labels and grips, and reports.
    for (const char* name : {"imgtop1", "imgtopmax1", "imgleft1", "imgright1", "imgbottom1"})
        pictures.set(name, QImage());
    xp_canvas alone(nullptr, pictures, placed);
    frame_test::install_stand_in_art(pictures);
    int resizes = 0;
    alone.events().bind("Resize", [&] { ++resizes; });
    alone.resize(200, 100);
    alone.layout_frame();
    QCOMPARE(resizes, 1);
    QCOMPARE(alone.picbottom()->geometry(), QRect(0, 95, 200, 5));
    QCOMPARE(alone.imgresize(4)->geometry(), QRect(191, -4, 9, 9));
    QCOMPARE(alone.lblcaption()->pos(), QPoint(26, 6));
    QCOMPARE(alone.picleft()->cursor().shape(), Qt::SizeHorCursor);
    QCOMPARE(pixel(alone.pictop(), 40, 2), QColor(0, 0, 192));
    QCOMPARE(pixel(alone.picleft(), 2, 10), QColor(0, 0, 192));
}

void tst_xp_canvas::pointers_data()
{
    using states = QList<Qt::WindowState>;
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<states>("states");
    QTest::addColumn<shapes>("expected");
    QTest::newRow("normal") << false << states{Qt::WindowNoState} << resize_pointers;
    QTest::newRow("maximised") << false << states{Qt::WindowMaximized} << arrows;
    QTest::newRow("minimised after normal") << false << states{Qt::WindowNoState, Qt::WindowMinimized}
                                            << resize_pointers;
    QTest::newRow("minimised after maximised") << false << states{Qt::WindowMaximized, Qt::WindowMinimized}
                                               << arrows;
    QTest::newRow("restored") << false << states{Qt::WindowMaximized, Qt::WindowNoState} << resize_pointers;
    QTest::newRow("fixed, normal") << true << states{Qt::WindowNoState} << arrows;
    QTest::newRow("fixed, minimised") << true << states{Qt::WindowNoState, Qt::WindowMinimized} << arrows;
}

void tst_xp_canvas::pointers()
{
    QFETCH(bool, fixed);
    QFETCH(QList<Qt::WindowState>, states);
    QFETCH(shapes, expected);
    framed_host f;
    QVERIFY(f.show());
    for (Qt::WindowState state : states) {
        f.host.setWindowState(state);
        f.canvas->set_Fixed_Single(fixed); // a pass in the new state
    }
    for (int code = 0; code < 8; ++code)
        QCOMPARE(f.canvas->edge_element(code)->cursor().shape(), expected[code]);
    QCOMPARE(f.canvas->pictop()->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.canvas->lblcaption()->cursor().shape(), Qt::ArrowCursor);
}

void tst_xp_canvas::body_events_reach_the_host_data()
{
    using ints = QList<int>;
    QTest::addColumn<QString>("action");
    QTest::addColumn<ints>("raised");
    QTest::addColumn<ints>("args"); // button or key code, shift, x, y of the first event
    QTest::newRow("left click") << "click" << ints{-605, -607, -600} << ints{1, 0, 50, 60};
    QTest::newRow("right press with shift") << "right press" << ints{-605} << ints{2, 1, 50, 60};
    QTest::newRow("move") << "move" << ints{-606} << ints{0, 0, 70, 80};
    QTest::newRow("double click") << "double click" << ints{-601} << ints{};
    QTest::newRow("key") << "key" << ints{-602, -603, -604} << ints{65};
    QTest::newRow("press on a border") << "border" << ints{} << ints{};
    QTest::newRow("press on the title") << "title" << ints{} << ints{};
}

void tst_xp_canvas::body_events_reach_the_host()
{
    QFETCH(QString, action);
    QFETCH(QList<int>, raised);
    QFETCH(QList<int>, args);
    framed_host f;
    QVERIFY(f.show());
    QList<int> seen;
    QList<controls::event_args> seen_args;
    for (int id : {-600, -601, -602, -603, -604, -605, -606, -607})
        QVERIFY(f.canvas->events().bind(id, [&, id](controls::event_args& a) {
            seen << id;
            seen_args << a;
        }));

    const QPoint at(50, 60);
    if (action == "click")
        QTest::mouseClick(f.canvas, Qt::LeftButton, {}, at);
    else if (action == "right press")
        QTest::mousePress(f.canvas, Qt::RightButton, Qt::ShiftModifier, at);
    else if (action == "move")
        send_mouse(f.canvas, QEvent::MouseMove, f.canvas->mapToGlobal(QPoint(70, 80)), Qt::NoButton, {});
    else if (action == "double click")
        QTest::mouseDClick(f.canvas, Qt::LeftButton, {}, at);
    else if (action == "key")
        QTest::keyClick(f.canvas, Qt::Key_A);
    else
        QTest::mouseClick(action == "border" ? f.canvas->picleft() : f.canvas->pictop(), Qt::LeftButton, {},
                          QPoint(2, 20));

    QCOMPARE(seen, raised);
    if (action == "key") {
        QCOMPARE(int(seen_args[0].key_code), 65);
        QCOMPARE(int(seen_args[1].key_ascii), int('a'));
    } else if (args.size() == 4) {
        const controls::event_args& first = seen_args.first();
        QCOMPARE((QList<float>{float(first.button), float(first.shift), first.x, first.y}),
                 (QList<float>{float(args[0]), float(args[1]), float(args[2]), float(args[3])}));
    }
}

// ---- Activation and properties ----------------------------------------

void tst_xp_canvas::activation_data()
{
    QTest::addColumn<bool>("by_set_focus");
    QTest::newRow("focus enters the frame") << false;
    QTest::newRow("SetFocus") << true;
}

void tst_xp_canvas::activation()
{
    QFETCH(bool, by_set_focus);
    framed_host f;
    xp_canvas* c = f.canvas;
    QVERIFY(c->shows_active_look());
    QVERIFY(c->Timer1().enabled() && c->Timer2().enabled());
    auto* edit = new QLineEdit(c);
    edit->setGeometry(20, 50, 100, 20);
    QVERIFY(f.show());
    f.host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.host));
    c->setFocus();
    QTRY_VERIFY(c->hasFocus());
    QVERIFY(!c->Timer1().enabled() && !c->Timer2().enabled());

    // While the focus stays in the frame, another window in front changes
    // nothing: no poll runs.
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!c->Timer1().enabled() && !c->Timer2().enabled());
    QVERIFY(c->shows_active_look());
    f.host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.host));

    // Focus on another control of the host: both polls run again; the host
    // is still the active window, so only the second one stops.
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(c->Timer1().enabled() && c->Timer2().enabled());
    c->Timer2().tick();
    c->Timer1().tick();
    QVERIFY(!c->Timer2().enabled());
    QVERIFY(c->Timer1().enabled());
    QVERIFY(c->shows_active_look());

    // Another window of the application becomes active: pale at the tick.
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    c->Timer1().tick();
    QVERIFY(!c->shows_active_look());
    QVERIFY(!c->Timer1().enabled());
    QCOMPARE(pixel(c->pictop(), 30, 2).green(), frame_test::inactive_green);
    QCOMPARE(pixel(c->picleft(), 2, 10), frame_test::inactive_left);

    // The host active again is not enough.
    f.host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.host));
    c->Timer1().tick();
    c->Timer2().tick();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!c->shows_active_look());

    if (by_set_focus) {
        c->SetFocus();
        QVERIFY(edit->hasFocus());
    } else {
        c->setFocus();
        QTRY_VERIFY(c->hasFocus());
    }
    QVERIFY(c->shows_active_look());
    QVERIFY(!c->Timer1().enabled() && !c->Timer2().enabled());
    QCOMPARE(pixel(c->pictop(), 30, 2).green(), frame_test::active_green);
}

void tst_xp_canvas::no_active_window_means_inactive()
{
    framed_host f; // never shown, so no window of the application is active
    QCOMPARE(QApplication::activeWindow(), nullptr);
    f.canvas->Timer2().tick();
    f.canvas->Timer1().tick();
    QVERIFY(!f.canvas->shows_active_look());
    QVERIFY(!f.canvas->Timer1().enabled());
    // The second poll waits for the host to become active rather than show
    // the active look over an application that is in the background.
    f.canvas->Timer2().tick();
    QVERIFY(!f.canvas->shows_active_look());
    QVERIFY(f.canvas->Timer2().enabled());
}

void tst_xp_canvas::property_setters_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("passes");
    QTest::addColumn<QStringList>("notified");
    QTest::newRow("Caption") << "Caption" << 1 << QStringList{"Caption"};
    QTest::newRow("Icon") << "Icon" << 0 << QStringList{"Icon"};
    QTest::newRow("Fixed_Single") << "Fixed_Single" << 1 << QStringList{};
}

void tst_xp_canvas::property_setters()
{
    QFETCH(QString, property);
    QFETCH(int, passes);
    QFETCH(QStringList, notified);
    framed_host f;
    xp_canvas* c = f.canvas;
    QVERIFY(f.show());
    platform::property_bag bag;
    QStringList changes;
    bag.on_property_changed = [&](const QString& name) { changes << name; };
    c->attach(&bag);
    f.resizes = 0;

    const QColor red(200, 10, 10);
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(red);
    if (property == "Caption") {
        c->set_Caption("Fennimo 1.2.0 ");
        QCOMPARE(f.host.windowTitle(), QString("Fennimo 1.2.0 "));
        QCOMPARE(c->Caption(), QString("Fennimo 1.2.0 "));
        QCOMPARE(c->lblshadow()->text(), QString("Fennimo 1.2.0 "));
        QCOMPARE(c->lblshadow()->pos() - c->lblcaption()->pos(), QPoint(2, 2));
        QCOMPARE(c->lblshadow()->size(), c->lblcaption()->size());
        QVERIFY(c->lblcaption()->width() > 40);
        const QFont font = c->lblcaption()->font();
        QCOMPARE(font.family(), QString("Trebuchet MS"));
        QVERIFY(font.bold() && font.pointSizeF() == 9.75);
        QCOMPARE(QFontInfo(font).family(), QString("DejaVu Sans"));
        const QImage title = c->pictop()->grab().toImage();
        bool white = false;
        for (int y = 6; y < 29; ++y)
            for (int x = 26; x < 26 + c->lblcaption()->width(); ++x)
                white = white || title.pixelColor(x, y) == Qt::white;
        QVERIFY(white);
    } else if (property == "Icon") {
        c->set_Icon(icon);
        QCOMPARE(c->Icon(), icon);
        const QImage shown = c->imgicon()->grab().toImage();
        QCOMPARE(shown.size(), QSize(16, 16));
        QCOMPARE(shown.pixelColor(15, 15), red);
        QCOMPARE(pixel(c->pictop(), 6 + 8, 8 + 8), red);
    } else {
        c->set_Fixed_Single(true);
        QVERIFY(c->Fixed_Single());
        for (int code = 0; code < 8; ++code)
            QCOMPARE(c->edge_element(code)->cursor().shape(), Qt::ArrowCursor);
    }
    QCOMPARE(f.resizes, passes);
    QCOMPARE(changes, notified);
}

void tst_xp_canvas::persistence_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QStringList>("saved_keys");
    QTest::newRow("nothing stored") << QVariantMap{} << "xp_canvas1" << false << QStringList{};
    QTest::newRow("caption in lower case") << QVariantMap{{"caption", "帮助"}} << "帮助" << false
                                           << QStringList{"Caption"};
    QTest::newRow("fixed") << QVariantMap{{"Fixed_Single", true}} << "xp_canvas1" << true
                           << QStringList{"Fixed_Single"};
}

void tst_xp_canvas::persistence()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QString, caption);
    QFETCH(bool, fixed);
    QFETCH(QStringList, saved_keys);
    framed_host f;
    platform::property_bag bag;
    bag.ambient_display_name = "xp_canvas1";
    for (auto it = stored.begin(); it != stored.end(); ++it)
        bag.write(it.key(), it.value(), QVariant());
    f.resizes = 0;

    f.canvas->attach(&bag);
    f.canvas->load();
    QCOMPARE(f.canvas->Caption(), caption);
    QCOMPARE(f.host.windowTitle(), caption);
    QCOMPARE(f.canvas->Fixed_Single(), fixed);
    QCOMPARE(f.canvas->Icon(), pictures.picture("frame_icon"));
    QCOMPARE(f.resizes, 2);

    platform::property_bag saved;
    saved.ambient_display_name = "xp_canvas1";
    f.canvas->attach(&saved);
    f.canvas->save();
    QCOMPARE(saved.size(), saved_keys.size());
    for (const QString& key : saved_keys)
        QVERIFY(saved.contains(key));

    // A newly placed frame takes the defaults, whatever the bag holds.
    framed_host placed;
    placed.canvas->place(&bag, controls::placement::new_instance);
    QCOMPARE(placed.canvas->Caption(), QString("xp_canvas1"));
    QVERIFY(!placed.canvas->Fixed_Single());
    QCOMPARE(placed.canvas->Icon(), pictures.picture("frame_icon"));
}

// ---- Interaction ------------------------------------------------------

void tst_xp_canvas::resize_in_twips()
{
    // Each axis through its own factor; at 15 twips a pixel, 10 by 4 pixels
    // on the bottom-right grip is 150 by 60 twips.
    const frame::twips_geometry g{3000, 1500, 6000, 4500};
    QCOMPARE(frame::resized_geometry(g, {100, 100}, {110, 104}, frame::edge_bottom_right, 15, 15),
             (frame::twips_geometry{3000, 1500, 6150, 4560}));
    QCOMPARE(frame::resized_geometry(g, {100, 100}, {110, 104}, frame::edge_top_left, 12, 18),
             (frame::twips_geometry{3120, 1572, 5880, 4428}));
    QVERIFY(!frame::resized_geometry(g, {0, 0}, {5, 5}, 8, 15, 15));
}

void tst_xp_canvas::border_drags_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QPoint>("travel");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QRect>("change"); // of left, top, width, height, in pixels

    QTest::newRow("left") << 0 << QPoint(-20, 3) << Qt::LeftButton << QRect(-20, 0, 20, 0);
    QTest::newRow("right") << 1 << QPoint(15, -8) << Qt::LeftButton << QRect(0, 0, 15, 0);
    QTest::newRow("top") << 2 << QPoint(4, -7) << Qt::LeftButton << QRect(0, -7, 0, 7);
    QTest::newRow("bottom") << 3 << QPoint(6, 9) << Qt::LeftButton << QRect(0, 0, 0, 9);
    QTest::newRow("bottom-right") << 4 << QPoint(10, 4) << Qt::LeftButton << QRect(0, 0, 10, 4);
    QTest::newRow("bottom-left") << 5 << QPoint(-6, 5) << Qt::LeftButton << QRect(-6, 0, 6, 5);
    QTest::newRow("top-right") << 6 << QPoint(7, 8) << Qt::LeftButton << QRect(0, 8, 7, -8);
    QTest::newRow("top-left") << 7 << QPoint(12, -3) << Qt::LeftButton << QRect(12, -3, -12, 3);
    QTest::newRow("right button") << 4 << QPoint(10, 4) << Qt::RightButton << QRect(0, 0, 10, 4);
    QTest::newRow("no travel") << 0 << QPoint(0, 0) << Qt::LeftButton << QRect();
    QTest::newRow("left border past the right one") << 0 << QPoint(330, 0) << Qt::LeftButton << QRect();
    QTest::newRow("top edge past the bottom") << 2 << QPoint(0, 261) << Qt::LeftButton << QRect();
    QTest::newRow("to exactly no width") << 0 << QPoint(320, 0) << Qt::LeftButton << QRect(320, 0, -320, 0);
}

void tst_xp_canvas::border_drags()
{
    QFETCH(int, code);
    QFETCH(QPoint, travel);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QRect, change);
    framed_host f(QSize(320, 260));
    f.host.move(200, 150);
    QVERIFY(f.show());
    QCOMPARE(platform::twips_per_pixel_x(), 15.0);
    const QRect before = f.host.geometry();
    QWidget* element = f.canvas->edge_element(code);

    const QPoint start(400, 300);
    placed.at = start;
    QTest::mousePress(element, button, {}, QPoint(1, 1));
    placed.at = start + travel;
    QTest::mouseRelease(element, button, {}, QPoint(1, 1));
    QCOMPARE(f.canvas->drag_start(), start);
    QCOMPARE(f.canvas->drag_end(), start + travel);
    const QRect expected = before.adjusted(change.x(), change.y(), change.x() + change.width(),
                                           change.y() + change.height());
    QCOMPARE(f.host.geometry(), expected);

    // Fixed, or maximised, the same drag changes nothing.
    f.canvas->set_Fixed_Single(true);
    placed.at = QPoint(0, 0);
    QTest::mousePress(element, button, {}, QPoint(1, 1));
    placed.at = travel;
    QTest::mouseRelease(element, button, {}, QPoint(1, 1));
    QCOMPARE(f.host.geometry(), expected);
    QCOMPARE(f.canvas->drag_start(), start);
    if (expected.width() == 0)
        return; // a window with no width is never shown maximised here
    f.canvas->set_Fixed_Single(false);
    QVERIFY(f.maximise());
    const QRect maximised = f.host.geometry();
    f.canvas->resize_host(&f.host, QPoint(0, 0), QPoint(5, 5), code);
    QCOMPARE(f.host.geometry(), maximised);
}

void tst_xp_canvas::caption_drag_data()
{
    QTest::addColumn<bool>("on_caption");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("title bar") << false << false << false;
    QTest::newRow("caption") << true << false << false;
    QTest::newRow("fixed size still moves") << false << true << false;
    QTest::newRow("maximised does not move") << false << false << true;
}

void tst_xp_canvas::caption_drag()
{
    QFETCH(bool, on_caption);
    QFETCH(bool, fixed);
    QFETCH(bool, maximised);
    framed_host f;
    f.host.move(120, 90);
    QVERIFY(f.show());
    f.canvas->set_Fixed_Single(fixed);
    if (maximised)
        QVERIFY(f.maximise());
    QWidget* target = on_caption ? static_cast<QWidget*>(f.canvas->lblcaption()) : f.canvas->pictop();
    const QPoint origin = f.host.pos();
    const QPoint press = target->mapToGlobal(on_caption ? QPoint(5, 12) : QPoint(150, 20));

    // The offscreen platform has no window manager to take the move over.
    send_mouse(target, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    send_mouse(target, QEvent::MouseMove, press + QPoint(25, 13), Qt::NoButton, Qt::LeftButton);
    send_mouse(target, QEvent::MouseMove, press + QPoint(-7, 40), Qt::NoButton, Qt::LeftButton);
    const QPoint moved = origin + (maximised ? QPoint(0, 0) : QPoint(-7, 40));
    QCOMPARE(f.host.pos(), moved);
    send_mouse(target, QEvent::MouseButtonRelease, press + QPoint(-7, 40), Qt::LeftButton, Qt::NoButton);
    send_mouse(target, QEvent::MouseMove, press + QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    QCOMPARE(f.host.pos(), moved);

    // The shadow and the icon take a press and do nothing with it.
    for (QWidget* inert : {static_cast<QWidget*>(f.canvas->lblshadow()), static_cast<QWidget*>(f.canvas->imgicon())}) {
        const QPoint at = inert->mapToGlobal(QPoint(1, 1));
        send_mouse(inert, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        send_mouse(inert, QEvent::MouseMove, at + QPoint(30, 30), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.host.pos(), moved);
    }
}

void tst_xp_canvas::double_click_data()
{
    QTest::addColumn<bool>("on_caption");
    QTest::addColumn<bool>("fixed");
    QTest::newRow("title bar") << false << false;
    QTest::newRow("caption") << true << false;
    QTest::newRow("fixed size") << false << true;
}

void tst_xp_canvas::double_click()
{
    QFETCH(bool, on_caption);
    QFETCH(bool, fixed);
    framed_host f;
    QVERIFY(f.show());
    f.canvas->set_Fixed_Single(fixed);
    QWidget* target = on_caption ? static_cast<QWidget*>(f.canvas->lblcaption()) : f.canvas->pictop();
    const QPoint at(on_caption ? 5 : 150, on_caption ? 12 : 20);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
    QTRY_COMPARE(bool(f.host.windowState() & Qt::WindowMaximized), !fixed);
    QTest::mouseDClick(target, Qt::RightButton, {}, at);
    QTRY_VERIFY(!(f.host.windowState() & Qt::WindowMaximized));
}

// ---- Shape ------------------------------------------------------------

void tst_xp_canvas::make_trans_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

void tst_xp_canvas::make_trans()
{
    QFETCH(bool, maximised);
    framed_host f(QSize(300, 200));
    QVERIFY(f.show());
    if (maximised)
        QVERIFY(f.maximise());
    const QRegion full(f.host.rect());
    QRegion expected = full;
    if (!maximised) {
        const int w = f.host.width();
        const int cut[] = {5, 3, 2, 1, 1};
        for (int y = 0; y < 5; ++y)
            expected -= QRegion(0, y, cut[y], 1) + QRegion(w - cut[y], y, cut[y], 1);
    }
    // Twice gives the same shape as once: each call starts from the full
    // rectangle again.
    for (int call = 0; call < 2; ++call) {
        f.canvas->make_trans(&f.host);
        const QRegion shape = f.host.mask().isEmpty() ? full : f.host.mask();
        QCOMPARE(shape, expected);
        int removed = 0;
        for (const QRect& r : full.subtracted(shape))
            removed += r.width() * r.height();
        QCOMPARE(removed, maximised ? 0 : 24);
    }
}

QTEST_MAIN(tst_xp_canvas)
#include "tst_xp_canvas.moc"
