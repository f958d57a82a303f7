// The two title-bar buttons, xptopbuttons and xphelp, on real widgets with
// stand-in strips: faces by pixel, the fixed size, the poll and the
// pointer's leaving, events and their order, Value and Enabled of the
// caption button, the stored properties of both. The poll is driven by hand
// through Timer1.tick(), except where the test is that it runs on its own.

#include "controls/xphelp.h"
#include "controls/xptopbuttons.h"
#include "platform/pictures.h"
#include "platform/pointer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <memory>

using namespace controls;

namespace {

// Strips 0 to 3 are the caption button's kinds; strip 4 stands for the
// help button's picture. Every cell is one colour: red tells the strip,
// green the cell.
constexpr int help_strip = 4;

QRgb cell_colour(int strip, int cell)
{
    return qRgb(40 + 50 * strip, 40 + 50 * cell, 200);
}

QImage stand_in_strip(int strip, int cells)
{
    QImage image(21 * cells, 21, QImage::Format_ARGB32);
    for (int cell = 0; cell < cells; ++cell)
        for (int x = 0; x < 21; ++x)
            for (int y = 0; y < 21; ++y)
                image.setPixel(21 * cell + x, y, cell_colour(strip, cell));
    return image;
}

struct face {
    int strip = -1;
    int cell = -1;
    friend bool operator==(const face&, const face&) = default;
};

char* toString(const face& f)
{
    return QTest::toString(QStringLiteral("strip %1 cell %2").arg(f.strip).arg(f.cell));
}

// The face a control shows, provided that one cell covers it corner to
// corner; {-1, -1} otherwise.
face face_of(QWidget* w)
{
    const QImage shot = w->grab().toImage();
    if (shot.size() != QSize(21, 21))
        return {};
    const QRgb first = shot.pixel(0, 0);
    for (const QPoint p : {QPoint(20, 0), QPoint(0, 20), QPoint(20, 20), QPoint(10, 10)})
        if (shot.pixel(p) != first)
            return {};
    const int r = qRed(first) - 40;
    const int g = qGreen(first) - 40;
    if (qBlue(first) != 200 || r < 0 || g < 0 || r % 50 || g % 50)
        return {};
    return {r / 50, g / 50};
}

void send_move(QWidget* w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent me(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton, buttons,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &me);
}

void put_pointer(const QWidget* w, QPoint client)
{
    platform::set_cursor_pos_override(w->mapToGlobal(client));
}

const QPoint far_away(-500, -500);

} // namespace

Q_DECLARE_METATYPE(face)

class tst_caption_buttons : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    platform::property_bag m_bag;
    QStringList m_log;

    // A new caption button ("close", "minimize") or help button ("help") on
    // the test window, placed as new and shown.
    caption_button* make(const QString& kind, QWidget* parent = nullptr)
    {
        QWidget* host = parent ? parent : m_window.get();
        caption_button* button = kind == QLatin1String("help") ? static_cast<caption_button*>(new xphelp(host))
                                                               : new xptopbuttons(host);
        button->place(&m_bag, placement::new_instance);
        if (kind == QLatin1String("minimize"))
            static_cast<xptopbuttons*>(button)->set_Value(2);
        button->move(40, 30);
        button->show();
        return button;
    }

    // Logs each event with the face on screen, and whether the poll runs,
    // while the host's handler runs.
    void record(caption_button* button)
    {
        for (const char* name : {"Click", "MouseDown", "MouseMove", "MouseUp", "MouseOut"})
            QVERIFY(button->events().bind(QLatin1String(name), [this, button, name](event_args& a) {
                const face f = face_of(button);
                QString entry = QStringLiteral("%1@%2.%3").arg(QLatin1String(name)).arg(f.strip).arg(f.cell);
                if (QLatin1String(name).startsWith(QLatin1String("MouseO")))
                    entry += button->Timer1.enabled() ? QStringLiteral(" polling") : QString();
                else if (QLatin1String(name).startsWith(QLatin1String("Mouse")))
                    entry += QStringLiteral(" %1 %2 %3 %4").arg(a.button).arg(a.shift).arg(a.x).arg(a.y);
                m_log << entry;
            }));
    }

    static void add_kind_column()
    {
        QTest::addColumn<QString>("kind");
    }

