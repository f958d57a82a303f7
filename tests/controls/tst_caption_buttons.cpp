// The two title-bar buttons, xptopbuttons and xphelp, on real widgets with
// stand-in strips whose colour tells strip and cell: faces, events and
// their order, the pointer's leaving, Value and Enabled, the fixed size and
// the stored properties; then the real art. The poll is driven by hand;
// that the clock drives it from creation is seen on the timer itself.

#include "controls/xphelp.h"
#include "controls/xptopbuttons.h"
#include "platform/toolkit/pictures.h"
#include "placed_pointer.h"
#include "stand_in_pictures.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/property_store.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <memory>

using namespace controls;

namespace {

// The pictures the controls are made with: the tests' own, which tell the
// cells apart; cleanup() gives the embedded ones back.
fixture::stand_in_pictures pictures;
// Where the test places the pointer the controls follow; cleanup() leaves it
// to the system again.
fixture::placed_pointer placed;

const char* const strip_names[] = {"caption_close", "caption_maximize", "caption_minimize", "caption_restore", "help"};

// Strips 0 to 3 are the caption button's kinds, strip 4 the help button's.
QImage stand_in_strip(int strip, int cells)
{
    QImage image(21 * cells, 21, QImage::Format_ARGB32);
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < 21; ++y)
            image.setPixel(x, y, qRgb(40 + 50 * strip, 40 + 50 * (x / 21), 200));
    return image;
}

// "strip.cell" of the face, provided one cell covers the control corner to
// corner; "?" otherwise.
QString face_of(QWidget* w)
{
    const QImage shot = w->grab().toImage();
    const QRgb first = shot.pixel(0, 0);
    for (const QPoint p : {QPoint(20, 0), QPoint(0, 20), QPoint(20, 20), QPoint(10, 10)})
        if (shot.size() != QSize(21, 21) || shot.pixel(p) != first)
            return QStringLiteral("?");
    const int r = qRed(first) - 40, g = qGreen(first) - 40;
    if (qBlue(first) != 200 || r < 0 || g < 0 || r % 50 || g % 50)
        return QStringLiteral("?");
    return QStringLiteral("%1.%2").arg(r / 50).arg(g / 50);
}

Qt::MouseButtons qt_buttons(int bits)
{
    Qt::MouseButtons b;
    b.setFlag(Qt::LeftButton, bits & 1);
    b.setFlag(Qt::RightButton, bits & 2);
    return b;
}

void send_mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent me(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &me);
}

} // namespace

class tst_caption_buttons : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    platform::property_bag m_bag;
    QStringList m_log;

    // A new caption button ("close") or help button ("help"), placed as new
    // on the shown test window.
    caption_button* make(const QString& kind)
    {
        caption_button* button = kind == QLatin1String("help")
                                     ? static_cast<caption_button*>(new xphelp(m_window.get(), pictures, placed))
                                     : new xptopbuttons(m_window.get(), pictures, placed);
        button->place(&m_bag, placement::new_instance);
        button->move(40, 30);
        button->show();
        return button;
    }

    // Logs each raise with the face shown while the host's handler runs;
    // "Out!" would be a MouseOut raised with the poll still running.
    void record(caption_button* button)
    {
        for (const char* name : {"Click", "MouseDown", "MouseMove", "MouseUp", "MouseOut"})
            QVERIFY(button->events().bind(QLatin1String(name), [this, button, name](event_args& a) {
                QString entry = QString::fromLatin1(name).remove(QLatin1String("Mouse"));
                if (entry == QLatin1String("Out") && button->Timer1().enabled())
                    entry += u'!';
                entry += u'@' + face_of(button);
                if (entry.startsWith(QLatin1String("Down")) || entry.startsWith(QLatin1String("Move"))
                    || entry.startsWith(QLatin1String("Up")))
                    entry += QStringLiteral(" %1 %2,%3").arg(a.button).arg(a.x).arg(a.y);
                m_log << entry;
            }));
    }

