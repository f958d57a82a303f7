// The push button on real widgets with stand-in art: the nine pieces, the
// five faces and State, the caption label, events and their order, the
// access key, and the stored properties.

#include "controls/xpcmdbutton.h"
#include "platform/fonts.h"
#include "platform/pointer.h"
#include "support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace controls;

using support::send_move;

class tst_xpcmdbutton : public QObject {
    Q_OBJECT

    QWidget* m_window = nullptr;
    xpcmdbutton* m_button = nullptr;
    platform::property_bag m_bag;
    QStringList m_log;

    // The cell the button shows, read from the first pixel of the centre
    // piece, which the caption does not reach.
    int face() { return stand_in::button_cell(m_button->grab().toImage().pixel(3, 3)); }

    // The label stands at the nearest pixel to the centred position.
    static void verify_centred(const QWidget* lbl, int W, int H)
    {
        QVERIFY(qAbs(lbl->x() - (W - lbl->width()) / 2.0) <= 0.5);
        QVERIFY(qAbs(lbl->y() - (H - lbl->height()) / 2.0) <= 0.5);
    }

    // Logs each event with the face on screen while the host's handler runs.
    void record() { support::record(*m_button, m_log, [this] { return QString::number(face()); }); }

private slots:
    void initTestCase()
    {
        platform::install_font_substitutes();
        stand_in::install();
    }

    void init()
    {
        m_log.clear();
        m_bag = {};
        m_bag.ambient_display_name = QStringLiteral("Command1");
        m_bag.ambient_font = QFont(QStringLiteral("宋体"), 9);
        m_window = new QWidget;
        m_window->setGeometry(50, 50, 300, 200);
        m_button = new xpcmdbutton(m_window);
        m_button->setGeometry(10, 20, 75, 23);
        m_button->place(&m_bag, placement::new_instance);
        m_window->show();
        platform::set_cursor_pos_override(QPoint(-100, -100));
    }

    void cleanup()
    {
        delete m_window;
        platform::set_cursor_pos_override(std::nullopt);
    }

    void pieces_data()
    {
        QTest::addColumn<double>("W");
        QTest::addColumn<double>("H");
        QTest::addColumn<double>("right");
        QTest::addColumn<double>("bottom");
        QTest::addColumn<double>("inner_width");
        QTest::addColumn<double>("inner_height");
        QTest::newRow("75 x 23") << 75.0 << 23.0 << 72.0 << 20.0 << 69.0 << 17.0;
        QTest::newRow("6 x 6") << 6.0 << 6.0 << 3.0 << 3.0 << 0.0 << 0.0;
        QTest::newRow("H - 6 = 14.5 rounds down to even") << 40.0 << 20.5 << 37.0 << 17.5 << 34.0 << 14.0;
        QTest::newRow("H - 6 = 15.5 rounds up to even") << 40.0 << 21.5 << 37.0 << 18.5 << 34.0 << 16.0;
    }

