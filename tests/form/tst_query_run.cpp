#include "headless_window.h"
#include "core/rules.h"
#include "form/window_runs.h"
#include "widget_window.h"

#include "platform/files/folder_reading.h"
#include "platform/toolkit/message_loop.h"
#include "widgets/shown_text.h"
#include "folder_fixture.h"
#include "child_namespace.h"

#include "widgets/line_view.h"
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using renamer::text_id;

namespace {


std::string crlf_joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines)
        renamer::append_list_line(out, line);
    return out;
}

// Both windows, seen through what a test needs to read back besides the
// interface.
struct any_window {
    std::unique_ptr<renamer::headless_window> headless;
    std::unique_ptr<renamer::widget_window> widgets;

    renamer::window_controls& controls()
    {
        return headless ? static_cast<renamer::window_controls&>(*headless) : *widgets;
    }
    float bar_value() const { return headless ? headless->bar().value() : widgets->ppbb().Value(); }
    float bar_max() const { return headless ? headless->bar().max() : widgets->ppbb().Max(); }
    bool timer_enabled() const { return headless ? headless->timer_enabled() : widgets->Timer1().enabled(); }
};

any_window open_window(bool widgets, const std::string& folder)
{
    any_window w;
    if (widgets)
        w.widgets = std::make_unique<renamer::widget_window>(folder);
    else
        w.headless = std::make_unique<renamer::headless_window>(folder);
    return w;
}

} // namespace

class tst_query_run : public QObject {
    Q_OBJECT
private slots:
    void lists_matching_files_data();
    void lists_matching_files();
    void root_folder_gives_single_separators_data();
    void root_folder_gives_single_separators();
    void folder_forms_give_single_separators_data();
    void folder_forms_give_single_separators();
};

// One row per case, once for each window: the folder's names, the inputs,
// the names the run must list, in list order.
void tst_query_run::lists_matching_files_data()
{
    QTest::addColumn<bool>("widgets");
    QTest::addColumn<QByteArrayList>("names");
    QTest::addColumn<QByteArray>("what");      // Text3
    QTest::addColumn<QByteArray>("contain");   // Text5
    QTest::addColumn<QByteArray>("exclude");   // Text6
    QTest::addColumn<QByteArrayList>("listed");

    for (const bool widgets : {false, true}) {
        const char* kind = widgets ? "widgets: " : "headless: ";
        auto row = [&](const char* name) { return &QTest::newRow((QByteArray(kind) + name).constData()); };
        *row("empty Text3 lists everything") << widgets << QByteArrayList{"b.txt", "a.doc", "c"} << QByteArray() << QByteArray() << QByteArray() << QByteArrayList{"a.doc", "b.txt", "c"};
        *row("case-sensitive") << widgets << QByteArrayList{"IMG_1.jpg", "img_2.jpg", "a.txt"} << QByteArray("IMG") << QByteArray() << QByteArray() << QByteArrayList{"IMG_1.jpg"};
        *row("must-not-contain filter") << widgets << QByteArrayList{"a1.doc", "a1.txt", "b.doc"} << QByteArray("1") << QByteArray() << QByteArray(".txt") << QByteArrayList{"a1.doc"};
        *row("must-contain filter") << widgets << QByteArrayList{"a1.doc", "a1.txt", "b.doc"} << QByteArray() << QByteArray("doc") << QByteArray() << QByteArrayList{"a1.doc", "b.doc"};
        *row("blank filters are off") << widgets << QByteArrayList{"a", "b"} << QByteArray() << QByteArray("  ") << QByteArray(" ") << QByteArrayList{"a", "b"};
        *row("Text3 as typed, blank kept") << widgets << QByteArrayList{"x a.txt", "xa.txt"} << QByteArray(" a") << QByteArray() << QByteArray() << QByteArrayList{"x a.txt"};
        *row("nothing matches") << widgets << QByteArrayList{"a", "b"} << QByteArray("zzz") << QByteArray() << QByteArray() << QByteArrayList{};
        *row("single file") << widgets << QByteArrayList{"only.txt"} << QByteArray("only") << QByteArray() << QByteArray() << QByteArrayList{"only.txt"};
        *row("empty folder") << widgets << QByteArrayList{} << QByteArray() << QByteArray() << QByteArray() << QByteArrayList{};
        *row("bytes that are not UTF-8") << widgets << QByteArrayList{"a\xff.txt", "a\xfe.txt", "b.txt"} << QByteArray("\xff") << QByteArray() << QByteArray() << QByteArrayList{"a\xff.txt"};
    }
}

