// The machinery every control of the library stands on: cells and slices,
// events by name and id, the toolkit's reports translated, the hover poll and
// the mouse-move rule, forwarding from child elements, and persistence.
// The poll is driven by hand through Timer1.tick(); nothing here waits.

#include "controls/children.h"
#include "controls/colours.h"
#include "controls/events.h"
#include "controls/geometry.h"
#include "controls/input.h"
#include "controls/xp_control.h"
#include "platform/fonts.h"
#include "platform/pointer.h"
#include "platform/units.h"
#include "support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

using namespace controls;
using support::send_move;

namespace {

// The smallest real control on the core: a surface in pixels with a caption
// label forwarded at its corner and a windowed picture forwarded with its
// own coordinates. Its faces are words in a log, so the order of faces and
// events can be read off one list.
class probe : public hover_control {
public:
    probe(QStringList& log, leave_order order, QWidget* parent)
        : hover_control({Click_event, DblClick_event, KeyDown_event, KeyPress_event, KeyUp_event, MouseDown_event,
                         MouseMove_event, MouseUp_event, MouseOut_event},
                        false, order, parent),
          m_log(log)
    {
        set_scale_unit(scale_unit::pixels);
        lbl = new caption_label(this);
        lbl->set_caption(QStringLiteral("lbl"));
        lbl->move(10, 5);
        forward_input(lbl, child_move::at_corner);
        p = new picture_box(this);
        p->setGeometry(40, 2, 16, 16);
        forward_input(p, child_move::own_coordinates, child_unit::pixels);
    }

    void click() override { events().raise(dispatch::Click); }
    void dbl_click() override { events().raise(dispatch::DblClick); }
    void show_tracking_face(bool pressed) override { m_log << (pressed ? "face pressed" : "face hover"); }
    void draw_rest_face() override
    {
        m_log << (log_timer ? QStringLiteral("face rest running %1").arg(Timer1.enabled()) : QStringLiteral("face rest"));
    }
    bool log_timer = false;

    using xp_control::paint_pieces;
    using xp_control::set_surface_colour;
    using xp_control::show_face;
    using xp_control::read;
    using xp_control::write;

    caption_label* lbl;
    picture_box* p;

private:
    QStringList& m_log;
};

void put_pointer(const QWidget* w, QPoint client)
{
    platform::set_cursor_pos_override(w->mapToGlobal(client));
}

} // namespace

class tst_control_core : public QObject {
    Q_OBJECT

private:
    QWidget* m_host = nullptr;
    probe* m_probe = nullptr;
    QStringList m_log;

private slots:
    void initTestCase() { platform::install_font_substitutes(); }

    void init()
    {
        m_log.clear();
        m_host = new QWidget;
        m_host->setGeometry(100, 100, 200, 100);
        m_probe = new probe(m_log, leave_order::stop_raise_draw, m_host);
        m_probe->setGeometry(20, 30, 60, 21);
        m_host->show();
        support::record(*m_probe, m_log);
        platform::set_cursor_pos_override(QPoint(-500, -500));
    }

    void cleanup()
    {
        delete m_host;
        m_host = nullptr;
        platform::set_cursor_pos_override(std::nullopt);
    }

