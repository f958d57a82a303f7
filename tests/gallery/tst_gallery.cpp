// The gallery starts and shows every control of the library, each row in
// the states it has and in the face that state draws.

#include "gallery_window.h"

#include "controls/indicator_control.h"
#include "controls/xpcmdbutton.h"
#include "platform/toolkit/fonts.h"

#include <QtTest>

class tst_gallery : public QObject {
    Q_OBJECT
private slots:
    void every_control_in_every_state();
};

void tst_gallery::every_control_in_every_state()
{
    platform::install_font_substitutes();
    gallery::gallery_window window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.pose();

    const QStringList rows = {"push button", "check box", "check box mixed", "option button", "caption close",
                              "caption maximize", "caption minimize", "caption restore", "help button",
                              "group box", "frame"};
    QCOMPARE(window.rows(), rows);
    int shown = 0;
    for (const QString& row : rows) {
        for (const QString& state : gallery::state_names) {
            if (QWidget* w = window.specimen(row, state)) {
                QVERIFY2(w->isVisible(), qPrintable(row + " " + state));
                ++shown;
            }
        }
    }
    // 6 + 6 + 4 + 6 + 4 x 5 + 4 + 3.
    QCOMPARE(shown, 49);

    using controls::indicator_control;
    const auto cell = [&](const char* row, const char* state) {
        return static_cast<indicator_control*>(window.specimen(row, state))->shown_cell();
    };
    QCOMPARE(cell("option button", "hovered"), indicator_control::state_hover);
    QCOMPARE(cell("option button", "pressed"), indicator_control::state_pressed);
    QCOMPARE(cell("option button", "checked"), 4 + indicator_control::state_normal);
    QCOMPARE(cell("check box", "disabled"), indicator_control::state_disabled);
    const auto* button = static_cast<controls::xpcmdbutton*>(window.specimen("push button", "hovered"));
    QCOMPARE(button->shown_cell(), controls::xpcmdbutton::cell_hover);
    QVERIFY(window.specimen("push button", "focused")->hasFocus());

    QVERIFY(window.specimen("frame", "active"));
    QVERIFY(window.specimen("frame", "inactive")->isVisible());
}

QTEST_MAIN(tst_gallery)
#include "tst_gallery.moc"
