// The push button, the option button and the check box on real widgets,
// offscreen, drawn with stand-in pictures whose colour tells the cell (and,
// for the button, the piece of the cell). Behaviour the three share is one
// data-driven test with a row per control; the hover poll is driven by hand.

#include "controls/xpcheckbox.h"
#include "controls/xpcmdbutton.h"
#include "controls/xphelp.h"
#include "controls/xptopbuttons.h"
#include "controls/xpradiobutton.h"
#include "platform/toolkit/fonts.h"
#include "platform/toolkit/pictures.h"
#include "placed_pointer.h"
#include "stand_in_pictures.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/property_store.h"
#include "platform/toolkit/units.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>

using namespace controls;

namespace {

// The pictures the controls are made with: the tests' own, which tell the
// cells apart; cleanup() gives the embedded ones back.
fixture::stand_in_pictures pictures;
// Where the test places the pointer the controls follow; cleanup() leaves it
// to the system again.
fixture::placed_pointer placed;

enum kind { button, option, check };
const char* const kind_names[] = {"button", "option", "check"};

// Stand-in art: red = 10 + 20 x cell. A pixel of the button's strip also
// tells where in its cell it comes from: green = 100 + y, blue = 10 x x.
void install_stand_in_art()
{
    QImage strip(90, 21, QImage::Format_ARGB32);
    for (int x = 0; x < 90; ++x)
        for (int y = 0; y < 21; ++y)
            strip.setPixel(x, y, qRgb(10 + 20 * (x / 18), 100 + y, 10 * (x % 18)));
    pictures.set("cmdbutton", strip);
    QImage checks(16, 192, QImage::Format_ARGB32);
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 16; ++x)
            checks.setPixel(x, y, qRgb(10 + 20 * (y / 16), 60, 0));
    pictures.set("checkbox", checks);
    for (int cell = 0; cell < 8; ++cell) {
        QImage circle(13, 13, QImage::Format_ARGB32);
        circle.fill(qRgb(10 + 20 * cell, 60, 0));
        for (QPoint corner : {QPoint(0, 0), QPoint(12, 0), QPoint(0, 12), QPoint(12, 12)})
            circle.setPixel(corner, qRgba(0, 0, 0, 0));
        pictures.set(QStringLiteral("option_%1").arg(cell), circle);
    }
}

int cell_of(QRgb pixel) { return qRed(pixel) >= 10 && (qRed(pixel) - 10) % 20 == 0 ? (qRed(pixel) - 10) / 20 : -1; }
QPoint source_of(QRgb pixel) { return {qBlue(pixel) / 10, qGreen(pixel) - 100}; }

void send_move(QWidget* w, QPoint pos, int button_bits = 0)
{
    Qt::MouseButtons buttons;
    buttons.setFlag(Qt::LeftButton, button_bits & 1);
    buttons.setFlag(Qt::RightButton, button_bits & 2);
    buttons.setFlag(Qt::MiddleButton, button_bits & 4);
    QMouseEvent me(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton, buttons, {});
    QApplication::sendEvent(w, &me);
}

Qt::MouseButton qt_button(int bits) { return bits == 2 ? Qt::RightButton : bits == 4 ? Qt::MiddleButton : Qt::LeftButton; }

} // namespace

class tst_controls : public QObject {
    Q_OBJECT

    QWidget* m_window = nullptr;
    std::vector<std::unique_ptr<platform::property_bag>> m_bags;
    hover_control* m_control = nullptr;
    kind m_kind = button;
    QStringList m_log, m_creation_log;

    hover_control* make(kind k, QWidget* parent, const QString& name, QRect geometry)
    {
        m_bags.push_back(std::make_unique<platform::property_bag>());
        m_bags.back()->ambient_display_name = name;
        m_bags.back()->ambient_font = QFont(QStringLiteral("宋体"), k == button ? 9 : 10.5);
        hover_control* c = k == button ? static_cast<hover_control*>(new xpcmdbutton(parent, pictures, placed))
                           : k == option ? static_cast<hover_control*>(new xpradiobutton(parent, pictures, placed))
                                         : new xpcheckbox(parent, pictures, placed);
        c->setGeometry(geometry);
        c->place(m_bags.back().get(), placement::new_instance);
        return c;
    }

    caption_label* lbl(hover_control* c) const
    {
        if (auto* b = qobject_cast<xpcmdbutton*>(c))
            return b->lbl();
        return static_cast<indicator_control*>(c)->lbl();
    }

    // The cell on screen: the button's first centre pixel (the caption does
    // not reach it), or the middle of an indicator.
    int face(hover_control* c) const
    {
        const QImage shot = c->grab().toImage();
        if (qobject_cast<xpcmdbutton*>(c))
            return cell_of(shot.pixel(3, 3));
        return cell_of(shot.pixel(static_cast<indicator_control*>(c)->p()->mapTo(c, QPoint(6, 6))));
    }
    int face() const { return face(m_control); }

