// The check box on real widgets with a stand-in strip: twelve faces, the
// click cycle, values outside 0 to 2, its own order when the pointer
// leaves, moves over the indicator in the indicator's own coordinates, and
// the stored properties.

#include "controls/xpcheckbox.h"
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

int face(xpcheckbox* b)
{
    return stand_in::indicator_cell(b->grab().toImage().pixel(b->p->mapTo(b, QPoint(8, 8))));
}

} // namespace

class tst_xpcheckbox : public QObject {
    Q_OBJECT

    QWidget* m_window = nullptr;
    platform::property_bag m_bag;
    xpcheckbox* m_box = nullptr;
    QStringList m_log;

    void record()
    {
        support::record(*m_box, m_log, [this] { return QStringLiteral("%1 value %2").arg(face(m_box)).arg(m_box->Value()); });
    }

private slots:
    void initTestCase()
    {
        platform::install_font_substitutes();
        stand_in::install();
    }

    void init()
    {
        m_log.clear();
        platform::set_cursor_pos_override(QPoint(-100, -100));
        m_bag = {};
        m_bag.ambient_display_name = QStringLiteral("xpcheckbox1");
        m_bag.ambient_font = QFont(QStringLiteral("宋体"), 10.5);
        m_window = new QWidget;
        m_window->setGeometry(50, 50, 300, 200);
        m_box = new xpcheckbox(m_window);
        m_box->setGeometry(10, 10, 150, 17);
        m_box->place(&m_bag, placement::new_instance);
        m_window->show();
    }

    void cleanup()
    {
        delete m_window;
        platform::set_cursor_pos_override(std::nullopt);
    }