    void pieces()
    {
        QFETCH(double, W);
        QFETCH(double, H);
        QFETCH(double, right);
        QFETCH(double, bottom);
        QFETCH(double, inner_width);
        QFETCH(double, inner_height);
        const auto p = nine_slice_pieces(W, H);
        const std::array<slice_piece, 9> expected{{
            {{0, 0, 3, 3}, {0, 0, 3, 3}},
            {{right, 0, 3, 3}, {15, 0, 3, 3}},
            {{right, bottom, 3, 3}, {15, 18, 3, 3}},
            {{0, bottom, 3, 3}, {0, 18, 3, 3}},
            {{3, 0, inner_width, 3}, {3, 0, 12, 3}},
            {{right, 3, 3, inner_height}, {15, 3, 3, 15}},
            {{0, 3, 3, inner_height}, {0, 3, 3, 15}},
            {{3, bottom, inner_width, 3}, {3, 18, 12, 3}},
            {{3, 3, inner_width, inner_height}, {3, 3, 12, 15}},
        }};
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(p[i].destination, expected[i].destination);
            QCOMPARE(p[i].source, expected[i].source);
        }
    }

    // Which piece of the cell each pixel of a painted 75 x 23 button shows.
    void painted_pixels_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("piece");
        QTest::newRow("top-left corner") << QPoint(0, 0) << 1;
        QTest::newRow("top-left corner, inner pixel") << QPoint(2, 2) << 1;
        QTest::newRow("top-right corner") << QPoint(72, 0) << 2;
        QTest::newRow("top-right corner, last pixel") << QPoint(74, 2) << 2;
        QTest::newRow("bottom-right corner") << QPoint(74, 22) << 3;
        QTest::newRow("bottom-left corner") << QPoint(0, 20) << 4;
        QTest::newRow("top edge, start") << QPoint(3, 0) << 5;
        QTest::newRow("top edge, end") << QPoint(71, 2) << 5;
        QTest::newRow("right edge") << QPoint(73, 11) << 6;
        QTest::newRow("left edge") << QPoint(0, 19) << 7;
        QTest::newRow("bottom edge") << QPoint(40, 21) << 8;
        QTest::newRow("centre") << QPoint(3, 3) << 9;
        QTest::newRow("centre, far corner") << QPoint(71, 19) << 9;
    }

    void painted_pixels()
    {
        QFETCH(QPoint, pixel);
        QFETCH(int, piece);
        m_button->lbl->hide(); // the caption lies above the face
        const QImage shot = m_button->grab().toImage();
        QCOMPARE(stand_in::button_piece(shot.pixel(pixel)), piece);
        QCOMPARE(stand_in::button_cell(shot.pixel(pixel)), 0);
    }

    void six_by_six_shows_only_corners()
    {
        m_button->lbl->hide();
        m_button->resize(6, 6);
        const QImage shot = m_button->grab().toImage();
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y) {
                const int expected = y < 3 ? (x < 3 ? 1 : 2) : (x < 3 ? 4 : 3);
                QCOMPARE(stand_in::button_piece(shot.pixel(x, y)), expected);
            }
    }

    // The rest face follows State and Enabled; the caption's colour follows
    // Enabled.
    void rest_faces_data()
    {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("cell");
        QTest::newRow("new") << QList<int>{} << true << 0;
        QTest::newRow("State 1") << QList<int>{1} << true << 4;
        QTest::newRow("State 1 then 0") << QList<int>{1, 0} << true << 0;
        QTest::newRow("State 7 after 1 keeps the emphasis") << QList<int>{1, 7} << true << 4;
        QTest::newRow("State 7 from new") << QList<int>{7} << true << 0;
        QTest::newRow("disabled") << QList<int>{} << false << 2;
        QTest::newRow("disabled with State 1") << QList<int>{1} << false << 2;
    }

    void rest_faces()
    {
        QFETCH(QList<int>, states);
        QFETCH(bool, enabled);
        QFETCH(int, cell);
        for (int s : states)
            m_button->set_State(s);
        m_button->set_Enabled(enabled);
        QCOMPARE(face(), cell);
        if (!states.isEmpty())
            QCOMPARE(m_button->State(), states.last());
        QCOMPARE(m_button->lbl->text_colour(), enabled ? QColor(0, 0, 0) : QColor(161, 161, 146));
        // Enabling again shows the rest face the state selects.
        m_button->set_Enabled(true);
        QCOMPARE(face(), cell == 2 ? (states.contains(1) ? 4 : 0) : cell);
        QCOMPARE(m_button->lbl->text_colour(), QColor(0, 0, 0));
    }

    // A move chooses its face by the Button the host's handler left.
    void move_faces_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("host_sets");
        QTest::addColumn<int>("cell");
        QTest::newRow("Button 0") << int(Qt::NoButton) << -1 << 3;
        QTest::newRow("Button 1") << int(Qt::LeftButton) << -1 << 1;
        QTest::newRow("Button 2") << int(Qt::RightButton) << -1 << 3;
        QTest::newRow("Button 3") << int(Qt::LeftButton | Qt::RightButton) << -1 << 3;
        QTest::newRow("Button 4") << int(Qt::MiddleButton) << -1 << 3;
        QTest::newRow("host changes 0 to 1") << int(Qt::NoButton) << 1 << 1;
        QTest::newRow("host changes 1 to 2") << int(Qt::LeftButton) << 2 << 3;
    }

    void move_faces()
    {
        QFETCH(int, buttons);
        QFETCH(int, host_sets);
        QFETCH(int, cell);
        if (host_sets >= 0)
            m_button->events().bind(u"MouseMove", [host_sets](event_args& a) { a.button = std::int16_t(host_sets); });
        send_move(m_button, QPoint(30, 10), Qt::MouseButtons(buttons));
        QCOMPARE(face(), cell);
        QVERIFY(m_button->Timer1.enabled());
    }

    // A whole click, then the pointer's leaving, with the face at each event.
    void click_sequence()
    {
        record();
        QVERIFY(!m_button->Timer1.enabled()); // stopped at creation
        send_move(m_button, QPoint(30, 10));
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(face(), 0);
        platform::set_cursor_pos_override(m_button->mapToGlobal(QPoint(75, 23))); // on the corner: inside
        m_button->Timer1.tick();
        platform::set_cursor_pos_override(m_button->mapToGlobal(QPoint(76, 23)));
        send_move(m_button, QPoint(30, 10));
        m_button->Timer1.tick();
        m_button->Timer1.tick();
        QCOMPARE(m_log, (QStringList{"MouseMove@0 0 0 30 10", "MouseDown@3 1 0 30 10", "MouseUp@1 1 0 30 10",
                                     "Click@0", "MouseMove@0 0 0 30 10", "MouseOut@3"}));
        QCOMPARE(face(), 0);
        QVERIFY(!m_button->Timer1.enabled());
    }

    // The label is part of the face: a move over it reports its corner, a
    // press reports coordinates relative to it, a click on it clicks.
    void caption_label_forwarding()
    {
        record();
        QCOMPARE(m_button->Caption(), QStringLiteral("Command1"));
        caption_label* lbl = m_button->lbl;
        verify_centred(lbl, 75, 23);
        send_move(lbl, QPoint(5, 4));
        QTest::mousePress(lbl, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 4));
        QTest::mouseRelease(lbl, Qt::LeftButton, Qt::ControlModifier, QPoint(6, 3));
        QCOMPARE(m_log, (QStringList{QStringLiteral("MouseMove@0 0 0 %1 %2").arg(lbl->x()).arg(lbl->y()),
                                     "MouseDown@3 1 2 5 4", "MouseUp@1 1 2 6 3", "Click@0"}));
        // A longer caption widens the label and centres it again.
        const int before = lbl->width();
        m_button->set_Caption(QStringLiteral("一段更长的按钮标题"));
        QVERIFY(lbl->width() > before);
        verify_centred(lbl, 75, 23);
    }

    // The access key clicks the button, with no mouse event and no new face.
    void access_key_clicks_without_a_face_change()
    {
        record();
        m_button->set_Caption(QStringLiteral("修改(&M)"));
        send_move(m_button, QPoint(30, 10));
        m_log.clear();
        m_button->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == m_window, 5000);
        QTest::keyClick(m_window, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(m_log, QStringList{"Click@3"});
        QCOMPARE(face(), 3);
        m_button->access_key();
        QCOMPARE(m_log, (QStringList{"Click@3", "Click@3"}));
    }

    void keys_pass_through_and_click_nothing()
    {
        record();
        m_button->setFocus();
        QTest::keyClick(m_button, Qt::Key_Space);
        QTest::keyClick(m_button, Qt::Key_Return);
        QCOMPARE(m_log, (QStringList{"KeyDown@0 32 0", "KeyPress@0 32", "KeyUp@0 32 0", "KeyDown@0 13 0",
                                     "KeyPress@0 13", "KeyUp@0 13 0"}));
    }

    void stored_properties_round_trip_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("own_font");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("all defaults") << 0 << true << "Command1" << false << QStringList{};
        QTest::newRow("emphasised") << 1 << true << "Command1" << false << QStringList{"State"};
        QTest::newRow("out of range state") << 7 << true << "Command1" << false << QStringList{"State"};
        QTest::newRow("everything") << 1 << false << "查询" << true
                                    << QStringList{"State", "Enabled", "Caption", "Font"};
    }

    void stored_properties_round_trip()
    {
        QFETCH(int, state);
        QFETCH(bool, enabled);
        QFETCH(QString, caption);
        QFETCH(bool, own_font);
        QFETCH(QStringList, stored);
        const QFont font(QStringLiteral("宋体"), 14, QFont::Bold);
        QStringList notified;
        m_bag.on_property_changed = [&](const QString& p) { notified << p; };
        m_button->set_State(state);
        m_button->set_Enabled(enabled);
        m_button->set_Caption(caption);
        if (own_font)
            m_button->set_Font(font);
        QCOMPARE(notified, (QStringList{"State", "Enabled", "Caption"} + (own_font ? QStringList{"Font"} : QStringList{})));
        platform::property_bag saved = m_bag;
        m_button->attach(&saved);
        m_button->save();
        QCOMPARE(saved.size(), int(stored.size()));
        for (const QString& key : stored)
            QVERIFY(saved.contains(key.toLower()));

        xpcmdbutton copy(m_window);
        copy.setGeometry(100, 100, 75, 23);
        copy.place(&saved, placement::load);
        QCOMPARE(copy.State(), state);
        QCOMPARE(copy.Enabled(), enabled);
        QCOMPARE(copy.Caption(), caption);
        QCOMPARE(copy.Font(), own_font ? font : m_bag.ambient_font);
        QCOMPARE(copy.shown_cell(), !enabled ? 2 : state == 1 ? 4 : 0);
    }

    // The stored data of a window spells its keys in lower case.
    void loads_keys_in_any_case()
    {
        platform::property_bag bag;
        bag.ambient_display_name = QStringLiteral("Command2");
        bag.write(QStringLiteral("caption"), QStringLiteral("查询"), QString());
        bag.write(QStringLiteral("STATE"), 1, 0);
        xpcmdbutton button(m_window);
        button.place(&bag, placement::load);
        QCOMPARE(button.Caption(), QStringLiteral("查询"));
        QCOMPARE(button.State(), 1);
    }
};

QTEST_MAIN(tst_xpcmdbutton)
#include "tst_xpcmdbutton.moc"
