// The control core: cells, integer conversions, slice painting, the kept
// surface, and events bound by name or id with arguments by reference.

#include "controls/events.h"
#include "controls/geometry.h"
#include "controls/xp_control.h"

#include <QRegularExpression>
#include <QTest>
#include <functional>

using namespace controls;

namespace {

// A control the test draws on directly, 8 x 4 pixels on white.
class surface_probe : public xp_control {
public:
    surface_probe() : xp_control({})
    {
        set_surface_colour(Qt::white);
        resize(8, 4);
    }
    using xp_control::clear_surface;
    using xp_control::set_surface_colour;

    // One colour over columns [left, right) of every row.
    void paint(QColor colour, int left, int right)
    {
        QImage source(1, 1, QImage::Format_ARGB32);
        source.fill(colour);
        const slice_piece piece{QRectF(left, 0, right - left, height()), QRectF(0, 0, 1, 1)};
        paint_pieces(source, {&piece, 1});
    }
};

using surface_steps = std::function<void(surface_probe&)>;

// A row of the surface as it shows, a letter a pixel: r, b, g, w for red,
// blue, green, white.
QString shown_row(surface_probe& probe)
{
    const QImage shot = probe.grab().toImage();
    QString row;
    for (int x = 0; x < shot.width(); ++x) {
        const QRgb p = shot.pixel(x, 1);
        row += p == qRgb(255, 0, 0) ? 'r' : p == qRgb(0, 0, 255) ? 'b' : p == qRgb(0, 255, 0) ? 'g'
             : p == qRgb(255, 255, 255) ? 'w' : '?';
    }
    return row;
}

} // namespace

Q_DECLARE_METATYPE(surface_steps)

class tst_control_core : public QObject {
    Q_OBJECT

private slots:
    void cell_rectangles_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("expected");
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
        QTest::newRow("negative halves towards zero") << -15.0 << -15 << -7;
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
        const slice_piece pieces[] = {{{0, 0, 8, 1}, {0, 0, 2, 1}}, {{0, 1, 0, 1}, {0, 0, 2, 1}}, {{0, 1, 4, 0}, {0, 0, 2, 1}}};
        paint_pieces(target, source, pieces);
        for (int x = 0; x < 8; ++x) {
            QCOMPARE(target.pixel(x, 0), x < 4 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
            QCOMPARE(target.pixel(x, 1), qRgb(255, 255, 255));
        }
    }

    // The surface is drawn when it is shown, from what was asked of it since
    // it was last cleared; it must show what drawing each step at once would.
    void surface_shows_every_step_in_order_data()
    {
        QTest::addColumn<surface_steps>("steps");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a paint repeated after another lies on top") << surface_steps([](surface_probe& s) {
            s.paint(Qt::red, 0, 4);
            s.paint(Qt::blue, 2, 6);
            s.paint(Qt::red, 0, 4);
        }) << "rrrrbbww";
        QTest::newRow("clearing drops every paint") << surface_steps([](surface_probe& s) {
            s.paint(Qt::red, 0, 8);
            s.clear_surface();
        }) << "wwwwwwww";
        QTest::newRow("a cleared surface keeps the colour it was cleared to") << surface_steps([](surface_probe& s) {
            s.clear_surface();
            s.set_surface_colour(Qt::green);
        }) << "wwwwwwww";
        QTest::newRow("growing keeps the drawing, the new part in the back colour of then")
            << surface_steps([](surface_probe& s) {
                   s.paint(Qt::red, 0, 8);
                   s.set_surface_colour(Qt::green);
                   s.resize(10, 4);
                   s.paint(Qt::blue, 9, 10);
               })
            << "rrrrrrrrgb";
        QTest::newRow("growing puts the back colour under transparent pixels") << surface_steps([](surface_probe& s) {
            s.paint(Qt::transparent, 0, 2);
            s.set_surface_colour(Qt::green);
            s.resize(10, 4);
            s.paint(Qt::blue, 9, 10);
        }) << "ggwwwwwwgb";
        QTest::newRow("a paint over the whole surface hides what was under it, and growing keeps it")
            << surface_steps([](surface_probe& s) {
                   s.paint(Qt::red, 0, 4);
                   s.paint(Qt::blue, 0, 8);
                   s.resize(10, 4);
                   s.paint(Qt::red, 9, 10);
               })
            << "bbbbbbbbwr";
        QTest::newRow("more paints than a recipe keeps") << surface_steps([](surface_probe& s) {
            for (int i = 0; i < 20; ++i)
                s.paint(i % 2 ? Qt::red : Qt::blue, 0, 7);
            s.paint(Qt::blue, 0, 2);
        }) << "bbrrrrrw";
    }

    void surface_shows_every_step_in_order()
    {
        QFETCH(surface_steps, steps);
        QFETCH(QString, shown);
        surface_probe probe;
        steps(probe);
        QCOMPARE(shown_row(probe), shown);
    }

    void events_bind_by_name_or_id_and_pass_by_reference()
    {
        event_source source({Click_event, MouseMove_event, MouseOut_event});
        QStringList seen;
        QVERIFY(source.bind(u"click", [&] { seen << "by name"; }));
        QVERIFY(source.bind(-600, [&](event_args&) { seen << "by id"; }));
        QVERIFY(source.bind(1, [&](event_args&) { seen << "MouseOut"; }));
        QVERIFY(source.bind(u"MOUSEMOVE", [&](event_args& a) { a.button = 1, a.x += 1; }));
        QVERIFY(source.bind(u"MouseMove", [&](event_args& a) { seen << QString::number(a.button); }));
        source.raise(dispatch::Click);
        source.raise(dispatch::MouseOut);
        source.raise(dispatch::DblClick);
        std::int16_t button = 2, shift = 0;
        float x = 5, y = 6;
        source.raise_mouse(-606, button, shift, x, y);
        QCOMPARE(seen, (QStringList{"by name", "by id", "MouseOut", "1"}));
        QCOMPARE(int(button), 1);
        QCOMPARE(x, 6.0f);
    }

    // A bind the control cannot honour is a host's mistake: it is logged as
    // an error (a debug build stops at it) and binds nothing.
    void binding_an_event_not_raised_fails_loudly_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("misspelt name") << "Clik";
        QTest::newRow("name of an event not raised") << "DblClick";
        QTest::newRow("id of an event not raised") << "-602";
        QTest::newRow("declaration of an event not raised") << "DblClick_event";
        QTest::newRow("declaration sharing a raised event's id") << "Resize_event";
    }

    void binding_an_event_not_raised_fails_loudly()
    {
#ifndef QT_NO_DEBUG
        QSKIP("a debug build stops at the assertion");
#endif
        QFETCH(QString, how);
        event_source source({Click_event, MouseOut_event});
        int calls = 0;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("no such event")));
        bool bound = true;
        if (how == QLatin1String("DblClick_event"))
            bound = source.bind(DblClick_event, [&] { ++calls; });
        else if (how == QLatin1String("Resize_event"))
            bound = source.bind(event_decl{"Resize", dispatch::MouseOut}, [&] { ++calls; });
        else if (how.toInt() != 0)
            bound = source.bind(how.toInt(), [&](event_args&) { ++calls; });
        else
            bound = source.bind(how, [&] { ++calls; });
        QVERIFY(!bound);
        for (int id : {dispatch::Click, dispatch::DblClick, dispatch::KeyDown, dispatch::MouseOut})
            source.raise(id);
        QCOMPARE(calls, 0);
    }
};

QTEST_MAIN(tst_control_core)
#include "tst_control_core.moc"