private slots:
    void initTestCase()
    {
        const char* names[] = {"caption_close", "caption_maximize", "caption_minimize", "caption_restore"};
        for (int strip = 0; strip < 4; ++strip)
            platform::set_picture_override(QLatin1String(names[strip]), stand_in_strip(strip, 4));
        platform::set_picture_override(QStringLiteral("help"), stand_in_strip(help_strip, 3));
    }

    void init()
    {
        m_log.clear();
        m_bag = {};
        m_bag.ambient_display_name = QStringLiteral("xptopbuttons1");
        platform::set_cursor_pos_override(far_away);
        m_window = std::make_unique<QWidget>();
        m_window->setGeometry(50, 50, 300, 200);
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        platform::set_cursor_pos_override(std::nullopt);
    }

    // --- What both buttons share ------------------------------------------------

    void fixed_size_data()
    {
        add_kind_column();
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<bool>("visible");
        QTest::newRow("close, larger") << "close" << QSize(60, 40) << true;
        QTest::newRow("close, smaller") << "close" << QSize(10, 12) << true;
        QTest::newRow("close, wide only") << "close" << QSize(300, 21) << true;
        QTest::newRow("close, hidden until shown") << "close" << QSize(60, 40) << false;
        QTest::newRow("help, larger") << "help" << QSize(45, 30) << true;
        QTest::newRow("help, tall only") << "help" << QSize(21, 100) << true;
        QTest::newRow("help, hidden until shown") << "help" << QSize(8, 8) << false;
    }

    // Whatever size the host asks for, the next resize gives 315 x 315 twips
    // back, and the face still covers the control.
    void fixed_size()
    {
        QFETCH(QString, kind);
        QFETCH(QSize, asked);
        QFETCH(bool, visible);
        caption_button* button = make(kind);
        QCOMPARE(button->size(), QSize(21, 21));
        if (!visible)
            button->hide();
        button->resize(asked);
        if (!visible)
            button->show();
        QCOMPARE(button->size(), QSize(21, 21));
        QCOMPARE(face_of(button).cell, 0);
        button->setGeometry(5, 6, asked.width(), asked.height());
        QCOMPARE(button->geometry(), QRect(5, 6, 21, 21));
    }

    // The poll compares the pointer with the client area 0..21, edges
    // included: one pixel further is outside.
    void leave_by_one_pixel_data()
    {
        add_kind_column();
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<bool>("out");
        for (const char* kind : {"close", "help"}) {
            const QString k = QLatin1String(kind);
            QTest::addRow("%s, x = 21", kind) << k << QPoint(21, 10) << false;
            QTest::addRow("%s, x = 22", kind) << k << QPoint(22, 10) << true;
            QTest::addRow("%s, y = 21", kind) << k << QPoint(10, 21) << false;
            QTest::addRow("%s, y = 22", kind) << k << QPoint(10, 22) << true;
            QTest::addRow("%s, corner 21, 21", kind) << k << QPoint(21, 21) << false;
            QTest::addRow("%s, x = -1", kind) << k << QPoint(-1, 10) << true;
            QTest::addRow("%s, y = -1", kind) << k << QPoint(10, -1) << true;
        }
    }

    void leave_by_one_pixel()
    {
        QFETCH(QString, kind);
        QFETCH(QPoint, pointer);
        QFETCH(bool, out);
        caption_button* button = make(kind);
        button->Timer1.tick(); // the creation's MouseOut, with the pointer far away
        record(button);
        send_move(button, QPoint(10, 10));
        m_log.clear();
        put_pointer(button, pointer);
        button->Timer1.tick();
        button->Timer1.tick();
        const int strip = kind == QLatin1String("help") ? help_strip : 0;
        QCOMPARE(m_log, out ? QStringList{QStringLiteral("MouseOut@%1.1").arg(strip)} : QStringList{});
        QCOMPARE(face_of(button), (face{strip, out ? 0 : 1}));
        QCOMPARE(button->Timer1.enabled(), !out);
    }

    // No move is needed: the poll runs from creation, on the clock, and its
    // first tick away from the pointer raises one MouseOut.
    void poll_runs_from_creation_data()
    {
        add_kind_column();
        QTest::newRow("caption button") << "close";
        QTest::newRow("help button") << "help";
    }

    void poll_runs_from_creation()
    {
        QFETCH(QString, kind);
        std::unique_ptr<caption_button> button;
        if (kind == QLatin1String("help"))
            button = std::make_unique<xphelp>();
        else
            button = std::make_unique<xptopbuttons>();
        QVERIFY(button->Timer1.enabled());
        QCOMPARE(button->Timer1.interval(), 10);
        int outs = 0;
        button->events().bind(u"MouseOut", [&] { ++outs; });
        QTRY_VERIFY_WITH_TIMEOUT(!button->Timer1.enabled(), 10000);
        QCOMPARE(outs, 1);
        button->Timer1.tick(); // a stopped poll raises nothing more
        QCOMPARE(outs, 1);
    }

    // Press, release, click; the face is read while each handler runs.
    void event_order_data()
    {
        add_kind_column();
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("close, left") << "close" << int(Qt::LeftButton)
                                     << QStringList{"MouseDown@0.2 1 0 7 9", "MouseUp@0.0 1 0 7 9", "Click@0.0"};
        QTest::newRow("minimize, left") << "minimize" << int(Qt::LeftButton)
                                        << QStringList{"MouseDown@2.2 1 2 7 9", "MouseUp@2.0 1 2 7 9", "Click@2.0"};
        QTest::newRow("close, right: pressed face, no click")
            << "close" << int(Qt::RightButton) << QStringList{"MouseDown@0.2 2 0 7 9", "MouseUp@0.0 2 0 7 9"};
        QTest::newRow("help, left: the release keeps the pressed face")
            << "help" << int(Qt::LeftButton) << QStringList{"MouseDown@4.2 1 0 7 9", "MouseUp@4.2 1 0 7 9", "Click@4.0"};
        QTest::newRow("help, right") << "help" << int(Qt::RightButton)
                                     << QStringList{"MouseDown@4.2 2 0 7 9", "MouseUp@4.2 2 0 7 9"};
    }

    void event_order()
    {
        QFETCH(QString, kind);
        QFETCH(int, button);
        QFETCH(QStringList, log);
        caption_button* control = make(kind);
        record(control);
        const Qt::KeyboardModifiers shift = kind == QLatin1String("minimize") ? Qt::ControlModifier : Qt::NoModifier;
        QTest::mousePress(control, Qt::MouseButton(button), shift, QPoint(7, 9));
        QTest::mouseRelease(control, Qt::MouseButton(button), shift, QPoint(7, 9));
        QCOMPARE(m_log, log);
        // Whatever the release left, the click shows the normal face.
        if (log.size() == 3)
            QCOMPARE(face_of(control).cell, 0);
    }

    // Moves choose the face by the Button the host's handler leaves.
    void move_faces_data()
    {
        add_kind_column();
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("moves");
        for (const char* kind : {"minimize", "help"}) {
            const QString k = QLatin1String(kind);
            QTest::addRow("%s, no button", kind) << k << int(Qt::NoButton) << QPoint(5, 5) << 1 << 1;
            QTest::addRow("%s, left", kind) << k << int(Qt::LeftButton) << QPoint(5, 5) << 2 << 1;
            QTest::addRow("%s, left and right", kind) << k << int(Qt::LeftButton | Qt::RightButton) << QPoint(5, 5) << 1 << 1;
            QTest::addRow("%s, on the far edge", kind) << k << int(Qt::NoButton) << QPoint(21, 21) << 1 << 1;
            QTest::addRow("%s, outside: poll only", kind) << k << int(Qt::LeftButton) << QPoint(30, 5) << 0 << 0;
        }
    }

    void move_faces()
    {
        QFETCH(QString, kind);
        QFETCH(int, buttons);
        QFETCH(QPoint, at);
        QFETCH(int, cell);
        QFETCH(int, moves);
        caption_button* control = make(kind);
        control->Timer1.tick();
        QVERIFY(!control->Timer1.enabled());
        record(control);
        send_move(control, at, Qt::MouseButtons(buttons));
        QCOMPARE(face_of(control).cell, cell);
        QCOMPARE(int(m_log.size()), moves);
        QVERIFY(control->Timer1.enabled());
    }

    // A press dragged out and released there: no click. The face left by the
    // release stays until the poll sees the pointer gone.
    void press_released_outside_data()
    {
        add_kind_column();
        QTest::addColumn<int>("after_release");
        QTest::newRow("close") << "close" << 0;
        QTest::newRow("help") << "help" << 2;
    }

    void press_released_outside()
    {
        QFETCH(QString, kind);
        QFETCH(int, after_release);
        caption_button* control = make(kind);
        control->Timer1.tick();
        record(control);
        const int strip = kind == QLatin1String("help") ? help_strip : 0;
        QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
        send_move(control, QPoint(40, 10), Qt::LeftButton); // outside: starts the poll, no face
        QCOMPARE(face_of(control).cell, 2);
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(40, 10));
        QCOMPARE(face_of(control).cell, after_release);
        put_pointer(control, QPoint(40, 10));
        control->Timer1.tick();
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseDown@%1.2 1 0 10 10").arg(strip),
                                     QStringLiteral("MouseUp@%1.%2 1 0 40 10").arg(strip).arg(after_release),
                                     QStringLiteral("MouseOut@%1.%2").arg(strip).arg(after_release)}));
        QCOMPARE(face_of(control), (face{strip, 0}));
    }

    // The second press of a double click raises nothing and changes no
    // face; the release after it raises MouseUp but no Click.
    void double_click_does_nothing_data()
    {
        add_kind_column();
        QTest::newRow("close") << "close";
        QTest::newRow("help") << "help";
    }

    void double_click_does_nothing()
    {
        QFETCH(QString, kind);
        caption_button* control = make(kind);
        send_move(control, QPoint(5, 5));
        record(control);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(control->mapToGlobal(QPoint(5, 5))),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control, &dbl);
        QCOMPARE(m_log, QStringList{});
        QCOMPARE(face_of(control).cell, 1);
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(int(m_log.size()), 1);
        QVERIFY(m_log.first().startsWith(QLatin1String("MouseUp@")));
    }

    // --- The caption button --------------------------------------------------------

    // Value picks the strip; values outside 0..3 are kept but leave the strip
    // alone; Enabled shows cell 0 or 3 of the strip in use.
    void caption_faces_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<face>("shown");
        QTest::addColumn<int>("value");
        QTest::newRow("new: close") << QStringList{} << face{0, 0} << 0;
        QTest::newRow("maximize") << QStringList{"Value 1"} << face{1, 0} << 1;
        QTest::newRow("minimize at once") << QStringList{"Value 2"} << face{2, 0} << 2;
        QTest::newRow("restore") << QStringList{"Value 3"} << face{3, 0} << 3;
        QTest::newRow("9 after 2 keeps minimize") << QStringList{"Value 2", "Value 9"} << face{2, 0} << 9;
        QTest::newRow("-1 from new keeps close") << QStringList{"Value -1"} << face{0, 0} << -1;
        QTest::newRow("disabled restore") << QStringList{"Value 3", "Enabled 0"} << face{3, 3} << 3;
        QTest::newRow("Value while disabled") << QStringList{"Enabled 0", "Value 1"} << face{1, 3} << 1;
        QTest::newRow("enabled again") << QStringList{"Value 2", "Enabled 0", "Enabled 1"} << face{2, 0} << 2;
        QTest::newRow("hover, then leaving") << QStringList{"Value 1", "hover", "leave"} << face{1, 0} << 1;
        QTest::newRow("leaving a disabled button changes nothing")
            << QStringList{"Value 1", "hover", "Enabled 0", "leave"} << face{1, 3} << 1;
        QTest::newRow("Enabled on a hovered button") << QStringList{"hover", "Enabled 1"} << face{0, 0} << 0;
    }

    void caption_faces()
    {
        QFETCH(QStringList, steps);
        QFETCH(face, shown);
        QFETCH(int, value);
        auto* button = static_cast<xptopbuttons*>(make(QStringLiteral("close")));
        int outs = 0;
        button->events().bind(u"MouseOut", [&] { ++outs; });
        button->Timer1.tick();
        for (const QString& step : steps) {
            const QStringList words = step.split(u' ');
            if (words[0] == QLatin1String("Value"))
                button->set_Value(words[1].toInt());
            else if (words[0] == QLatin1String("Enabled"))
                button->set_Enabled(words[1] == QLatin1String("1"));
            else if (words[0] == QLatin1String("hover"))
                send_move(button, QPoint(5, 5));
            else if (words[0] == QLatin1String("leave"))
                button->Timer1.tick();
        }
        QCOMPARE(face_of(button), shown);
        QCOMPARE(button->Value(), value);
        QCOMPARE(outs, 1 + int(steps.count(QStringLiteral("leave"))));
    }

    // A loaded Value reaches the face only at the show; until then the
    // button draws with the strip it has, Enabled included.
    void loaded_value_takes_effect_at_show_data()
    {
        QTest::addColumn<int>("stored_value");
        QTest::addColumn<bool>("stored_enabled");
        QTest::addColumn<bool>("disable_before_show");
        QTest::addColumn<face>("before");
        QTest::addColumn<face>("after");
        QTest::newRow("maximize") << 1 << true << false << face{0, 0} << face{1, 0};
        QTest::newRow("stored disabled") << 1 << false << false << face{0, 3} << face{1, 3};
        QTest::newRow("Enabled before the show keeps close") << 3 << true << true << face{0, 3} << face{3, 3};
        QTest::newRow("out of range") << 7 << true << false << face{0, 0} << face{0, 0};
    }

    void loaded_value_takes_effect_at_show()
    {
        QFETCH(int, stored_value);
        QFETCH(bool, stored_enabled);
        QFETCH(bool, disable_before_show);
        QFETCH(face, before);
        QFETCH(face, after);
        m_bag.write(QStringLiteral("value"), stored_value, 0);
        m_bag.write(QStringLiteral("enabled"), stored_enabled, true);
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        auto* button = new xptopbuttons(m_window.get());
        button->place(&m_bag, placement::load);
        if (disable_before_show)
            button->set_Enabled(false);
        QCOMPARE(face_of(button), before);
        QCOMPARE(button->Value(), stored_value);
        button->show();
        QCOMPARE(face_of(button), after);
        QCOMPARE(notified, QStringList{});
    }

    // Value tells the host of a change, Enabled does not; both are stored
    // only when they differ from 0 and true, and load back unchanged.
    void caption_stored_properties_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("defaults") << 0 << true << QStringList{};
        QTest::newRow("minimize") << 2 << true << QStringList{"value"};
        QTest::newRow("out of range, disabled") << 9 << false << QStringList{"value", "enabled"};
        QTest::newRow("negative") << -4 << true << QStringList{"value"};
    }

    void caption_stored_properties()
    {
        QFETCH(int, value);
        QFETCH(bool, enabled);
        QFETCH(QStringList, stored);
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        auto* button = new xptopbuttons(m_window.get());
        button->place(&m_bag, placement::new_instance);
        QCOMPARE(notified, QStringList{"Value"});
        button->set_Value(value);
        button->set_Enabled(enabled);
        QCOMPARE(notified, (QStringList{"Value", "Value"}));
        platform::property_bag saved;
        button->attach(&saved);
        button->save();
        QCOMPARE(saved.size(), int(stored.size()));
        for (const QString& key : stored)
            QVERIFY(saved.contains(key));
        xptopbuttons copy(m_window.get());
        copy.place(&saved, placement::load);
        copy.show();
        QCOMPARE(copy.Value(), value);
        QCOMPARE(copy.Enabled(), enabled);
        QCOMPARE(face_of(&copy), face_of(button));
    }

    // --- The help button -------------------------------------------------------------

    // Stored disabled, it loads disabled: no mouse input reaches it, and it
    // keeps the normal face through the pointer's leaving.
    void help_stored_enabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("enabled") << true;
        QTest::newRow("disabled") << false;
    }

    void help_stored_enabled()
    {
        QFETCH(bool, enabled);
        m_bag.write(QStringLiteral("Enabled"), enabled, true);
        auto* help = new xphelp(m_window.get());
        help->place(&m_bag, placement::load);
        help->move(100, 10);
        help->show();
        QCOMPARE(help->Enabled(), enabled);
        record(help);
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, QPoint(105, 15));
        help->Timer1.tick();
        QCOMPARE(face_of(help), (face{help_strip, 0}));
        if (enabled)
            QCOMPARE(m_log, (QStringList{"MouseMove@4.0 0 0 5 5", "MouseDown@4.2 1 0 5 5", "MouseUp@4.2 1 0 5 5",
                                         "Click@4.0", "MouseOut@4.0"}));
        else
            QCOMPARE(m_log, QStringList{"MouseOut@4.0"});
        platform::property_bag saved;
        help->attach(&saved);
        help->save();
        QCOMPARE(saved.contains(QStringLiteral("enabled")), !enabled);
    }

    // --- The real art ----------------------------------------------------------------

    // With the pictures that ship, each face is its cell of the right strip,
    // pixel for pixel.
    void real_art_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("cells");
        QTest::addColumn<int>("value");
        QTest::newRow("close") << "close" << "caption_close" << 4 << 0;
        QTest::newRow("maximize") << "close" << "caption_maximize" << 4 << 1;
        QTest::newRow("minimize") << "close" << "caption_minimize" << 4 << 2;
        QTest::newRow("restore") << "close" << "caption_restore" << 4 << 3;
        QTest::newRow("help") << "help" << "help" << 3 << -1;
    }

    void real_art()
    {
        QFETCH(QString, kind);
        QFETCH(QString, picture);
        QFETCH(int, cells);
        QFETCH(int, value);
        const QImage stand_in = platform::picture(picture);
        platform::set_picture_override(picture, QImage());
        const QImage strip = platform::picture(picture);
        caption_button* control = make(kind);
        platform::set_picture_override(picture, stand_in);
        QCOMPARE(strip.size(), QSize(21 * cells, 21));
        if (value >= 0)
            static_cast<xptopbuttons*>(control)->set_Value(value);
        if (value == 0)
            static_cast<xptopbuttons*>(control)->set_Enabled(false);
        const int cell = value == 0 ? 3 : 0;
        // Drawn over white, so a transparent corner of the art shows the same
        // on both sides.
        QImage expected(21, 21, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::white);
        QPainter(&expected).drawImage(0, 0, strip.copy(21 * cell, 0, 21, 21));
        QImage shot(21, 21, QImage::Format_ARGB32_Premultiplied);
        shot.fill(Qt::white);
        control->setAttribute(Qt::WA_NoSystemBackground);
        control->render(&shot, {}, {}, QWidget::DrawChildren);
        QCOMPARE(shot, expected);
    }
};

QTEST_MAIN(tst_caption_buttons)
#include "tst_caption_buttons.moc"
