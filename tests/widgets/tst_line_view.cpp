#include "platform/toolkit/fonts.h"
#include "widgets/line_view.h"
#include "widgets/text_box.h"

#include <QScrollBar>
#include <QtTest>

using widgets::line_view;

namespace {

struct pos {
    int line;
    int at;
};

// A list box of the given size, shown, holding `text`.
struct shown_list {
    widgets::text_box box{widgets::text_box::kind::list};
    explicit shown_list(const std::string& text, QSize size = QSize(200, 120))
    {
        box.resize(size);
        box.show();
        if (!QTest::qWaitForWindowExposed(&box))
            qFatal("the list box was not shown");
        box.set_text(text);
        box.flush();
    }
    line_view& view() { return *box.list_view(); }
};

} // namespace

Q_DECLARE_METATYPE(pos)

class tst_line_view : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::install_font_substitutes(); }

    // A drag across the list selects exactly the bytes between its ends,
    // whichever way it goes, CR LF included between lines.
    void drag_selects_exact_bytes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<pos>("from");
        QTest::addColumn<pos>("to");
        QTest::addColumn<QByteArray>("selected");
        QTest::newRow("within a line") << QByteArray("abc\r\nxyz") << pos{0, 1} << pos{0, 3} << QByteArray("bc");
        QTest::newRow("across lines") << QByteArray("abc\r\nxyz") << pos{0, 1} << pos{1, 2} << QByteArray("bc\r\nxy");
        QTest::newRow("backwards") << QByteArray("abc\r\nxyz") << pos{1, 2} << pos{0, 1} << QByteArray("bc\r\nxy");
        QTest::newRow("not UTF-8") << QByteArray("a\xff\xfe" "b") << pos{0, 1} << pos{0, 3} << QByteArray("\xff\xfe");
        QTest::newRow("chinese") << QByteArray("旅行照片.jpg") << pos{0, 2} << pos{0, 4} << QByteArray("照片");
        QTest::newRow("plain click") << QByteArray("abc") << pos{0, 2} << pos{0, 2} << QByteArray();
    }
    void drag_selects_exact_bytes()
    {
        QFETCH(QByteArray, text);
        QFETCH(pos, from);
        QFETCH(pos, to);
        QFETCH(QByteArray, selected);

        shown_list list(text.toStdString());
        int clicks = 0;
        list.box.on_click = [&] { ++clicks; };
        QWidget* surface = list.view().viewport();
        QTest::mousePress(surface, Qt::LeftButton, {}, list.view().point_at(from.line, from.at));
        QTest::mouseMove(surface, list.view().point_at(to.line, to.at));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, list.view().point_at(to.line, to.at));
        QCOMPARE(QByteArray::fromStdString(list.box.SelText()), selected);
        QCOMPARE(clicks, 1);
    }

    // A long list costs only its index: it scrolls to its last line, keeps
    // its place while it grows and starts again at its top when replaced.
    void long_list_scrolls_grows_and_restarts()
    {
        std::string text;
        for (int i = 0; i < 100000; ++i)
            text += (i ? "\r\nname " : "name ") + std::to_string(i);
        shown_list list(text);
        QCOMPARE(list.view().line_count(), 100000);
        QScrollBar* bar = list.view().verticalScrollBar();
        bar->setValue(bar->maximum());
        const int top = list.view().top_line();
        QVERIFY(top > 99900);
        QCOMPARE(list.view().line(99999), QStringLiteral("name 99999"));
        QTest::mouseClick(list.view().viewport(), Qt::LeftButton, {}, list.view().point_at(top, 0));

        list.box.change_text([](std::string& t) { t += "\r\nmore"; });
        list.box.flush();
        QCOMPARE(list.view().line_count(), 100001);
        QCOMPARE(list.view().line(100000), QStringLiteral("more"));
        QCOMPARE(list.view().top_line(), top);

        QTest::keyClick(&list.view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list.box.SelText(), list.box.Text());
        list.box.set_text("x\r\ny");
        list.box.flush();
        QCOMPARE(list.view().top_line(), 0);
        QCOMPARE(list.view().text(), QStringLiteral("x\ny"));
        QCOMPARE(list.box.SelText(), std::string());
    }

    // A list of megabytes is counted into lines a piece at a time; until
    // the last piece, its last counted line is only that line, and a line
    // end split by a piece's edge is counted once.
    void huge_list_is_counted_in_pieces()
    {
        // Five bytes a line: the 838,861st line end straddles the first
        // piece's edge at four megabytes.
        std::string text;
        for (int i = 0; i < 1000000; ++i) {
            char line[8];
            std::snprintf(line, sizeof line, i ? "\r\n%03d" : "%03d", i % 1000);
            text += line;
        }
        shown_list list(text);
        const int counted = list.view().line_count();
        QVERIFY(counted > 1 && counted < 1000000);
        QCOMPARE(list.view().line(counted - 1).size(), 3);
        QTRY_COMPARE(list.view().line_count(), 1000000);
        QCOMPARE(list.view().line(838860), QStringLiteral("860"));
        QCOMPARE(list.view().line(838861), QStringLiteral("861"));
        QCOMPARE(list.view().line(999999), QStringLiteral("999"));
    }

    // A line wider than the view wraps; a point on its second row is a
    // position past the first row.
    void long_line_wraps()
    {
        const std::string wide(200, 'w');
        shown_list list(wide + "\r\nnext", QSize(150, 200));
        const QPoint start = list.view().point_at(0, 0);
        const QPoint late = list.view().point_at(0, 150);
        QVERIFY(late.y() > start.y());
        QVERIFY(list.view().point_at(1, 0).y() > late.y());
        QTest::mousePress(list.view().viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(list.view().viewport(), late);
        QTest::mouseRelease(list.view().viewport(), Qt::LeftButton, {}, late);
        QCOMPARE(list.box.SelText(), std::string(150, 'w'));
    }
};

QTEST_MAIN(tst_line_view)
#include "tst_line_view.moc"
