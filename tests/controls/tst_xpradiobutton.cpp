// The option button on real widgets with stand-in pictures: its eight
// faces, the click rule over a whole window (and no further), the halving
// layout, the units, the caption colours, keys, hover and persistence.

#include "controls/xpradiobutton.h"
#include "platform/fonts.h"
#include "platform/pointer.h"
#include "platform/units.h"
#include "support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace controls;

using support::send_move;

namespace {

// The cell an option button shows, read from the middle of its circle.
int face(xpradiobutton* b)
{
    return stand_in::indicator_cell(b->grab().toImage().pixel(b->p->mapTo(b, QPoint(6, 6))));
}

} // namespace

class tst_xpradiobutton : public QObject {
    Q_OBJECT

    QWidget* m_window = nullptr;
    std::vector<std::unique_ptr<platform::property_bag>> m_bags;
    xpradiobutton* m_option = nullptr;
    QStringList m_log;

    xpradiobutton* make(QWidget* parent, const QString& name, QRect geometry)
    {
        m_bags.push_back(std::make_unique<platform::property_bag>());
        platform::property_bag& bag = *m_bags.back();
        bag.ambient_display_name = name;
        bag.ambient_font = QFont(QStringLiteral("宋体"), 10.5);
        auto* b = new xpradiobutton(parent);
        b->setObjectName(name);
        b->setGeometry(geometry);
        b->place(&bag, placement::new_instance);
        // The first tick finds the pointer elsewhere and ends the poll that
        // runs from creation.
        b->Timer1.tick();
        return b;
    }

    void record(xpradiobutton* b)
    {
        support::record(*b, m_log, [b] { return QString::number(face(b)); });
    }

private slots:
    void initTestCase()
    {
        platform::install_font_substitutes();
        stand_in::install();
        QCOMPARE(platform::twips_per_pixel_x(), 15.0);
        QCOMPARE(platform::twips_per_pixel_y(), 15.0);
    }

    void init()
    {
        m_log.clear();
        platform::set_cursor_pos_override(QPoint(-100, -100));
        m_window = new QWidget;
        m_window->setGeometry(50, 50, 400, 300);
        m_option = make(m_window, QStringLiteral("Check1"), QRect(10, 10, 120, 17));
        m_window->show();
    }

    void cleanup()
    {
        delete m_window;
        m_bags.clear();
        platform::set_cursor_pos_override(std::nullopt);
    }

    void faces_data()
    {
        QTest::addColumn<bool>("value");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("cell");
        QTest::newRow("normal") << false << true << "" << 0;
        QTest::newRow("selected") << true << true << "" << 4;
        QTest::newRow("hover") << false << true << "move" << 1;
        QTest::newRow("selected hover") << true << true << "move" << 5;
        QTest::newRow("left press") << false << true << "press left" << 2;
        QTest::newRow("right press shows pressed too") << false << true << "press right" << 2;
        QTest::newRow("selected pressed") << true << true << "press left" << 6;
        QTest::newRow("move with left held") << false << true << "move left" << 2;
        QTest::newRow("move with right held") << true << true << "move right" << 5;
        QTest::newRow("release keeps the pressed cell") << false << true << "press and release right" << 2;
        QTest::newRow("disabled") << false << false << "" << 3;
        QTest::newRow("selected disabled") << true << false << "" << 7;
        QTest::newRow("disabled ignores moves") << true << false << "move" << 7;
        QTest::newRow("disabled ignores presses") << false << false << "press left" << 3;
    }

    void faces()
    {
        QFETCH(bool, value);
        QFETCH(bool, enabled);
        QFETCH(QString, action);
        QFETCH(int, cell);
        m_option->set_Value(value);
        m_option->set_Enabled(enabled);
        if (action == "move")
            m_option->mouse_move(0, 0, 5, 5);
        else if (action == "move left")
            send_move(m_option, QPoint(3, 3), Qt::LeftButton);
        else if (action == "move right")
            send_move(m_option, QPoint(3, 3), Qt::RightButton);
        else if (action == "press left")
            m_option->mouse_down(1, 0, 5, 5);
        else if (action == "press right")
            QTest::mousePress(m_option, Qt::RightButton, {}, QPoint(3, 3));
        else if (action == "press and release right") {
            QTest::mousePress(m_option, Qt::RightButton, {}, QPoint(3, 3));
            QTest::mouseRelease(m_option, Qt::RightButton, {}, QPoint(3, 3));
        }
        QCOMPARE(face(m_option), cell);
        QCOMPARE(m_option->shown_cell(), cell);
        // The circle's corners are transparent: the back colour shows there.
        const QImage shot = m_option->grab().toImage();
        QCOMPARE(QColor(shot.pixel(m_option->p->mapTo(m_option, QPoint(0, 0)))), QColor(236, 233, 216));
    }