    void cell_rectangles_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("button strip, first") << QSize(90, 21) << 1 << 5 << 0 << QRect(0, 0, 18, 21);
        QTest::newRow("button strip, last") << QSize(90, 21) << 1 << 5 << 4 << QRect(72, 0, 18, 21);
        QTest::newRow("check strip, cell 11") << QSize(16, 192) << 12 << 1 << 11 << QRect(0, 176, 16, 16);
        QTest::newRow("grid, across a row first") << QSize(40, 20) << 2 << 4 << 5 << QRect(10, 10, 10, 10);
        QTest::newRow("past the end") << QSize(90, 21) << 1 << 5 << 5 << QRect();
        QTest::newRow("negative") << QSize(90, 21) << 1 << 5 << -1 << QRect();
    }

    void cell_rectangles()
    {
        QFETCH(QSize, picture);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(int, index);
        QFETCH(QRect, expected);
        QCOMPARE(cell_rect(picture, rows, columns, index), expected);
    }

    void integer_conversions_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("to_int16");
        QTest::addColumn<int>("halved");
        QTest::newRow("control 255 high, p 240") << 15.0 << 15 << 7;
        QTest::newRow("control 255 high, label 180") << 75.0 << 75 << 37;
        QTest::newRow("tie down to even") << 14.5 << 14 << 7;
        QTest::newRow("tie up to even") << 15.5 << 16 << 8;
        QTest::newRow("negative difference halves towards zero") << -15.0 << -15 << -7;
        QTest::newRow("negative tie") << -2.5 << -2 << -1;
        QTest::newRow("beyond 16 bits saturates") << 40000.0 << 32767 << 20000;
    }

    void integer_conversions()
    {
        QFETCH(double, value);
        QFETCH(int, to_int16);
        QFETCH(int, halved);
        QCOMPARE(int(to_int16_half_even(value)), to_int16);
        QCOMPARE(half_of(value), halved);
    }

    void pieces_stretch_by_nearest_pixel_and_skip_empty_ones()
    {
        QImage source(2, 1, QImage::Format_ARGB32_Premultiplied);
        source.setPixel(0, 0, qRgb(255, 0, 0));
        source.setPixel(1, 0, qRgb(0, 0, 255));
        QImage target(8, 2, QImage::Format_ARGB32_Premultiplied);
        target.fill(Qt::white);
        const slice_piece pieces[] = {
            {QRectF(0, 0, 8, 1), QRectF(0, 0, 2, 1)},
            {QRectF(0, 1, 0, 1), QRectF(0, 0, 2, 1)}, // no width: nothing drawn
            {QRectF(0, 1, 4, 0), QRectF(0, 0, 2, 1)}, // no height: nothing drawn
        };
        paint_pieces(target, source, pieces);
        for (int x = 0; x < 8; ++x)
            QCOMPARE(target.pixel(x, 0), x < 4 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        for (int x = 0; x < 8; ++x)
            QCOMPARE(target.pixel(x, 1), qRgb(255, 255, 255));
    }

    void colours_data()
    {
        QTest::addColumn<uint>("colour");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("red in the low byte") << uint(0x000000FF) << QColor(255, 0, 0);
        QTest::newRow("blue in the high byte") << uint(0x00FF0000) << QColor(0, 0, 255);
        QTest::newRow("disabled caption") << uint(disabled_caption) << QColor(161, 161, 146);
        QTest::newRow("button face") << uint(0x8000000F) << QColor(236, 233, 216);
        QTest::newRow("unknown system colour") << uint(0x800000FF) << QColor(0, 0, 0);
    }

    void colours()
    {
        QFETCH(uint, colour);
        QFETCH(QColor, expected);
        QCOMPARE(to_qcolor(colour), expected);
    }

    void key_codes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("code");
        QTest::newRow("letter") << int(Qt::Key_A) << 65;
        QTest::newRow("digit") << int(Qt::Key_7) << 55;
        QTest::newRow("space") << int(Qt::Key_Space) << 32;
        QTest::newRow("left arrow") << int(Qt::Key_Left) << 37;
        QTest::newRow("down arrow") << int(Qt::Key_Down) << 40;
        QTest::newRow("enter") << int(Qt::Key_Return) << 13;
        QTest::newRow("F1") << int(Qt::Key_F1) << 112;
        QTest::newRow("F12") << int(Qt::Key_F12) << 123;
        QTest::newRow("no code") << int(Qt::Key_VolumeUp) << 0;
    }

    void key_codes()
    {
        QFETCH(int, key);
        QFETCH(int, code);
        QCOMPARE(int(key_code(key)), code);
    }

    void button_and_shift_bits()
    {
        QCOMPARE(int(button_bits(Qt::LeftButton | Qt::RightButton)), 3);
        QCOMPARE(int(button_bits(Qt::MiddleButton)), 4);
        QCOMPARE(int(shift_bits(Qt::ShiftModifier | Qt::AltModifier)), 5);
        QCOMPARE(int(shift_bits(Qt::ControlModifier)), 2);
    }

    void events_bind_by_name_or_id_and_pass_by_reference()
    {
        event_source source({Click_event, MouseMove_event, MouseOut_event});
        QStringList seen;
        QVERIFY(source.bind(u"click", [&] { seen << "by name"; }));
        QVERIFY(source.bind(dispatch::Click, [&](event_args&) { seen << "by id"; }));
        QVERIFY(source.bind(1, [&](event_args&) { seen << "MouseOut"; }));
        QVERIFY(!source.bind(u"DblClick", [&] { seen << "never"; }));
        QVERIFY(!source.bind(dispatch::KeyDown, [&](event_args&) { seen << "never"; }));
        QVERIFY(source.bind(u"MOUSEMOVE", [&](event_args& a) {
            a.button = 1;
            a.x += 1;
        }));
        QVERIFY(source.bind(u"MouseMove", [&](event_args& a) { seen << QString::number(a.button); }));

        source.raise(dispatch::Click);
        source.raise(dispatch::MouseOut);
        source.raise(dispatch::DblClick);
        std::int16_t button = 2, shift = 0;
        float x = 5, y = 6;
        source.raise_mouse(dispatch::MouseMove, button, shift, x, y);
        QCOMPARE(seen, (QStringList{"by name", "by id", "MouseOut", "1"}));
        QCOMPARE(int(button), 1);
        QCOMPARE(x, 6.0f);
        QCOMPARE(source.name_of(-606), QStringLiteral("MouseMove"));
    }

    // The poll's inside test, on each edge and one pixel beyond it.
    void poll_edges_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<bool>("out");
        QTest::newRow("middle") << QPoint(30, 10) << false;
        QTest::newRow("top-left corner") << QPoint(0, 0) << false;
        QTest::newRow("on the right edge, x = W") << QPoint(60, 10) << false;
        QTest::newRow("on the bottom edge, y = H") << QPoint(30, 21) << false;
        QTest::newRow("bottom-right corner") << QPoint(60, 21) << false;
        QTest::newRow("one beyond the right, x = W + 1") << QPoint(61, 10) << true;
        QTest::newRow("one beyond the bottom") << QPoint(30, 22) << true;
        QTest::newRow("one left of the control") << QPoint(-1, 10) << true;
        QTest::newRow("one above the control") << QPoint(30, -1) << true;
    }

    void poll_edges()
    {
        QFETCH(QPoint, pointer);
        QFETCH(bool, out);
        send_move(m_probe, QPoint(30, 10));
        QVERIFY(m_probe->Timer1.enabled());
        m_log.clear();
        put_pointer(m_probe, pointer);
        m_probe->Timer1.tick();
        m_probe->Timer1.tick();
        QCOMPARE(m_probe->Timer1.enabled(), !out);
        QCOMPARE(m_log, (out ? QStringList{"MouseOut", "face rest"} : QStringList{}));
    }

    void mouse_out_once_per_run_in_each_order_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("steps");
        // Each step carries whether Timer1 was still running at that moment.
        QTest::newRow("stop, raise, draw") << int(leave_order::stop_raise_draw)
                                           << QStringList{"MouseOut running 0", "face rest running 0"};
        QTest::newRow("draw, stop, raise") << int(leave_order::draw_stop_raise)
                                           << QStringList{"face rest running 1", "MouseOut running 0"};
    }

    void mouse_out_once_per_run_in_each_order()
    {
        QFETCH(int, order);
        QFETCH(QStringList, steps);
        QStringList log;
        probe control(log, leave_order(order), m_host);
        control.setGeometry(0, 0, 30, 20);
        control.log_timer = true;
        control.events().bind(u"MouseOut",
                               [&] { log << QStringLiteral("MouseOut running %1").arg(control.Timer1.enabled()); });
        put_pointer(&control, QPoint(100, 100));
        control.Timer1.tick(); // stopped since creation: nothing comes
        QVERIFY(log.isEmpty());
        for (int run = 0; run < 2; ++run) {
            control.mouse_move(0, 0, 5, 5);
            log.clear();
            control.Timer1.tick();
            control.Timer1.tick();
            control.Timer1.tick();
            QCOMPARE(log, steps);
        }
    }

    // The move rule: the face follows the Button that the host's handler left.
    void move_rule_reads_button_back_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("host_sets");
        QTest::addColumn<QString>("face");
        QTest::newRow("left alone") << int(Qt::LeftButton) << -1 << "face pressed";
        QTest::newRow("no button") << int(Qt::NoButton) << -1 << "face hover";
        QTest::newRow("right") << int(Qt::RightButton) << -1 << "face hover";
        QTest::newRow("left and right") << int(Qt::LeftButton | Qt::RightButton) << -1 << "face hover";
        QTest::newRow("middle") << int(Qt::MiddleButton) << -1 << "face hover";
        QTest::newRow("host turns 0 into 1") << int(Qt::NoButton) << 1 << "face pressed";
        QTest::newRow("host turns 1 into 0") << int(Qt::LeftButton) << 0 << "face hover";
    }

    void move_rule_reads_button_back()
    {
        QFETCH(int, buttons);
        QFETCH(int, host_sets);
        QFETCH(QString, face);
        if (host_sets >= 0)
            m_probe->events().bind(dispatch::MouseMove, [host_sets](event_args& a) { a.button = std::int16_t(host_sets); });
        send_move(m_probe, QPoint(7, 8), Qt::MouseButtons(buttons));
        const int bits = (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                         | (buttons & Qt::MiddleButton ? 4 : 0);
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseMove %1 0 7 8").arg(bits), face}));
        QVERIFY(m_probe->Timer1.enabled());
    }

    // A move report outside (as while a press drags the pointer away) starts
    // the poll and does nothing else; the next tick raises MouseOut.
    void move_outside_only_starts_the_poll()
    {
        send_move(m_probe, QPoint(61, 8), Qt::LeftButton);
        QVERIFY(m_probe->Timer1.enabled());
        QVERIFY(m_log.isEmpty());
        put_pointer(m_probe, QPoint(61, 8));
        m_probe->Timer1.tick();
        QCOMPARE(m_log, (QStringList{"MouseOut", "face rest"}));
        // The right and bottom edges pass the move's inside test.
        m_log.clear();
        send_move(m_probe, QPoint(60, 21));
        QCOMPARE(m_log, (QStringList{"MouseMove 0 0 60 21", "face hover"}));
    }

    // Mouse coordinates are reported in the surface's current unit.
    void coordinates_follow_the_scale_unit()
    {
        m_probe->set_scale_unit(scale_unit::twips);
        const double tx = platform::twips_per_pixel_x(), ty = platform::twips_per_pixel_y();
        QCOMPARE(m_probe->scale_width(), 60 * tx);
        QCOMPARE(m_probe->scale_height(), 21 * ty);
        QTest::mousePress(m_probe, Qt::RightButton, Qt::ShiftModifier, QPoint(4, 2));
        QTest::mouseRelease(m_probe, Qt::RightButton, Qt::ShiftModifier, QPoint(4, 2));
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseDown 2 1 %1 %2").arg(4 * tx).arg(2 * ty),
                                     QStringLiteral("MouseUp 2 1 %1 %2").arg(4 * tx).arg(2 * ty)}));
        m_probe->set_scale_unit(scale_unit::pixels);
        QCOMPARE(m_probe->scale_width(), 60.0);
    }

    // A click needs a left press and a release over the same element.
    void clicks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("release_at");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("surface") << "surface" << QPoint(5, 5) << int(Qt::LeftButton) << true;
        QTest::newRow("surface, released outside") << "surface" << QPoint(70, 5) << int(Qt::LeftButton) << false;
        QTest::newRow("surface, right button") << "surface" << QPoint(5, 5) << int(Qt::RightButton) << false;
        QTest::newRow("label") << "label" << QPoint(1, 1) << int(Qt::LeftButton) << true;
        QTest::newRow("label, released off it") << "label" << QPoint(1, 40) << int(Qt::LeftButton) << false;
        QTest::newRow("picture") << "picture" << QPoint(3, 3) << int(Qt::LeftButton) << true;
    }

    void clicks()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, release_at);
        QFETCH(int, button);
        QFETCH(bool, clicked);
        QWidget* w = target == "label" ? static_cast<QWidget*>(m_probe->lbl)
                     : target == "picture" ? static_cast<QWidget*>(m_probe->p) : m_probe;
        QTest::mousePress(w, Qt::MouseButton(button), {}, QPoint(1, 1));
        QTest::mouseRelease(w, Qt::MouseButton(button), {}, release_at);
        QCOMPARE(m_log.size(), clicked ? 3 : 2);
        QVERIFY(m_log[0].startsWith("MouseDown"));
        QVERIFY(m_log[1].startsWith("MouseUp"));
        if (clicked)
            QCOMPARE(m_log[2], QStringLiteral("Click"));
    }

    // The second press of a double click is the double click alone.
    void double_click_sequence()
    {
        QTest::mouseClick(m_probe, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseDClick(m_probe, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseRelease(m_probe, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(m_log, (QStringList{"MouseDown 1 0 3 3", "MouseUp 1 0 3 3", "Click", "DblClick", "MouseUp 1 0 3 3"}));
    }

    // The label reports a move at its corner, presses in its own
    // coordinates; the windowed picture reports everything in its own.
    void child_forwarding()
    {
        QTest::mousePress(m_probe->lbl, Qt::LeftButton, {}, QPoint(2, 3));
        send_move(m_probe->lbl, QPoint(4, 6), Qt::LeftButton);
        QTest::mouseRelease(m_probe->lbl, Qt::LeftButton, {}, QPoint(2, 3));
        send_move(m_probe->p, QPoint(9, 11));
        QCOMPARE(m_log, (QStringList{"MouseDown 1 0 2 3", "MouseMove 1 0 10 5", "face pressed", "MouseUp 1 0 2 3",
                                     "Click", "MouseMove 0 0 9 11", "face hover"}));
        m_log.clear();
        m_probe->set_scale_unit(scale_unit::twips);
        const double tx = platform::twips_per_pixel_x(), ty = platform::twips_per_pixel_y();
        send_move(m_probe->lbl, QPoint(4, 6));
        QTest::mousePress(m_probe->lbl, Qt::RightButton, {}, QPoint(2, 3));
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseMove 0 0 %1 %2").arg(10 * tx).arg(5 * ty), "face hover",
                                     QStringLiteral("MouseDown 2 0 %1 %2").arg(2 * tx).arg(3 * ty)}));
        QTest::mouseRelease(m_probe->lbl, Qt::RightButton, {}, QPoint(2, 3));
    }

    void keys_are_translated()
    {
        m_probe->setFocus();
        QTest::keyClick(m_probe, 'A', Qt::ShiftModifier);
        QTest::keyClick(m_probe, Qt::Key_Left);
        // The shift key is a key of its own, as the platform reports it.
        QCOMPARE(m_log, (QStringList{"KeyDown 16 1", "KeyDown 65 1", "KeyPress 65", "KeyUp 65 1", "KeyUp 16 0",
                                     "KeyDown 37 0", "KeyUp 37 0"}));
    }

    // The control's side of the host's store: case-blind reads, nothing
    // stored for a default, ambient values as defaults, change notices.
    void persistence_goes_through_the_hosts_bag()
    {
        platform::property_bag bag;
        bag.ambient_display_name = QStringLiteral("Check7");
        bag.ambient_font = QFont(QStringLiteral("宋体"), 11);
        QStringList changed;
        bag.on_property_changed = [&](const QString& name) { changed << name; };
        bag.write(QStringLiteral("caption"), QStringLiteral("stored"), QString());
        m_probe->attach(&bag);
        QCOMPARE(m_probe->read("Caption", QString()).toString(), QStringLiteral("stored"));
        QCOMPARE(m_probe->read("Missing", 42).toInt(), 42);
        m_probe->write("State", 0, 0);
        QVERIFY(!bag.contains(QStringLiteral("state")));
        m_probe->write("State", 1, 0);
        QCOMPARE(bag.read(QStringLiteral("STATE"), 0).toInt(), 1);
        m_probe->attach(nullptr);
        QCOMPARE(m_probe->read("State", 5).toInt(), 5);
    }

    void painted_surface_keeps_its_drawing()
    {
        QImage red(4, 4, QImage::Format_ARGB32_Premultiplied);
        red.fill(Qt::red);
        const slice_piece piece[] = {{QRectF(0, 0, 10, 10), QRectF(0, 0, 4, 4)}};
        m_probe->paint_pieces(red, piece);
        const QImage shot = m_probe->grab().toImage();
        QCOMPARE(QColor(shot.pixel(9, 9)), QColor(Qt::red));
        QVERIFY(QColor(shot.pixel(11, 11)) != QColor(Qt::red));
        m_probe->resize(80, 30);
        QCOMPARE(QColor(m_probe->grab().toImage().pixel(5, 5)), QColor(Qt::red));
        m_probe->resize(60, 21);
    }

    // A whole face sits at the top-left at its natural size; the rest of the
    // surface keeps its colour.
    void whole_face_display()
    {
        QStringList log;
        probe control(log, leave_order::stop_raise_draw, m_host);
        control.setGeometry(0, 0, 30, 30);
        control.set_surface_colour(Qt::white);
        QImage face(21, 21, QImage::Format_ARGB32_Premultiplied);
        face.fill(Qt::blue);
        control.show_face(face);
        delete control.lbl;
        delete control.p;
        const QImage shot = control.grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(Qt::blue));
        QCOMPARE(QColor(shot.pixel(20, 20)), QColor(Qt::blue));
        QCOMPARE(QColor(shot.pixel(21, 20)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(20, 21)), QColor(Qt::white));
    }
};

QTEST_MAIN(tst_control_core)
#include "tst_control_core.moc"