private slots:
    void init()
    {
        for (int strip = 0; strip < 5; ++strip)
            pictures.set(QLatin1String(strip_names[strip]), stand_in_strip(strip, strip < 4 ? 4 : 3));
        m_log.clear();
        m_bag = {};
        m_bag.ambient_display_name = QStringLiteral("xptopbuttons1");
        placed.at = QPoint(-500, -500);
        m_window = std::make_unique<QWidget>();
        m_window->setGeometry(50, 50, 300, 200);
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        pictures.clear();
        placed.at.reset();
    }

    // A script of steps on a button whose creation MouseOut has passed:
    // "V n" Value, "E 0|1" Enabled, "move x,y b" a move with button bits b,
    // "down|up x,y b" a press or release, "dbl x,y" the second press of a
    // double click, "at x,y" the pointer, "tick" one poll, "=s.c" the face
    // now. Then the events raised, and the face and Value at the end.
    void script_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("value");
        auto row = [](const char* name, const char* kind, const char* script, QStringList log, const char* end, int value = 0) {
            QTest::newRow(name) << QString(kind) << QString(script) << log << QString(end) << value;
        };
        // Value, Enabled and the strips.
        row("new: close", "close", "", {}, "0.0");
        row("maximize", "close", "V 1", {}, "1.0", 1);
        row("minimize at once, 9 keeps it", "close", "V 2;=2.0;V 9", {}, "2.0", 9);
        row("restore", "close", "V 3", {}, "3.0", 3);
        row("-1 keeps close", "close", "V -1", {}, "0.0", -1);
        row("disabled restore", "close", "V 3;E 0", {}, "3.3", 3);
        row("Value while disabled", "close", "E 0;V 1", {}, "1.3", 1);
        row("enabled again", "close", "V 2;E 0;E 1", {}, "2.0", 2);
        row("Enabled on a hovered button", "close", "move 5,5 0;E 1", {"Move@0.0 0 5,5"}, "0.0");
        row("leaving a disabled button", "close", "V 1;move 5,5 0;E 0;tick", {"Move@1.0 0 5,5", "Out@1.3"}, "1.3", 1);
        // Press, release, click, with the face while each handler runs.
        row("close, click", "close", "down 7,9 1;up 7,9 1", {"Down@0.2 1 7,9", "Up@0.0 1 7,9", "Click@0.0"}, "0.0");
        row("minimize, click", "close", "V 2;down 7,9 1;up 7,9 1", {"Down@2.2 1 7,9", "Up@2.0 1 7,9", "Click@2.0"}, "2.0", 2);
        row("close, right button", "close", "down 7,9 2;up 7,9 2", {"Down@0.2 2 7,9", "Up@0.0 2 7,9"}, "0.0");
        row("help, click", "help", "down 7,9 1;up 7,9 1", {"Down@4.2 1 7,9", "Up@4.2 1 7,9", "Click@4.0"}, "4.0");
        row("help, right button", "help", "down 7,9 2;up 7,9 2", {"Down@4.2 2 7,9", "Up@4.2 2 7,9"}, "4.2");
        row("close, released outside", "close", "down 10,10 1;move 40,10 1;=0.2;up 40,10 1;at 40,10;tick",
            {"Down@0.2 1 10,10", "Up@0.0 1 40,10", "Out@0.0"}, "0.0");
        row("help, released outside", "help", "down 10,10 1;move 40,10 1;up 40,10 1;=4.2;at 40,10;tick",
            {"Down@4.2 1 10,10", "Up@4.2 1 40,10", "Out@4.2"}, "4.0");
        row("close, double click", "close", "move 5,5 0;dbl 5,5;=0.1;up 5,5 1", {"Move@0.0 0 5,5", "Up@0.0 1 5,5"}, "0.0");
        row("help, double click", "help", "move 5,5 0;dbl 5,5;=4.1;up 5,5 1", {"Move@4.0 0 5,5", "Up@4.1 1 5,5"}, "4.1");
        // Moves choose the face by their buttons; one outside only starts the poll.
        row("move, left", "close", "V 3;move 5,5 1", {"Move@3.0 1 5,5"}, "3.2", 3);
        row("move, left and right", "close", "move 5,5 3", {"Move@0.0 3 5,5"}, "0.1");
        row("move on the far corner", "help", "move 21,21 0", {"Move@4.0 0 21,21"}, "4.1");
        row("move outside", "help", "move 30,5 1;tick", {"Out@4.0"}, "4.0");
        // The pointer leaving by one pixel: 0..21 is inside.
        for (const char* name : {"close", "help"}) {
            const QString kind = QLatin1String(name);
            const QString strip = kind == QLatin1String("help") ? "4" : "0";
            const QString first = QStringLiteral("Move@%1.0 0 5,5").arg(strip);
            const QString hover = strip + ".1", rest = strip + ".0", out = "Out@" + hover;
            QTest::addRow("%s, x = 21", name) << kind << QString("move 5,5 0;at 21,10;tick;tick") << QStringList{first} << hover << 0;
            QTest::addRow("%s, x = 22", name) << kind << QString("move 5,5 0;at 22,10;tick;tick") << QStringList{first, out} << rest << 0;
            QTest::addRow("%s, y = 21", name) << kind << QString("move 5,5 0;at 10,21;tick") << QStringList{first} << hover << 0;
            QTest::addRow("%s, y = 22", name) << kind << QString("move 5,5 0;at 10,22;tick") << QStringList{first, out} << rest << 0;
            QTest::addRow("%s, x = -1", name) << kind << QString("move 5,5 0;at -1,0;tick") << QStringList{first, out} << rest << 0;
        }
    }

    void script()
    {
        QFETCH(QString, kind);
        QFETCH(QString, script);
        QFETCH(QStringList, log);
        QFETCH(QString, end);
        QFETCH(int, value);
        caption_button* button = make(kind);
        auto* top = qobject_cast<xptopbuttons*>(button);
        button->Timer1().tick(); // the first tick, with the pointer elsewhere
        QVERIFY(!button->Timer1().enabled());
        record(button);
        for (const QString& step : script.split(u';', Qt::SkipEmptyParts)) {
            const QStringList w = step.split(u' ');
            const QStringList xy = w.value(1).split(u',');
            const QPoint p(xy.value(0).toInt(), xy.value(1).toInt());
            const Qt::MouseButtons b = qt_buttons(w.value(2).toInt());
            const Qt::MouseButton one = b & Qt::RightButton ? Qt::RightButton : Qt::LeftButton;
            if (w[0] == QLatin1String("V"))
                top->set_Value(w[1].toInt());
            else if (w[0] == QLatin1String("E"))
                top->set_Enabled(w[1] == QLatin1String("1"));
            else if (w[0] == QLatin1String("move"))
                send_mouse(button, QEvent::MouseMove, p, Qt::NoButton, b);
            else if (w[0] == QLatin1String("down"))
                QTest::mousePress(button, one, {}, p);
            else if (w[0] == QLatin1String("up"))
                QTest::mouseRelease(button, one, {}, p);
            else if (w[0] == QLatin1String("dbl"))
                send_mouse(button, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
            else if (w[0] == QLatin1String("at"))
                placed.at = button->mapToGlobal(p);
            else if (w[0] == QLatin1String("tick"))
                button->Timer1().tick();
            else if (w[0].startsWith(u'='))
                QCOMPARE(face_of(button), w[0].mid(1));
        }
        QCOMPARE(m_log, log);
        QCOMPARE(face_of(button), end);
        if (top)
            QCOMPARE(top->Value(), value);
    }

    // Whatever size the host asks for, the next resize gives 315 x 315 twips
    // back; a hidden button hears of the resize when it is shown.
    void fixed_size_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("close, larger") << "close" << QSize(60, 40) << false;
        QTest::newRow("close, wide only") << "close" << QSize(300, 21) << false;
        QTest::newRow("close, hidden") << "close" << QSize(10, 12) << true;
        QTest::newRow("help, tall only") << "help" << QSize(21, 100) << false;
        QTest::newRow("help, hidden") << "help" << QSize(45, 30) << true;
    }

    void fixed_size()
    {
        QFETCH(QString, kind);
        QFETCH(QSize, asked);
        QFETCH(bool, hidden);
        caption_button* button = make(kind);
        QCOMPARE(button->size(), QSize(21, 21));
        button->setVisible(!hidden);
        button->setGeometry(QRect(QPoint(5, 6), asked));
        button->show();
        QCOMPARE(button->geometry(), QRect(5, 6, 21, 21));
        QVERIFY(face_of(button).endsWith(QLatin1String(".0")));
    }

    // No move is needed: the poll runs on the clock from creation, and its
    // first tick away from the pointer raises one MouseOut and stops it.
    void poll_runs_from_creation_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("caption button") << "close";
        QTest::newRow("help button") << "help";
    }

    void poll_runs_from_creation()
    {
        QFETCH(QString, kind);
        std::unique_ptr<caption_button> button;
        if (kind == QLatin1String("help"))
            button = std::make_unique<xphelp>(nullptr, pictures, placed);
        else
            button = std::make_unique<xptopbuttons>(nullptr, pictures, placed);
        QVERIFY(button->Timer1().enabled());
        QVERIFY(button->Timer1().armed());
        QCOMPARE(button->Timer1().interval(), 10);
        int outs = 0;
        button->events().bind(u"MouseOut", [&] { ++outs; });
        button->Timer1().tick();
        QVERIFY(!button->Timer1().enabled());
        QVERIFY(!button->Timer1().armed());
        QCOMPARE(outs, 1);
    }

    // A loaded Value reaches the face only at the show; until then the
    // caption button draws with the strip it has, Enabled included. Loading
    // tells the host nothing; Value and Enabled are stored only when they
    // differ from 0 and true.
    void caption_stored_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("disable_before_show");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("defaults") << 0 << true << false << "0.0" << "0.0";
        QTest::newRow("maximize") << 1 << true << false << "0.0" << "1.0";
        QTest::newRow("stored disabled") << 1 << false << false << "0.3" << "1.3";
        QTest::newRow("Enabled before the show keeps close") << 3 << true << true << "0.3" << "3.3";
        QTest::newRow("out of range") << 7 << true << false << "0.0" << "0.0";
    }

    void caption_stored()
    {
        QFETCH(int, value);
        QFETCH(bool, enabled);
        QFETCH(bool, disable_before_show);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        auto* original = static_cast<xptopbuttons*>(make(QStringLiteral("close")));
        original->set_Value(value);
        original->set_Enabled(enabled);
        QCOMPARE(notified, (QStringList{"Value", "Value"})); // new instance, then the setter; Enabled tells nothing
        platform::property_bag saved;
        original->attach(&saved);
        original->save();
        QCOMPARE(saved.size(), int(value != 0) + int(!enabled));

        saved.on_property_changed = [&](const QString& p) { notified << p; };
        xptopbuttons copy(m_window.get(), pictures, placed);
        copy.place(&saved, placement::load);
        if (disable_before_show)
            copy.set_Enabled(false);
        QCOMPARE(face_of(&copy), before);
        copy.show();
        QCOMPARE(face_of(&copy), after);
        QCOMPARE(copy.Value(), value);
        QCOMPARE(notified.size(), 2);
    }

    // The help button stored disabled loads disabled: no mouse input
    // reaches it, and it keeps the normal face through the pointer's leaving.
    void help_stored_enabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("enabled") << true
                                 << QStringList{"Move@4.0 0 5,5", "Down@4.2 1 5,5", "Up@4.2 1 5,5", "Click@4.0", "Out@4.0"};
        QTest::newRow("disabled") << false << QStringList{"Out@4.0"};
    }

    void help_stored_enabled()
    {
        QFETCH(bool, enabled);
        QFETCH(QStringList, log);
        m_bag.write(QStringLiteral("Enabled"), enabled, true);
        auto* help = new xphelp(m_window.get(), pictures, placed);
        help->place(&m_bag, placement::load);
        help->move(100, 10);
        help->show();
        QCOMPARE(help->Enabled(), enabled);
        record(help);
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, QPoint(105, 15));
        help->Timer1().tick();
        QCOMPARE(m_log, log);
        platform::property_bag saved;
        help->attach(&saved);
        help->save();
        QCOMPARE(saved.contains(QStringLiteral("enabled")), !enabled);
    }

    // With the pictures that ship, a face is its cell of the right strip,
    // pixel for pixel.
    void real_art_data()
    {
        QTest::addColumn<int>("strip");
        QTest::addColumn<int>("cell");
        QTest::newRow("close, disabled") << 0 << 3;
        QTest::newRow("maximize") << 1 << 0;
        QTest::newRow("minimize") << 2 << 0;
        QTest::newRow("restore") << 3 << 0;
        QTest::newRow("help") << 4 << 0;
    }

    void real_art()
    {
        QFETCH(int, strip);
        QFETCH(int, cell);
        const QString name = QLatin1String(strip_names[strip]);
        pictures.clear(name);
        const QImage art = pictures.picture(name);
        caption_button* control = make(strip == 4 ? QStringLiteral("help") : QStringLiteral("close"));
        pictures.set(name, stand_in_strip(strip, strip < 4 ? 4 : 3));
        QCOMPARE(art.size(), QSize(strip < 4 ? 84 : 63, 21));
        if (auto* top = qobject_cast<xptopbuttons*>(control)) {
            top->set_Value(strip);
            top->set_Enabled(cell != 3);
        }
        // Both drawn over white, so a transparent corner of the art shows
        // the same on both sides.
        QImage expected(21, 21, QImage::Format_ARGB32_Premultiplied), shot = expected;
        expected.fill(Qt::white);
        shot.fill(Qt::white);
        QPainter(&expected).drawImage(0, 0, art.copy(21 * cell, 0, 21, 21));
        control->render(&shot, {}, {}, QWidget::DrawChildren);
        QCOMPARE(shot, expected);
    }
};

QTEST_MAIN(tst_caption_buttons)
#include "tst_caption_buttons.moc"