    // Every option button of the host window takes part, whatever holds it;
    // those of other windows, an owned one included, do not.
    void click_rule_over_the_whole_window()
    {
        auto* frame1 = new QWidget(m_window);
        frame1->setGeometry(0, 40, 200, 100);
        auto* frame2 = new QWidget(frame1); // a container inside a container
        frame2->setGeometry(0, 40, 200, 50);
        xpradiobutton* check2 = make(frame1, QStringLiteral("Check2"), QRect(5, 5, 120, 17));
        xpradiobutton* check3 = make(frame2, QStringLiteral("Check3"), QRect(5, 5, 120, 17));
        QWidget other;
        xpradiobutton* elsewhere = make(&other, QStringLiteral("Other1"), QRect(0, 0, 120, 17));
        auto* owned = new QWidget(m_window, Qt::Window);
        xpradiobutton* in_owned = make(owned, QStringLiteral("Owned1"), QRect(0, 0, 120, 17));
        frame1->show();
        frame2->show();
        elsewhere->set_Value(true);
        in_owned->set_Value(true);
        check3->set_Value(true);

        QStringList changed;
        for (auto& bag : m_bags)
            bag->on_property_changed = [&changed, name = bag->ambient_display_name](const QString& p) {
                changed << name + " " + p;
            };
        // The host's Click handler sees every Value as it was.
        QStringList seen;
        check2->events().bind(u"Click", [&] {
            seen << QStringLiteral("Click %1%2%3").arg(m_option->Value()).arg(check2->Value()).arg(check3->Value());
        });
        QList<xpradiobutton*> all{m_option, check2, check3, elsewhere, in_owned};
        int clicks = 0;
        for (xpradiobutton* b : all)
            b->events().bind(u"Click", [&] { ++clicks; });

        QTest::mouseClick(check2->lbl, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(seen, QStringList{"Click 001"});
        QCOMPARE(clicks, 1);
        QCOMPARE(m_option->Value(), false);
        QCOMPARE(check2->Value(), true);
        QCOMPARE(check3->Value(), false);
        QCOMPARE(elsewhere->Value(), true);
        QCOMPARE(in_owned->Value(), true);
        QCOMPARE(face(check2), 4);
        QCOMPARE(face(check3), 0);
        // Every option button of the window is cleared, in the window's order,
        // then the clicked one is set.
        QCOMPARE(changed.size(), 4);
        QCOMPARE(changed.last(), QStringLiteral("Check2 Value"));
        changed.removeLast();
        changed.sort();
        QCOMPARE(changed, (QStringList{"Check1 Value", "Check2 Value", "Check3 Value"}));

        // A click on the selected button raises Click again and keeps it.
        QTest::mouseClick(check2, Qt::LeftButton, {}, QPoint(50, 8));
        QCOMPARE(clicks, 2);
        QCOMPARE(check2->Value(), true);
        QCOMPARE(seen.last(), QStringLiteral("Click 010"));
        // A click on the indicator counts as well.
        QTest::mouseClick(m_option->p, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 3);
        QCOMPARE(m_option->Value(), true);
        QCOMPARE(check2->Value(), false);
    }

    void value_from_code_changes_one_button_silently()
    {
        xpradiobutton* check2 = make(m_window, QStringLiteral("Check2"), QRect(10, 40, 120, 17));
        record(m_option);
        record(check2);
        m_option->set_Value(true);
        check2->set_Value(true);
        QVERIFY(m_option->Value() && check2->Value());
        QCOMPARE(face(m_option), 4);
        QCOMPARE(face(check2), 4);
        QVERIFY(m_log.isEmpty());
    }

    // Children are centred by halving the difference in twips, the
    // remainder dropped; the results are placed at the nearest pixel.
    void layout_by_halving_data()
    {
        QTest::addColumn<int>("height");       // pixels
        QTest::addColumn<int>("label_height"); // pixels
        QTest::addColumn<int>("p_top");
        QTest::addColumn<int>("label_top");
        // 255 twips: p at 7 twips, a 180-twip label at 37.
        QTest::newRow("255 twips") << 17 << 12 << qRound(7 / 15.0) << qRound(37 / 15.0);
        QTest::newRow("600 twips") << 40 << 12 << 12 << 14;
        QTest::newRow("odd difference, 285 twips") << 19 << 13 << qRound(22 / 15.0) << qRound(45 / 15.0);
        QTest::newRow("lower than its children") << 10 << 12 << -3 << -1;
    }

    void layout_by_halving()
    {
        QFETCH(int, height);
        QFETCH(int, label_height);
        QFETCH(int, p_top);
        QFETCH(int, label_top);
        m_option->lbl->setFixedHeight(label_height);
        m_option->resize(120, height);
        m_option->on_resize();
        QCOMPARE(m_option->p->geometry(), QRect(0, p_top, 16, 16));
        QCOMPARE(m_option->lbl->pos(), QPoint(32, label_top));
        QCOMPARE(m_option->unit(), scale_unit::twips);
    }

    // Twips after a layout, pixels from the next poll tick on.
    void units_switch_between_layout_and_poll()
    {
        record(m_option);
        m_option->on_resize();
        send_move(m_option, QPoint(5, 6));
        platform::set_cursor_pos_override(m_option->mapToGlobal(QPoint(5, 6)));
        m_option->Timer1.tick();
        QCOMPARE(m_option->unit(), scale_unit::pixels);
        send_move(m_option, QPoint(5, 6));
        m_option->set_Caption(QStringLiteral("替换"));
        QCOMPARE(m_option->unit(), scale_unit::twips);
        send_move(m_option, QPoint(5, 6));
        QCOMPARE(m_log, (QStringList{"MouseMove@0 0 0 75 90", "MouseMove@1 0 0 5 6",
                                     "MouseMove@1 0 0 75 90"}));
    }

    // Moves over the label or the indicator arrive at that child's corner;
    // presses with the child's own coordinates.
    void children_report_their_corner()
    {
        m_option->resize(120, 40);
        record(m_option);
        const double t = platform::twips_per_pixel_x();
        send_move(m_option->lbl, QPoint(9, 4));
        send_move(m_option->p, QPoint(9, 4));
        QTest::mousePress(m_option->lbl, Qt::LeftButton, {}, QPoint(9, 4));
        QTest::mouseRelease(m_option->lbl, Qt::LeftButton, {}, QPoint(9, 4));
        const QPoint l = m_option->lbl->pos(), p = m_option->p->pos();
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseMove@0 0 0 %1 %2").arg(l.x() * t).arg(l.y() * t),
                                     QStringLiteral("MouseMove@1 0 0 %1 %2").arg(p.x() * t).arg(p.y() * t),
                                     QStringLiteral("MouseDown@2 1 0 %1 %2").arg(9 * t).arg(4 * t),
                                     QStringLiteral("MouseUp@2 1 0 %1 %2").arg(9 * t).arg(4 * t),
                                     "Click@2"}));
        QCOMPARE(face(m_option), 4);
    }

    void keys_only_pass_through()
    {
        record(m_option);
        m_option->setFocus();
        QTest::keyClick(m_option, Qt::Key_Space);
        QTest::keyClick(m_option, Qt::Key_Down);
        QTest::keyClick(m_option, Qt::Key_Right);
        QCOMPARE(m_log, (QStringList{"KeyDown@0 32 0", "KeyPress@0 32", "KeyUp@0 32 0", "KeyDown@0 40 0",
                                     "KeyUp@0 40 0", "KeyDown@0 39 0", "KeyUp@0 39 0"}));
        QCOMPARE(m_option->Value(), false);
    }

    void caption_colours()
    {
        QCOMPARE(m_option->lbl->text_colour(), QColor(0, 0, 0));
        m_option->set_Enabled(false);
        QCOMPARE(m_option->lbl->text_colour(), QColor(161, 161, 146));
        m_option->set_ForeColor(rgb(200, 0, 0));
        QCOMPARE(m_option->lbl->text_colour(), QColor(161, 161, 146));
        m_option->set_Enabled(true);
        QCOMPARE(m_option->lbl->text_colour(), QColor(200, 0, 0));
        m_option->set_BackColor(rgb(0, 0, 255));
        QCOMPARE(QColor(m_option->grab().toImage().pixel(110, 1)), QColor(0, 0, 255));
    }

    // The poll: on an edge is inside, one pixel beyond is out; MouseOut comes
    // once, after the timer stops and while the hover cell is still shown.
    void hover_poll_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<bool>("out");
        QTest::newRow("right edge") << QPoint(120, 5) << false;
        QTest::newRow("bottom edge") << QPoint(5, 17) << false;
        QTest::newRow("one beyond the right") << QPoint(121, 5) << true;
        QTest::newRow("one beyond the bottom") << QPoint(5, 18) << true;
    }

    void hover_poll()
    {
        QFETCH(QPoint, pointer);
        QFETCH(bool, out);
        m_option->events().bind(u"MouseOut", [this] {
            m_log << QStringLiteral("MouseOut@%1 running %2").arg(face(m_option)).arg(m_option->Timer1.enabled());
        });
        send_move(m_option, QPoint(5, 5));
        platform::set_cursor_pos_override(m_option->mapToGlobal(pointer));
        for (int i = 0; i < 3; ++i)
            m_option->Timer1.tick();
        QCOMPARE(m_log, (out ? QStringList{"MouseOut@1 running 0"} : QStringList{}));
        QCOMPARE(face(m_option), out ? 0 : 1);
        QCOMPARE(m_option->unit(), scale_unit::pixels);
        // The move's own inside test agrees at the same point.
        m_log.clear();
        m_option->events().bind(u"MouseMove", [this] { m_log << QStringLiteral("MouseMove"); });
        send_move(m_option, pointer);
        QCOMPARE(m_log, (out ? QStringList{} : QStringList{"MouseMove"}));
        QVERIFY(m_option->Timer1.enabled());
    }

    void mouse_out_once_after_creation()
    {
        QWidget window;
        platform::property_bag bag;
        auto* b = new xpradiobutton(&window);
        int outs = 0;
        b->events().bind(u"MouseOut", [&] { ++outs; });
        QVERIFY(b->Timer1.enabled());
        QCOMPARE(b->Timer1.interval(), 10);
        b->Timer1.tick();
        b->Timer1.tick();
        QCOMPARE(outs, 1);
        QVERIFY(!b->Timer1.enabled());
        QCOMPARE(b->shown_cell(), 0);
    }

    void new_instance_and_stored_properties()
    {
        // A new instance: its name as caption, the ambient font, grey back.
        QCOMPARE(m_option->Caption(), QStringLiteral("Check1"));
        QCOMPARE(m_option->Font(), QFont(QStringLiteral("宋体"), 10.5));
        QCOMPARE(m_option->BackColor(), 0x8000000Fu);
        QCOMPARE(m_option->ForeColor(), 0u);
        platform::property_bag& bag = *m_bags.front();
        m_option->save();
        QCOMPARE(bag.size(), 0);

        m_option->set_Value(true);
        m_option->set_Caption(QStringLiteral("扩展名"));
        m_option->set_Enabled(false);
        m_option->set_Font(QFont(QStringLiteral("宋体"), 12));
        m_option->set_BackColor(rgb(224, 224, 224));
        m_option->set_ForeColor(rgb(0, 0, 128));
        m_option->save();
        QCOMPARE(bag.size(), 6);

        platform::property_bag copy = bag;
        QStringList notified;
        copy.on_property_changed = [&](const QString& p) { notified << p; };
        xpradiobutton loaded(m_window);
        loaded.place(&copy, placement::load);
        QCOMPARE(notified, (QStringList{"Value", "Caption", "Font", "BackColor", "ForeColor"}));
        QCOMPARE(loaded.Value(), true);
        QCOMPARE(loaded.Caption(), QStringLiteral("扩展名"));
        QCOMPARE(loaded.Enabled(), false);
        QCOMPARE(loaded.Font(), QFont(QStringLiteral("宋体"), 12));
        QCOMPARE(loaded.BackColor(), rgb(224, 224, 224));
        QCOMPARE(loaded.ForeColor(), rgb(0, 0, 128));
        QCOMPARE(loaded.shown_cell(), 7);
    }
};

QTEST_MAIN(tst_xpradiobutton)
#include "tst_xpradiobutton.moc"