void tst_query_run::lists_matching_files()
{
    QFETCH(bool, widgets);
    QFETCH(QByteArrayList, names);
    QFETCH(QByteArray, what);
    QFETCH(QByteArray, contain);
    QFETCH(QByteArray, exclude);
    QFETCH(QByteArrayList, listed);

    byte_named_dir dir;
    const std::string folder = dir.path();
    for (const auto& name : names)
        fixture::write_file(folder, fixture::str(name), {});
    QVERIFY(QDir(QString::fromStdString(folder)).mkdir("sub.txt"));   // folders are not files
    const auto before = *platform::list_files(folder);

    any_window w = open_window(widgets, folder);
    auto& window = w.controls();
    window.set_text(text_id::Text3, fixture::str(what));
    window.set_text(text_id::Text5, fixture::str(contain));
    window.set_text(text_id::Text6, fixture::str(exclude));
    // Old results and a bar left mid-way by an earlier run.
    window.set_text(text_id::Text1, "old");
    window.set_text(text_id::Text2, "old");
    QVERIFY(window.set_bar_value(40));

    // Nothing is put on the screen while the run goes.
    bool display_during_run = false;
    renamer::run_with(renamer::query_job(window), [&] {
        if (w.widgets)
            for (const auto which : {text_id::Text1, text_id::Text2})
                display_during_run |= w.widgets->text_box(which).flush_pending();
        QCoreApplication::processEvents();
    });
    QVERIFY(!display_during_run);

    std::vector<std::string> expected_names, expected_paths;
    for (const auto& name : listed) {
        expected_names.push_back(fixture::str(name));
        expected_paths.push_back(folder + "/" + fixture::str(name));
    }
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text2)), QByteArray::fromStdString(crlf_joined(expected_names)));
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text1)), QByteArray::fromStdString(crlf_joined(expected_paths)));
    QCOMPARE(w.bar_value(), 0.0f);
    // Fewer than two files leave the bar's maximum as it was.
    QCOMPARE(w.bar_max(), names.size() >= 2 ? float(names.size() - 1) : 100.0f);
    QVERIFY(!w.timer_enabled());
    QCOMPARE(window.run_index(), names.isEmpty() ? 0 : int(names.size() - 1));
    // The inputs are as they were and nothing on disk changed.
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text3)), what);
    QVERIFY(*platform::list_files(folder) == before);

    if (w.widgets) {
        // What the widgets show follows the model, lossily, once the run is over.
        QTRY_COMPARE(w.widgets->text_box(text_id::Text2).list_view()->text(),
                 widgets::shown_text(crlf_joined(expected_names), true));
    }
}

void tst_query_run::root_folder_gives_single_separators_data()
{
    QTest::addColumn<bool>("widgets");
    QTest::newRow("headless") << false;
    QTest::newRow("widgets") << true;
}

// The root's listing lines come out with one separator, and line k of each
// list names the same file. The root is one the test makes, with files.
void tst_query_run::root_folder_gives_single_separators()
{
    QFETCH(bool, widgets);
    if (const auto child = fixture::row_in_child(fixture::child_root::own)) {
        QVERIFY2(child->isEmpty(), qPrintable(*child));
        return;
    }
    const auto files = platform::list_files("/");
    QVERIFY(files);
    QVERIFY(fixture::root_holds_files(*files));

    any_window w = open_window(widgets, "/");
    auto& window = w.controls();
    renamer::query_run(window);

    const auto names = fixture::lines_of(window.text(text_id::Text2));
    const auto paths = fixture::lines_of(window.text(text_id::Text1));
    QVERIFY(names == *files);
    QCOMPARE(paths.size(), names.size());
    for (std::size_t k = 0; k < names.size(); ++k)
        QCOMPARE(paths[k], "/" + names[k]);
    QVERIFY(!window.text(text_id::Text1).starts_with("//"));
}

// A folder written with a separator too many lists its paths with single
// separators, also when File1 takes that form in the middle of the path
// pass, after lines of the plain form.
void tst_query_run::folder_forms_give_single_separators_data()
{
    QTest::addColumn<bool>("widgets");
    QTest::addColumn<QByteArray>("form");   // "<>" stands for the parent folder
    QTest::addColumn<int>("from_file");    // File1 takes the form after this many files; 0: from the start

    // Three files: the path pass starts after the three of the first.
    for (const bool widgets : {false, true}) {
        const QByteArray kind = widgets ? "widgets: " : "headless: ";
        QTest::newRow((kind + "trailing separator").constData()) << widgets << QByteArray("<>/sub/") << 0;
        QTest::newRow((kind + "doubled inside").constData()) << widgets << QByteArray("<>//sub") << 0;
        QTest::newRow((kind + "taken in the path pass").constData()) << widgets << QByteArray("<>//sub") << 4;
    }
}

void tst_query_run::folder_forms_give_single_separators()
{
    QFETCH(bool, widgets);
    QFETCH(QByteArray, form);
    QFETCH(int, from_file);

    byte_named_dir dir;
    const std::string folder = dir.path() + "/sub";
    make_path(folder);
    for (const char* name : {"a", "b", "c"})
        fixture::write_file(folder, name, {});
    std::string written = fixture::str(form);
    written.replace(0, 2, dir.path());

    any_window w = open_window(widgets, from_file == 0 ? written : folder);
    auto& window = w.controls();
    int files = 0;
    renamer::run_with(renamer::query_job(window), [&] {
        if (++files == from_file)
            QVERIFY(window.set_file_path(written));
    });

    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text1)),
             QByteArray::fromStdString(crlf_joined({folder + "/a", folder + "/b", folder + "/c"})));
}

QTEST_MAIN(tst_query_run)
#include "tst_query_run.moc"