    // Logs each raise as "Name@cell" (the cell shown while the host's
    // handler runs), then the mouse arguments or the key code.
    void record(hover_control* c, bool with_face = true)
    {
        for (const char* name : {"Click", "KeyDown", "KeyPress", "KeyUp", "MouseDown", "MouseMove", "MouseUp", "MouseOut"})
            QVERIFY(c->events().bind(QLatin1String(name), [=, this](event_args& a) {
                QString entry = QLatin1String(name) + (with_face ? QStringLiteral("@%1").arg(face(c)) : QString());
                if (QByteArray(name).startsWith("Mouse") && QByteArray(name) != "MouseOut")
                    entry += QStringLiteral(" %1 %2 %3 %4").arg(a.button).arg(a.shift).arg(a.x).arg(a.y);
                else if (QByteArray(name).startsWith("Key"))
                    entry += QStringLiteral(" %1").arg(a.key_code + a.key_ascii);
                m_log << entry;
            }));
    }

    void set_enabled(hover_control* c, bool enabled)
    {
        if (auto* b = qobject_cast<xpcmdbutton*>(c))
            b->set_Enabled(enabled);
        else
            static_cast<indicator_control*>(c)->set_Enabled(enabled);
    }

    void set_value(hover_control* c, int value)
    {
        if (auto* o = qobject_cast<xpradiobutton*>(c))
            o->set_Value(value != 0);
        else if (auto* k = qobject_cast<xpcheckbox*>(c))
            k->set_Value(value);
        else
            static_cast<xpcmdbutton*>(c)->set_State(value);
    }

    // Hover and pressed cells for the rest value.
    int hover_cell() const { return m_kind == button ? 3 : 1; }
    int pressed_cell() const { return m_kind == button ? 1 : 2; }

private slots:
    void initTestCase()
    {
        platform::install_font_substitutes();
        QCOMPARE(platform::twips_per_pixel_y(), 15.0);
    }

    // Each row's tag starts with the kind of control it is about; a test
    // without rows gets a button it may ignore.
    void init()
    {
        const QByteArray tag = QTest::currentDataTag() ? QTest::currentDataTag() : "";
        m_kind = tag.startsWith("option") ? option : tag.startsWith("check") ? check : button;
        install_stand_in_art();
        placed.at = QPoint(-100, -100);
        m_window = new QWidget;
        m_window->setGeometry(50, 50, 400, 300);
        m_control = make(m_kind, m_window, QStringLiteral("Check1"), QRect(10, 10, m_kind == button ? 75 : 120, m_kind == button ? 23 : 17));
        m_window->show();
        m_log.clear();
        record(m_control);
        m_control->Timer1().tick(); // the poll some controls run from creation
        m_creation_log = m_log;
        m_log.clear();
    }

    void cleanup()
    {
        delete m_window;
        m_bags.clear();
        pictures.clear();
        placed.at.reset();
    }

    // The controls are linked with the real art, at the sizes they cut.
    void real_art_is_embedded()
    {
        QCOMPARE(QImage(":/assets/cmdbutton.png").size(), QSize(90, 21));
        QCOMPARE(QImage(":/assets/checkbox.png").size(), QSize(16, 192));
        for (int n = 0; n < 8; ++n)
            QCOMPARE(QImage(QStringLiteral(":/assets/option_%1.png").arg(n)).size(), QSize(13, 13));
    }