    // Cell = 4 x value + state, for the three values.
    void faces_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("cell");
        const char* states[] = {"normal", "hover", "pressed", "disabled"};
        for (int value = 0; value < 3; ++value)
            for (int state = 0; state < 4; ++state)
                QTest::addRow("value %d %s", value, states[state]) << value << state << 4 * value + state;
    }

    void faces()
    {
        QFETCH(int, value);
        QFETCH(int, state);
        QFETCH(int, cell);
        m_box->set_Value(value);
        if (state == 1)
            send_move(m_box, QPoint(3, 3));
        else if (state == 2)
            send_move(m_box, QPoint(3, 3), Qt::LeftButton);
        else if (state == 3)
            m_box->set_Enabled(false);
        QCOMPARE(face(m_box), cell);
        // The cell fills the indicator's 240-twip box exactly.
        QCOMPARE(m_box->p->size(), QSize(16, 16));
        const QImage shot = m_box->grab().toImage();
        QCOMPARE(stand_in::indicator_cell(shot.pixel(m_box->p->mapTo(m_box, QPoint(15, 15)))), cell);
        QCOMPARE(stand_in::indicator_cell(shot.pixel(m_box->p->mapTo(m_box, QPoint(0, 0)))), cell);
    }

    // Clicks cycle 0 and 1; the mixed value goes to 0; any other value stays,
    // and the host's handler sees the old value.
    void click_cycle_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("after_each_click");
        QTest::addColumn<int>("cell");
        QTest::newRow("from cleared") << 0 << QList<int>{1, 0, 1} << 4;
        QTest::newRow("from mixed") << 2 << QList<int>{0, 1} << 4;
        QTest::newRow("out of range stays") << 5 << QList<int>{5, 5} << 8;
        QTest::newRow("negative stays") << -1 << QList<int>{-1} << 8;
    }

    void click_cycle()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, after_each_click);
        QFETCH(int, cell);
        m_box->set_Value(2); // an out-of-range value leaves this cell on screen
        m_box->set_Value(start);
        QCOMPARE(m_box->Value(), start);
        QList<int> seen_in_click;
        m_box->events().bind(u"Click", [&] { seen_in_click << m_box->Value(); });
        QList<int> values;
        for (int i = 0; i < after_each_click.size(); ++i) {
            QTest::mouseClick(i % 2 ? static_cast<QWidget*>(m_box->lbl) : m_box, Qt::LeftButton, {}, QPoint(2, 2));
            values << m_box->Value();
        }
        QCOMPARE(values, after_each_click);
        QCOMPARE(seen_in_click, (QList<int>{start} + after_each_click.mid(0, after_each_click.size() - 1)));
        QCOMPARE(face(m_box), cell);
    }

    void two_boxes_are_independent()
    {
        auto* other = new xpcheckbox(m_window);
        other->setGeometry(10, 40, 150, 17);
        other->set_Value(1);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(m_box->Value(), 1);
        QCOMPARE(other->Value(), 1);
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(m_box->Value(), 1);
        QCOMPARE(other->Value(), 0);
    }

    void mixed_and_disabled()
    {
        m_box->set_Value(2);
        m_box->set_Enabled(false);
        QCOMPARE(face(m_box), 11);
        QCOMPARE(m_box->lbl->text_colour(), QColor(161, 161, 146));
        m_box->set_Enabled(true);
        QCOMPARE(face(m_box), 8);
        QCOMPARE(m_box->lbl->text_colour(), QColor(0, 0, 0));
    }

    // The check box draws first, then stops the poll, then raises MouseOut:
    // the host's handler sees the normal cell and a stopped timer.
    void leaving_draws_before_mouse_out()
    {
        m_box->events().bind(u"MouseOut", [this] {
            m_log << QStringLiteral("MouseOut@%1 running %2").arg(face(m_box)).arg(m_box->Timer1.enabled());
        });
        // Running from creation: one MouseOut at the first tick.
        QVERIFY(m_box->Timer1.enabled());
        m_box->Timer1.tick();
        QCOMPARE(m_log, QStringList{"MouseOut@0 running 0"});
        m_box->set_Value(1);
        send_move(m_box, QPoint(150, 17), Qt::LeftButton); // the corner is inside
        QCOMPARE(face(m_box), 6);
        platform::set_cursor_pos_override(m_box->mapToGlobal(QPoint(150, 17)));
        m_box->Timer1.tick();
        QCOMPARE(m_log.size(), 1);
        platform::set_cursor_pos_override(m_box->mapToGlobal(QPoint(151, 17)));
        m_box->Timer1.tick();
        m_box->Timer1.tick();
        QCOMPARE(m_log, (QStringList{"MouseOut@0 running 0", "MouseOut@4 running 0"}));
    }

    // A move over the indicator carries the indicator's own coordinates; one
    // over the label the label's corner.
    void moves_over_children()
    {
        m_box->resize(150, 40);
        record();
        const double t = platform::twips_per_pixel_x();
        send_move(m_box->p, QPoint(9, 4));
        send_move(m_box->lbl, QPoint(9, 4));
        QTest::mousePress(m_box->p, Qt::RightButton, Qt::ShiftModifier, QPoint(7, 5));
        QTest::mouseRelease(m_box->p, Qt::RightButton, Qt::ShiftModifier, QPoint(7, 5));
        const QPoint l = m_box->lbl->pos();
        QCOMPARE(m_log, (QStringList{"MouseMove@0 value 0 0 0 9 4",
                                     QStringLiteral("MouseMove@1 value 0 0 0 %1 %2").arg(l.x() * t).arg(l.y() * t),
                                     "MouseDown@2 value 0 2 1 7 5", "MouseUp@2 value 0 2 1 7 5"}));
    }

    void out_of_range_values_are_stored_and_read_back_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("stored");
        QTest::newRow("default") << 0 << false;
        QTest::newRow("ticked") << 1 << true;
        QTest::newRow("mixed") << 2 << true;
        QTest::newRow("out of range") << 5 << true;
        QTest::newRow("negative") << -3 << true;
    }

    void out_of_range_values_are_stored_and_read_back()
    {
        QFETCH(int, value);
        QFETCH(bool, stored);
        m_box->set_Value(value);
        QCOMPARE(m_box->Value(), value);
        m_box->save();
        QCOMPARE(m_bag.size(), stored ? 1 : 0);
        xpcheckbox loaded(m_window);
        loaded.place(&m_bag, placement::load);
        QCOMPARE(loaded.Value(), value);
        QCOMPARE(loaded.shown_cell(), value >= 0 && value <= 2 ? 4 * value : 0);
    }

    void new_instance_and_round_trip()
    {
        QCOMPARE(m_box->Caption(), QStringLiteral("xpcheckbox1"));
        QCOMPARE(m_box->Value(), 0);
        m_box->save();
        QCOMPARE(m_bag.size(), 0);
        m_box->set_Caption(QStringLiteral("包含"));
        m_box->set_Enabled(false);
        m_box->set_Font(QFont(QStringLiteral("宋体"), 9));
        m_box->set_BackColor(rgb(255, 255, 255));
        m_box->set_ForeColor(rgb(0, 70, 213));
        m_box->save();
        QCOMPARE(m_bag.size(), 5);
        xpcheckbox loaded(m_window);
        loaded.place(&m_bag, placement::load);
        QCOMPARE(loaded.Caption(), QStringLiteral("包含"));
        QCOMPARE(loaded.Enabled(), false);
        QCOMPARE(loaded.Font(), QFont(QStringLiteral("宋体"), 9));
        QCOMPARE(loaded.BackColor(), rgb(255, 255, 255));
        QCOMPARE(loaded.ForeColor(), rgb(0, 70, 213));
        QCOMPARE(loaded.lbl->text_colour(), QColor(161, 161, 146));
    }
};

QTEST_MAIN(tst_xpcheckbox)
#include "tst_xpcheckbox.moc"
