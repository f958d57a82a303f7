#include "headless_window.h"
#include "form/window_runs.h"
#include "widget_window.h"


#include "folder_fixture.h"
#include "scripted_boxes.h"

#include "platform/files/file_calls.h"

#include <QtTest>

using renamer::check_id;
using renamer::text_id;

// The window over real widgets must answer the runs exactly as the headless
// one does: the same run over two copies of a folder, one per window, must
// leave the same names on disk and the same lists, bar and timer.
class tst_widget_window : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        boxes.on_message = ([this](const QString& text, const QString&) { reports << text; });
    }
    void cleanup()
    {
        boxes.reset();
    }
    void rename_run_agrees_with_headless_data();
    void rename_run_agrees_with_headless();

private:
    temporary_state_folder state;
    QStringList reports;
    fixture::scripted_boxes boxes;
};

void tst_widget_window::rename_run_agrees_with_headless_data()
{
    QTest::addColumn<QByteArrayList>("names");
    QTest::addColumn<int>("option");       // Check1..3 as 0..2, or -1 for none
    QTest::addColumn<QByteArray>("rule");  // zztt or Combo1 for the option
    QTest::addColumn<QByteArray>("what");  // Text3
    QTest::addColumn<QByteArray>("with");  // Text4
    QTest::addColumn<QByteArray>("contain");

    const QByteArrayList names{"x.jpg", "y.JPG", "a\xff.txt", "旅行.jpg"};
    QTest::newRow("replacement") << names << -1 << QByteArray() << QByteArray("jpg") << QByteArray("png") << QByteArray();
    QTest::newRow("pattern from Combo1") << names << 1 << QByteArray("p*.jpg") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("pattern without star from Combo1") << names << 1 << QByteArray("same.jpg") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("strip extension") << names << 0 << QByteArray() << QByteArray() << QByteArray() << QByteArray(".jpg");
    QTest::newRow("new extension from zztt") << names << 2 << QByteArray(" doc ") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("empty folder") << QByteArrayList{} << -1 << QByteArray() << QByteArray("a") << QByteArray("b") << QByteArray();
}

void tst_widget_window::rename_run_agrees_with_headless()
{
    QFETCH(QByteArrayList, names);
    QFETCH(int, option);
    QFETCH(QByteArray, rule);
    QFETCH(QByteArray, what);
    QFETCH(QByteArray, with);
    QFETCH(QByteArray, contain);

    reports.clear();
    byte_named_dir plain_dir, widget_dir;
    for (const auto& name : names) {
        fixture::write_file(plain_dir.path(), fixture::str(name), fixture::str(name));
        fixture::write_file(widget_dir.path(), fixture::str(name), fixture::str(name));
    }
    renamer::headless_window plain(plain_dir.path(), boxes);
    renamer::widget_window widgets(widget_dir.path(), platform::kernel_files(), boxes);
    for (renamer::window_controls* window : {static_cast<renamer::window_controls*>(&plain),
                                             static_cast<renamer::window_controls*>(&widgets)}) {
        if (option >= 0) {
            window->set_check_value(check_id(option), true);
            window->set_text(option == 2 ? text_id::zztt : text_id::Combo1, fixture::str(rule));
        }
        window->set_text(text_id::Text3, fixture::str(what));
        window->set_text(text_id::Text4, fixture::str(with));
        window->set_text(text_id::Text5, fixture::str(contain));
        renamer::rename_run(*window);
    }

    QCOMPARE(fixture::describe(fixture::read_folder(widget_dir.path())),
             fixture::describe(fixture::read_folder(plain_dir.path())));
    QCOMPARE(widgets.list_count(), plain.list_count());
    QCOMPARE(QByteArray::fromStdString(widgets.text(text_id::Text2)),
             QByteArray::fromStdString(plain.text(text_id::Text2)));
    const auto plain_paths = fixture::lines_of(plain.text(text_id::Text1));
    const auto widget_paths = fixture::lines_of(widgets.text(text_id::Text1));
    QCOMPARE(widget_paths.size(), plain_paths.size());
    for (std::size_t k = 0; k < plain_paths.size(); ++k)
        QCOMPARE(widget_paths[k].substr(widget_dir.path().size()), plain_paths[k].substr(plain_dir.path().size()));
    QCOMPARE(widgets.ppbb().Max(), plain.bar().max());
    QCOMPARE(widgets.ppbb().Value(), plain.bar().value());
    QCOMPARE(widgets.Timer1().enabled(), plain.timer_enabled());
    // The widget window shows its box from the message loop.
    QCoreApplication::processEvents();
    // A pattern without a star gives every file one name: both windows
    // report the same refusals, once each; no other row refuses anything.
    const bool refusals = QByteArray(QTest::currentDataTag()).contains("without star");
    QCOMPARE(reports.size(), refusals ? 2 : 0);
    if (refusals)
        QCOMPARE(reports[0], reports[1]);
    QCOMPARE(widgets.run_index(), plain.run_index());
    // Each rule renames something here, so the comparison is not between
    // two folders that were left alone.
    std::map<std::string, std::string> untouched;
    for (const auto& name : names)
        untouched[fixture::str(name)] = fixture::str(name);
    QCOMPARE(fixture::read_folder(plain_dir.path()) != untouched, !names.isEmpty());
}

QTEST_MAIN(tst_widget_window)
#include "tst_widget_window.moc"