    // Faces after a few steps: "State n", "Value n", "Enabled n", "move b"
    // (a move with button bits b), "down b", "up b".
    void faces_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("cell");
        QTest::newRow("button new") << QStringList{} << 0;
        QTest::newRow("button State 1") << QStringList{"State 1"} << 4;
        QTest::newRow("button State 1 then 0") << QStringList{"State 1", "State 0"} << 0;
        QTest::newRow("button State 7 keeps the emphasis") << QStringList{"State 1", "State 7"} << 4;
        QTest::newRow("button disabled") << QStringList{"State 1", "Enabled 0"} << 2;
        QTest::newRow("button enabled again") << QStringList{"State 1", "Enabled 0", "Enabled 1"} << 4;
        QTest::newRow("button pressed") << QStringList{"down 1"} << 1;
        QTest::newRow("button released") << QStringList{"State 1", "down 1", "up 1"} << 4;
        QTest::newRow("option selected") << QStringList{"Value 1"} << 4;
        QTest::newRow("option hover") << QStringList{"move 0"} << 1;
        QTest::newRow("option selected hover") << QStringList{"Value 1", "move 0"} << 5;
        QTest::newRow("option right press") << QStringList{"down 2"} << 2;
        QTest::newRow("option selected pressed") << QStringList{"Value 1", "down 1"} << 6;
        QTest::newRow("option move, left held") << QStringList{"move 1"} << 2;
        QTest::newRow("option move, right held") << QStringList{"Value 1", "move 2"} << 5;
        QTest::newRow("option release keeps the cell") << QStringList{"down 2", "up 2"} << 2;
        QTest::newRow("option disabled") << QStringList{"Enabled 0"} << 3;
        QTest::newRow("option disabled ignores moves") << QStringList{"Value 1", "Enabled 0", "move 0"} << 7;
        QTest::newRow("check ticked") << QStringList{"Value 1"} << 4;
        QTest::newRow("check mixed hover") << QStringList{"Value 2", "move 0"} << 9;
        QTest::newRow("check mixed pressed") << QStringList{"Value 2", "down 1"} << 10;
        QTest::newRow("check ticked disabled") << QStringList{"Value 1", "Enabled 0"} << 7;
        QTest::newRow("check mixed disabled") << QStringList{"Value 2", "Enabled 0"} << 11;
        QTest::newRow("check mixed enabled again") << QStringList{"Value 2", "Enabled 0", "Enabled 1"} << 8;
        QTest::newRow("check out of range keeps the cell") << QStringList{"Value 2", "Value 5", "move 0"} << 8;
    }

    void faces()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, cell);
        for (const QString& step : steps) {
            const int n = step.section(' ', 1).toInt();
            if (step.startsWith("State") || step.startsWith("Value"))
                set_value(m_control, n);
            else if (step.startsWith("Enabled"))
                set_enabled(m_control, n != 0);
            else if (step.startsWith("move"))
                send_move(m_control, QPoint(3, 3), n);
            else if (step.startsWith("down"))
                QTest::mousePress(m_control, qt_button(n), {}, QPoint(3, 3));
            else if (step.startsWith("up"))
                QTest::mouseRelease(m_control, qt_button(n), {}, QPoint(3, 3));
        }
        QCOMPARE(face(), cell);
        const bool enabled = m_control->Enabled();
        QCOMPARE(lbl(m_control)->text_colour(), enabled ? QColor(0, 0, 0) : QColor(161, 161, 146));
        if (m_kind == button)
            return;
        const QWidget* p = static_cast<indicator_control*>(m_control)->p();
        const QImage shot = m_control->grab().toImage();
        QCOMPARE(p->size(), QSize(16, 16)); // 240 twips
        if (m_kind == option) // the circle's corners show the back colour
            QCOMPARE(QColor(shot.pixel(p->mapTo(m_control, QPoint(12, 0)))), QColor(236, 233, 216));
        else // the square fills its box
            QCOMPARE(cell_of(shot.pixel(p->mapTo(m_control, QPoint(15, 15)))), cell);
    }

    // A move chooses its face by the Button that the host's handler left.
    void move_buttons_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("host_sets");
        for (const char* k : kind_names) {
            for (int bits : {0, 1, 2, 3, 4})
                QTest::addRow("%s, Button %d", k, bits) << bits << -1;
            QTest::addRow("%s, host turns 0 into 1", k) << 0 << 1;
            QTest::addRow("%s, host turns 1 into 3", k) << 1 << 3;
        }
    }

    void move_buttons()
    {
        QFETCH(int, bits);
        QFETCH(int, host_sets);
        if (host_sets >= 0)
            m_control->events().bind(u"MouseMove", [=](event_args& a) { a.button = std::int16_t(host_sets); });
        send_move(m_control, QPoint(6, 7), bits);
        QCOMPARE(m_log, QStringList{QStringLiteral("MouseMove@0 %1 0 6 7").arg(bits)});
        QCOMPARE(face(), (host_sets >= 0 ? host_sets : bits) == 1 ? pressed_cell() : hover_cell());
    }

    // The poll: a point on the right or bottom edge is inside, one pixel
    // beyond is out; MouseOut comes once per run, in each control's order.
    void hover_poll_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<bool>("out");
        for (const char* k : kind_names) {
            const int w = QByteArray(k) == "button" ? 75 : 120, h = QByteArray(k) == "button" ? 23 : 17;
            QTest::addRow("%s, on the right edge", k) << QPoint(w, 5) << false;
            QTest::addRow("%s, on the bottom edge", k) << QPoint(5, h) << false;
            QTest::addRow("%s, one beyond the right", k) << QPoint(w + 1, 5) << true;
            QTest::addRow("%s, one beyond the bottom", k) << QPoint(5, h + 1) << true;
        }
    }

    void hover_poll()
    {
        QFETCH(QPoint, pointer);
        QFETCH(bool, out);
        // The button's poll is stopped at creation, the others' runs.
        QCOMPARE(m_creation_log, m_kind == button ? QStringList{} : QStringList{"MouseOut@0"});
        QVERIFY(!m_control->Timer1().enabled());
        m_control->events().bind(u"MouseOut", [this] { m_log << QStringLiteral("running %1").arg(m_control->Timer1().enabled()); });
        send_move(m_control, QPoint(5, 5));
        m_log.clear();
        placed.at = m_control->mapToGlobal(pointer);
        for (int i = 0; i < 3; ++i)
            m_control->Timer1().tick();
        // The check box draws its rest face before it raises MouseOut.
        const int seen = m_kind == check ? 0 : hover_cell();
        QCOMPARE(m_log, (out ? QStringList{QStringLiteral("MouseOut@%1").arg(seen), "running 0"} : QStringList{}));
        QCOMPARE(face(), out ? 0 : hover_cell());
        // The move's own inside test agrees at the same point.
        m_log.clear();
        send_move(m_control, pointer);
        QCOMPARE(m_log.size(), out ? 0 : 1);
        QVERIFY(m_control->Timer1().enabled());
    }

    // Hover also ends when the pointer is known to have left, though its
    // last position still lies over the control, as Wayland reports it once
    // the pointer has left the program's windows: at the leave event, or at
    // the next tick once the window has seen it go. MouseOut comes once.
    void hover_ends_on_leaving_data()
    {
        QTest::addColumn<bool>("window_left");
        for (const char* k : kind_names) {
            QTest::addRow("%s, left the control", k) << false;
            QTest::addRow("%s, left the window", k) << true;
        }
    }

    void hover_ends_on_leaving()
    {
        QFETCH(bool, window_left);
        const QPoint inside = m_control->mapToGlobal(QPoint(5, 5));
        placed.at = window_left ? std::nullopt : std::optional<QPoint>(inside);
        QCursor::setPos(inside);
        send_move(m_control, QPoint(5, 5));
        m_log.clear();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window_left ? static_cast<QObject*>(m_window->windowHandle()) : m_control, &leave);
        for (int i = 0; i < 3; ++i)
            m_control->Timer1().tick();
        QCOMPARE(m_log.filter(QRegularExpression("^MouseOut")).size(), qsizetype(1));
        QVERIFY(!m_control->Timer1().enabled());
        QCOMPARE(face(), 0);
        // Back over the control, hover starts again.
        const QPointF at = m_control->mapTo(m_window, QPointF(5, 5));
        QEnterEvent enter(at, at, QPointF(inside));
        QApplication::sendEvent(m_window->windowHandle(), &enter);
        send_move(m_control, QPoint(5, 5));
        m_control->Timer1().tick();
        QVERIFY(m_control->Timer1().enabled());
    }

    // The caption label is part of the face: a move over it reports its
    // corner, a press its own coordinates, a click on it clicks. The check
    // box's indicator reports moves in its own coordinates, the option
    // button's at its corner.
    void children_data()
    {
        QTest::addColumn<bool>("over_p");
        for (const char* k : kind_names)
            QTest::addRow("%s, caption label", k) << false;
        QTest::newRow("option, indicator") << true;
        QTest::newRow("check, indicator") << true;
    }

    void children()
    {
        QFETCH(bool, over_p);
        m_control->resize(m_control->width(), 40);
        m_control->on_resize();
        m_control->events().unbind_all();
        record(m_control, false);
        QWidget* child = over_p ? static_cast<QWidget*>(static_cast<indicator_control*>(m_control)->p()) : lbl(m_control);
        const double t = m_kind == button ? 1 : platform::twips_per_pixel_x();
        const QPointF corner = QPointF(child->pos()) * t;
        const QPointF own = m_kind == check && over_p ? QPointF(5, 4) : QPointF(5, 4) * t;
        send_move(child, QPoint(5, 4));
        QTest::mousePress(child, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 4));
        QTest::mouseRelease(child, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 4));
        const QPointF move = m_kind == check && over_p ? own : corner;
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseMove 0 0 %1 %2").arg(move.x()).arg(move.y()),
                                     QStringLiteral("MouseDown 1 2 %1 %2").arg(own.x()).arg(own.y()),
                                     QStringLiteral("MouseUp 1 2 %1 %2").arg(own.x()).arg(own.y()), "Click"}));
    }

    // A click is a left press and release over the same element; the second
    // press of a double click makes none.
    void what_makes_a_click_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("clicks");
        for (const char* k : kind_names) {
            QTest::addRow("%s, left click", k) << "click" << 1;
            QTest::addRow("%s, released outside", k) << "outside" << 0;
            QTest::addRow("%s, right button", k) << "right" << 0;
            QTest::addRow("%s, double click", k) << "double" << 1;
        }
    }

    void what_makes_a_click()
    {
        QFETCH(QString, gesture);
        QFETCH(int, clicks);
        const QPoint in(3, 3), out(m_control->width() + 5, 3);
        QTest::mousePress(m_control, gesture == "right" ? Qt::RightButton : Qt::LeftButton, {}, in);
        QTest::mouseRelease(m_control, gesture == "right" ? Qt::RightButton : Qt::LeftButton, {}, gesture == "outside" ? out : in);
        if (gesture == "double") {
            QTest::mouseDClick(m_control, Qt::LeftButton, {}, in);
            QTest::mouseRelease(m_control, Qt::LeftButton, {}, in);
        }
        QCOMPARE(int(m_log.filter(QRegularExpression("^Click")).size()), clicks);
    }

    // Space clicks every control on its release, with the faces a mouse
    // click shows; Enter clicks the push button alone. Every key still
    // comes back as its events first. The focused control shows its mark.
    void keys_click_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("space");
        QTest::addColumn<QStringList>("enter");
        QTest::addColumn<int>("value_after");
        QTest::newRow("button") << 0 << QStringList{"KeyDown@0 32", "KeyPress@0 32", "KeyUp@1 32", "Click@0"}
                                << QStringList{"KeyDown@0 13", "KeyPress@0 13", "Click@0", "KeyUp@0 13"} << 0;
        QTest::newRow("option") << 0 << QStringList{"KeyDown@0 32", "KeyPress@0 32", "KeyUp@2 32", "Click@2"}
                                << QStringList{"KeyDown@4 13", "KeyPress@4 13", "KeyUp@4 13"} << 1;
        QTest::newRow("check") << 2 << QStringList{"KeyDown@8 32", "KeyPress@8 32", "KeyUp@10 32", "Click@10"}
                               << QStringList{"KeyDown@0 13", "KeyPress@0 13", "KeyUp@0 13"} << 0;
    }

    void keys_click()
    {
        QFETCH(int, value);
        QFETCH(QStringList, space);
        QFETCH(QStringList, enter);
        QFETCH(int, value_after);
        set_value(m_control, value);
        const QImage unfocused = m_control->grab().toImage();
        m_window->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == m_window, 5000);
        m_control->setFocus();
        QVERIFY(m_control->hasFocus());
        QTest::keyClick(m_control, Qt::Key_Space);
        QCOMPARE(m_log, space);
        m_log.clear();
        QTest::keyClick(m_control, Qt::Key_Return);
        QCOMPARE(m_log, enter);
        m_log.clear();
        QTest::keyClick(m_control, Qt::Key_Down);
        QCOMPARE(m_log.size(), 2);
        if (auto* o = qobject_cast<xpradiobutton*>(m_control))
            QCOMPARE(int(o->Value()), value_after);
        else if (auto* c = qobject_cast<xpcheckbox*>(m_control))
            QCOMPARE(c->Value(), value_after);

        // The mark: dots on the face, nowhere else, gone with the focus.
        set_value(m_control, value);
        const QImage focused = m_control->grab().toImage();
        QRect marked;
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x)
                if (focused.pixel(x, y) != unfocused.pixel(x, y)) {
                    QCOMPARE(focused.pixel(x, y), qRgb(0, 0, 0));
                    marked |= QRect(x, y, 1, 1);
                }
        const QRect around = m_kind == button ? m_control->rect().adjusted(4, 4, -4, -4)
                                              : lbl(m_control)->geometry().adjusted(-1, -1, 1, 1);
        QCOMPARE(marked, around);
        m_control->clearFocus();
        QCOMPARE(m_control->grab().toImage(), unfocused);
    }

    // What a screen reader reads and does: the role of the system control,
    // the caption as the name, the checked state, and a press that clicks
    // as the mouse does. The caption buttons, which have no caption, are
    // named as the system names them.
    void accessible_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("checked_after_press");
        QTest::addColumn<int>("value_after_press");
        QTest::newRow("button") << int(QAccessible::Button) << false << 0;
        QTest::newRow("option") << int(QAccessible::RadioButton) << true << 1;
        QTest::newRow("check") << int(QAccessible::CheckBox) << true << 1;
    }

    void accessible()
    {
        QFETCH(int, role);
        QFETCH(bool, checked_after_press);
        QFETCH(int, value_after_press);
        lbl(m_control)->set_caption(QStringLiteral("修改(&M)"));
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(m_control);
        QVERIFY(read);
        QCOMPARE(int(read->role()), role);
        QCOMPARE(read->text(QAccessible::Name), QStringLiteral("修改(M)"));
        QCOMPARE(bool(read->state().checkable), m_kind != button);
        QVERIFY(!read->state().checked);
        QAccessibleActionInterface* act = read->actionInterface();
        QVERIFY(act && act->actionNames().contains(QAccessibleActionInterface::pressAction()));
        act->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_log.filter(QRegularExpression("^Click")).size(), qsizetype(1));
        QCOMPARE(bool(read->state().checked), checked_after_press);
        if (auto* c = qobject_cast<xpcheckbox*>(m_control)) {
            QCOMPARE(c->Value(), value_after_press);
            c->set_Value(2);
            QVERIFY(read->state().checkStateMixed);
        }

        xptopbuttons close(m_window, pictures, placed);
        xphelp help(m_window, pictures, placed);
        QCOMPARE(QAccessible::queryAccessibleInterface(&close)->text(QAccessible::Name), QStringLiteral("关闭"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&help)->text(QAccessible::Name), QStringLiteral("帮助"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&help)->role(), QAccessible::Button);
    }

    // Save, load into a new control, save again: the same keys come back;
    // values equal to their defaults store nothing.
    void stored_properties_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("keys");
        QTest::newRow("button defaults") << false << 0;
        QTest::newRow("option defaults") << false << 0;
        QTest::newRow("check defaults") << false << 0;
        QTest::newRow("button changed") << true << 4;
        QTest::newRow("option changed") << true << 6;
        QTest::newRow("check changed, out-of-range value") << true << 6;
    }

    void stored_properties()
    {
        QFETCH(bool, changed);
        QFETCH(int, keys);
        platform::property_bag& bag = *m_bags.front();
        QCOMPARE(lbl(m_control)->caption(), QStringLiteral("Check1")); // the instance's name
        if (changed) {
            set_value(m_control, m_kind == check ? 5 : 1);
            lbl(m_control)->set_caption(QStringLiteral("查询"));
            set_enabled(m_control, false);
            if (auto* b = qobject_cast<xpcmdbutton*>(m_control))
                b->set_Font(QFont(QStringLiteral("宋体"), 14, QFont::Bold));
            else {
                auto* i = static_cast<indicator_control*>(m_control);
                i->set_Font(QFont(QStringLiteral("宋体"), 14, QFont::Bold));
                i->set_BackColor(rgb(224, 224, 224));
                i->set_ForeColor(rgb(0, 70, 213));
            }
        }
        m_control->save();
        QCOMPARE(bag.size(), keys);

        platform::property_bag copy = bag, again = bag;
        hover_control* loaded = make(m_kind, m_window, QStringLiteral("Check1"), QRect(10, 100, 120, 23));
        loaded->place(&copy, placement::load);
        again = platform::property_bag{};
        again.ambient_display_name = bag.ambient_display_name;
        again.ambient_font = bag.ambient_font;
        loaded->attach(&again);
        loaded->save();
        QCOMPARE(again.size(), keys);
        for (const char* key : {"State", "Value", "Caption", "Enabled", "Font", "BackColor", "ForeColor"})
            QCOMPARE(again.read(key, QVariant()), bag.read(key, QVariant()));
        QCOMPARE(face(loaded), !changed ? 0 : m_kind == button ? 2 : m_kind == option ? 7 : 0);

        // Stored design data spells its keys in lower case.
        platform::property_bag lower;
        lower.write("caption", QStringLiteral("包含"), QString());
        loaded->place(&lower, placement::load);
        QCOMPARE(lbl(loaded)->caption(), QStringLiteral("包含"));
    }

    // All option buttons of the host window form one group, whichever
    // container holds them; another window's buttons, an owned window's
    // included, are left alone. Click comes first, with the old values.
    void option_group_is_the_window()
    {
        auto* frame1 = new QWidget(m_window);
        auto* frame2 = new QWidget(frame1);
        auto* check1 = static_cast<xpradiobutton*>(make(option, m_window, "Check1", {10, 40, 120, 17}));
        auto* check2 = static_cast<xpradiobutton*>(make(option, frame1, "Check2", {5, 5, 120, 17}));
        auto* check3 = static_cast<xpradiobutton*>(make(option, frame2, "Check3", {5, 5, 120, 17}));
        QWidget other;
        auto* elsewhere = static_cast<xpradiobutton*>(make(option, &other, "Other1", {0, 0, 120, 17}));
        auto* owned = static_cast<xpradiobutton*>(make(option, new QWidget(m_window, Qt::Window), "Owned1", {0, 0, 120, 17}));
        frame1->setGeometry(0, 60, 200, 100);
        frame2->setGeometry(0, 40, 200, 50);
        frame1->show();
        frame2->show();
        for (xpradiobutton* b : {check3, elsewhere, owned})
            b->set_Value(true);
        QStringList seen;
        for (xpradiobutton* b : {check1, check2, check3, elsewhere, owned})
            b->events().bind(u"Click", [&, b] {
                seen << QStringLiteral("%1 %2%3%4").arg(b->Caption()).arg(check1->Value()).arg(check2->Value()).arg(check3->Value());
            });
        QStringList changed;
        for (auto& bag : m_bags)
            bag->on_property_changed = [&, name = bag->ambient_display_name](const QString& p) { changed << name + " " + p; };

        QTest::mouseClick(lbl(check2), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(check2, Qt::LeftButton, {}, QPoint(50, 8)); // already selected: stays so
        QCOMPARE(seen, (QStringList{"Check2 001", "Check2 010"}));
        QCOMPARE(QList<bool>({check1->Value(), check2->Value(), check3->Value(), elsewhere->Value(), owned->Value()}),
                 QList<bool>({false, true, false, true, true}));
        QCOMPARE(face(check2), 4);
        QCOMPARE(face(check3), 0);
        // Each option button of the window is cleared, then the clicked one set.
        QCOMPARE(changed.size(), 8);
        QCOMPARE(changed.last(), QStringLiteral("Check2 Value"));
        changed = changed.mid(0, 3);
        changed.sort();
        QCOMPARE(changed, (QStringList{"Check1 Value", "Check2 Value", "Check3 Value"}));

        // Value from code changes one button and raises nothing.
        check1->set_Value(true);
        QVERIFY(check1->Value() && check2->Value());
        QCOMPARE(seen.size(), 2);
    }

    // Children are centred by halving the difference in twips, remainder
    // dropped, then placed at the nearest pixel; a control lower than a child
    // puts it above its top edge.
    void option_layout_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("label_height");
        QTest::addColumn<int>("p_top");
        QTest::addColumn<int>("label_top");
        QTest::newRow("option 255 twips: p at 7, a 180-twip label at 37") << 17 << 12 << qRound(7 / 15.0) << qRound(37 / 15.0);
        QTest::newRow("option 600 twips") << 40 << 12 << 12 << 14;
        QTest::newRow("option 285 twips, odd differences") << 19 << 13 << qRound(22 / 15.0) << qRound(45 / 15.0);
        QTest::newRow("option lower than its children") << 10 << 12 << -3 << -1;
        QTest::newRow("check 600 twips") << 40 << 12 << 12 << 14;
    }

    void option_layout()
    {
        QFETCH(int, height);
        QFETCH(int, label_height);
        QFETCH(int, p_top);
        QFETCH(int, label_top);
        auto* c = static_cast<indicator_control*>(m_control);
        c->lbl()->setFixedHeight(label_height);
        c->resize(120, height);
        c->on_resize();
        QCOMPARE(c->p()->geometry(), QRect(0, p_top, 16, 16));
        QCOMPARE(c->lbl()->pos(), QPoint(32, label_top));
        // Twips after a layout, pixels from the next tick on.
        QCOMPARE(c->unit(), scale_unit::twips);
        send_move(c, QPoint(5, 6));
        placed.at = c->mapToGlobal(QPoint(5, 6));
        c->Timer1().tick();
        QCOMPARE(c->unit(), scale_unit::pixels);
        send_move(c, QPoint(5, 6));
        QCOMPARE(m_log, (QStringList{"MouseMove@0 0 0 75 90", "MouseMove@1 0 0 5 6"}));
    }

    // Clicks cycle 0 and 1; mixed goes to 0; other values stay. The host's
    // Click handler sees the old value.
    void check_click_cycle_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("check from cleared") << 0 << QList<int>{1, 0, 1};
        QTest::newRow("check from mixed") << 2 << QList<int>{0, 1};
        QTest::newRow("check out of range") << 5 << QList<int>{5, 5};
        QTest::newRow("check negative") << -1 << QList<int>{-1};
    }

    void check_click_cycle()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, values);
        auto* box = static_cast<xpcheckbox*>(m_control);
        auto* neighbour = static_cast<xpcheckbox*>(make(check, m_window, "Check2", {10, 60, 120, 17}));
        box->set_Value(start);
        QList<int> seen, after;
        box->events().bind(u"Click", [&] { seen << box->Value(); });
        for (int i = 0; i < values.size(); ++i) {
            QTest::mouseClick(i % 2 ? static_cast<QWidget*>(box->lbl()) : box->p(), Qt::LeftButton, {}, QPoint(2, 2));
            after << box->Value();
        }
        QCOMPARE(after, values);
        QCOMPARE(seen, QList<int>{start} + values.mid(0, values.size() - 1));
        QCOMPARE(neighbour->Value(), 0);
    }

    // The check box's list of stored properties, round trip: a new box is
    // given its defaults in the new-instance order, a changed one saves every
    // row under its key, and a copy loaded in the load order reads back each
    // row's value.
    void check_stored_property_list_round_trip()
    {
        platform::property_bag bag;
        bag.ambient_display_name = QStringLiteral("Check2");
        bag.ambient_font = QFont(QStringLiteral("宋体"), 10.5);
        QStringList notified;
        bag.on_property_changed = [&](const QString& p) { notified << p; };
        xpcheckbox original(m_window, pictures, placed);
        original.place(&bag, placement::new_instance);
        QCOMPARE(notified, (QStringList{"Caption", "Value", "Font", "BackColor", "ForeColor"}));

        original.set_Value(2);
        original.set_Caption(QStringLiteral("全部"));
        original.set_Enabled(false);
        original.set_Font(QFont(QStringLiteral("宋体"), 14, QFont::Bold));
        original.set_BackColor(rgb(1, 2, 3));
        original.set_ForeColor(rgb(4, 5, 6));
        platform::property_bag saved;
        saved.ambient_display_name = bag.ambient_display_name;
        saved.ambient_font = bag.ambient_font;
        original.attach(&saved);
        original.save();
        const auto rows = original.stored_properties();
        QCOMPARE(saved.size(), int(rows.size()));
        for (const stored_property& row : rows)
            QCOMPARE(saved.read(QLatin1String(row.key), QVariant()), row.get(original));

        notified.clear();
        saved.on_property_changed = [&](const QString& p) { notified << p; };
        xpcheckbox copy(m_window, pictures, placed);
        copy.place(&saved, placement::load);
        QCOMPARE(notified, (QStringList{"Value", "Caption", "Font", "BackColor", "ForeColor"}));
        for (const stored_property& row : rows)
            QCOMPARE(row.get(copy), row.get(original));
        QCOMPARE(copy.shown_cell(), 11);
    }

    void button_inner_height_rounds_half_to_even()
    {
        QCOMPARE(nine_slice_pieces(40, 20.5)[8].destination, QRectF(3, 3, 34, 14));
        QCOMPARE(nine_slice_pieces(40, 21.5)[6].destination, QRectF(0, 3, 3, 16));
    }

    // Where in the cell each pixel of a painted face comes from: corners
    // unscaled, edges stretched along their length, both ends exact.
    void button_pieces_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QPoint>("source");
        const QSize s(75, 23), tiny(6, 6);
        const QList<std::tuple<QSize, QPoint, QPoint>> rows{
            {s, {0, 0}, {0, 0}},       {s, {2, 2}, {2, 2}},       {s, {72, 0}, {15, 0}},    {s, {74, 22}, {17, 20}},
            {s, {0, 20}, {0, 18}},     {s, {3, 0}, {3, 0}},       {s, {71, 2}, {14, 2}},    {s, {73, 3}, {16, 3}},
            {s, {74, 19}, {17, 17}},   {s, {0, 19}, {0, 17}},     {s, {40, 20}, {9, 18}},   {s, {3, 3}, {3, 3}},
            {s, {71, 19}, {14, 17}},   {tiny, {2, 2}, {2, 2}},    {tiny, {3, 0}, {15, 0}},  {tiny, {5, 5}, {17, 20}},
            {tiny, {0, 3}, {0, 18}},   {tiny, {3, 2}, {15, 2}}};
        for (const auto& [size, pixel, source] : rows)
            QTest::addRow("button %dx%d at %d,%d", size.width(), size.height(), pixel.x(), pixel.y()) << size << pixel << source;
    }

    void button_pieces()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, pixel);
        QFETCH(QPoint, source);
        lbl(m_control)->hide(); // the caption lies above the face
        m_control->resize(size);
        const QRgb shown = m_control->grab().toImage().pixel(pixel);
        QCOMPARE(source_of(shown), source);
        QCOMPARE(cell_of(shown), 0);
    }

    // A whole click and the pointer's leaving, with the face at each event.
    void button_click_sequence()
    {
        send_move(m_control, QPoint(30, 10));
        QTest::mousePress(m_control, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseRelease(m_control, Qt::LeftButton, {}, QPoint(30, 10));
        placed.at = m_control->mapToGlobal(QPoint(76, 23));
        send_move(m_control, QPoint(30, 10));
        m_control->Timer1().tick();
        QCOMPARE(m_log, (QStringList{"MouseMove@0 0 0 30 10", "MouseDown@3 1 0 30 10", "MouseUp@1 1 0 30 10", "Click@0",
                                     "MouseMove@0 0 0 30 10", "MouseOut@3"}));
        QCOMPARE(face(), 0);
        auto* b = static_cast<xpcmdbutton*>(m_control);
        QVERIFY(qAbs(b->lbl()->x() - (75 - b->lbl()->width()) / 2.0) <= 0.5); // the caption is centred
        QVERIFY(qAbs(b->lbl()->y() - (23 - b->lbl()->height()) / 2.0) <= 0.5);
    }

    // The access key clicks, with no mouse event and no change of face.
    void button_access_key()
    {
        auto* b = static_cast<xpcmdbutton*>(m_control);
        b->set_Caption(QStringLiteral("修改(&M)"));
        // Activation runs the event loop, so it comes before the poll starts.
        b->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == m_window, 5000);
        send_move(b, QPoint(30, 10));
        m_log.clear();
        QTest::keyClick(m_window, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(m_log, QStringList{"Click@3"});
    }
};

QTEST_MAIN(tst_controls)
#include "tst_controls.moc"
