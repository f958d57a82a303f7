#include "app/main_window.h"
#include "app/preview_window.h"
#include "form/browsing.h"
#include "core/journal.h"

#include "platform/files/file_calls.h"
#include "platform/files/rename.h"
#include "platform/toolkit/message_box.h"
#include "folder_fixture.h"
#include "shown_form.h"
#include "scripted_boxes.h"
#include "staged_files.h"

#include <QApplication>
#include <QtTest>
#include <atomic>
#include <tuple>

using namespace fixture;
using platform::rename_outcome;
using renamer::check_id;
using renamer::Form3;
using renamer::preview_window;
using renamer::text_id;

namespace {

// The boxes the windows report and ask in, which each test answers; cleanup()
// gives them back to the toolkit.
fixture::scripted_boxes boxes;

using row = std::tuple<std::string, std::string, rename_outcome>;

// F5 where the user presses it, in the main window.
preview_window* press_F5(Form3& w)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == &w ? focus : static_cast<QWidget*>(&w), Qt::Key_F5);
    return w.preview();
}

// Old name, new name and outcome of every row, as the window shows them;
// a row not planned yet has no new name.
std::vector<row> rows_of(const preview_window& preview)
{
    std::vector<row> rows;
    const auto& model = preview.model();
    for (std::int32_t i = 0; i < model.rowCount(); ++i) {
        const std::string old_name(model.pass()->names()[std::size_t(i)]);
        if (const renamer::preview_row* shown = model.shown_row(i))
            rows.emplace_back(old_name, shown->new_name.value_or(old_name), shown->result.outcome);
        else
            rows.emplace_back(old_name, "", rename_outcome::unchanged);
    }
    return rows;
}

std::vector<std::string> new_names(const preview_window& preview)
{
    std::vector<std::string> names;
    for (const auto& r : rows_of(preview))
        names.push_back(std::get<1>(r));
    return names;
}

} // namespace

// The preview window over the real main window: what it shows is what the
// run then does, it follows the inputs, and it changes nothing on disk.
class tst_preview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rows_are_the_run_that_follows();
    void follows_every_change_data();
    void follows_every_change();
    void rename_checks_the_pattern_first();
    void reads_the_folder_through_the_window_file_system();

private:
    QStringList messages;
    std::unique_ptr<temporary_state_folder> state;
};

void tst_preview::init()
{
    state.reset();
    state = std::make_unique<temporary_state_folder>();
    messages.clear();
    boxes.on_message = ([this](const QString& text, const QString&) { messages << text; });
}

void tst_preview::cleanup()
{
    boxes.reset();
    state.reset();
}

// A pattern over a folder where one file meets a name still taken, one meets
// its own name in other case, and one takes a name that an earlier rename
// of the same run has just freed.
void tst_preview::rows_are_the_run_that_follows()
{
    shown_form f({"a", "b", "f1", "F3", "f3", "f6", "z"}, boxes);
    Form3& w = *f.form;
    click_at(w.option(check_id::Check2));
    w.Combo1().setCurrentText(QStringLiteral("f*"));
    const auto before = read_folder(f.folder());

    preview_window* preview = press_F5(w);
    QVERIFY(preview);
    QTRY_VERIFY(preview->up_to_date());
    const std::vector<row> rows = rows_of(*preview);
    const std::vector<row> expected = {
        {"a", "f0", rename_outcome::renamed},        {"b", "f1", rename_outcome::target_exists},
        {"f1", "f2", rename_outcome::renamed},       {"F3", "f3", rename_outcome::target_exists},
        {"f3", "f4", rename_outcome::renamed},       {"f6", "f5", rename_outcome::renamed},
        {"z", "f6", rename_outcome::renamed}};
    QCOMPARE(rows, expected);
    QCOMPARE(preview->counts().text(), QStringLiteral("共 7 个文件：将改名 5 个，不变 0 个，不能改名 2 个。"));
    QCOMPARE(read_folder(f.folder()), before);
    const std::string report = renamer::report_text(preview->model().pass()->outcomes(), renamer::run_kind::rename);

    click_at(preview->Command1());
    QTRY_VERIFY(!w.preview() && !w.running());

    std::vector<renamer::journal_entry> journalled;
    auto after = before;
    for (const auto& [old_name, new_name, outcome] : rows) {
        if (outcome != rename_outcome::renamed)
            continue;
        journalled.push_back({{}, old_name, new_name});
        after[new_name] = std::exchange(after[old_name], {});
        after.erase(old_name);
    }
    const auto runs = renamer::run_history();
    QCOMPARE(runs.size(), std::size_t(1));
    auto run = renamer::read_journal(runs.back().path);
    QCOMPARE(run.text.folder, f.folder());
    for (auto& entry : run.text.entries)
        entry.key.clear();
    QCOMPARE(run.text.entries, journalled);
    QCOMPARE(read_folder(f.folder()), after);
    QTRY_COMPARE(messages, QStringList{QString::fromStdString(report)});
}

// While the preview is open, an edit of a text, another rule and another
// folder each give new rows, and none renames anything. The folder's image
// is kept from one pass to the next, so an entry another program made
// meanwhile must still be in the plan.
void tst_preview::follows_every_change_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("edit") << "edit" << QStringList{"y1.txt", "y2.txt", "b.txt"};
    QTest::newRow("edit after another program") << "taken" << QStringList{"y1.txt", "y2.txt", "b.txt"};
    QTest::newRow("rule") << "rule" << QStringList{"a1.md", "a2.md", "b.md"};
    QTest::newRow("folder") << "folder" << QStringList{"x3"};
}

void tst_preview::follows_every_change()
{
    QFETCH(QString, change);
    QFETCH(QStringList, names);

    shown_form f({"a1.txt", "a2.txt", "b.txt"}, boxes);
    Form3& w = *f.form;
    const std::string other = f.folder() + "/other";
    make_path(other);
    make_files(other, {"a3"});
    w.set_text(text_id::Text3, "a");
    w.set_text(text_id::Text4, "x");
    w.set_text(text_id::zztt, "md");
    auto before = read_folder(f.folder());

    preview_window* preview = press_F5(w);
    QVERIFY(preview);
    QTRY_VERIFY(preview->up_to_date());
    QCOMPARE(new_names(*preview), (std::vector<std::string>{"x1.txt", "x2.txt", "b.txt"}));

    if (change == QLatin1String("taken")) {
        make_path(f.folder() + "/y1.txt");
        before["y1.txt"] = "<dir>";
    }
    if (change == QLatin1String("edit") || change == QLatin1String("taken"))
        w.set_text(text_id::Text4, "y");
    else if (change == QLatin1String("rule"))
        click_at(w.option(check_id::Check3));
    else
        QVERIFY(w.set_folder_path(other));

    std::vector<std::string> expected;
    for (const auto& name : names)
        expected.push_back(name.toStdString());
    QTRY_COMPARE(new_names(*preview), expected);
    QVERIFY(preview->up_to_date());
    QCOMPARE(preview->model().shown_row(0)->result.outcome,
             change == QLatin1String("taken") ? platform::rename_outcome::target_exists
                                              : platform::rename_outcome::renamed);
    QCOMPARE(read_folder(f.folder()), before);
}

// Its "修改" is a click on Command1: a pattern without "*" left in Combo1 is
// refused with the window's message before the run, which then renames by
// the replacement rule.
void tst_preview::rename_checks_the_pattern_first()
{
    shown_form f({"a1", "a2"}, boxes);
    Form3& w = *f.form;
    click_at(w.option(check_id::Check2));
    click_at(w.Combo1());
    QVERIFY(w.Combo1().hasFocus());
    w.Combo1().setCurrentText(QStringLiteral("abc"));

    preview_window* preview = press_F5(w);
    QVERIFY(preview);
    QTRY_VERIFY(preview->up_to_date());
    click_at(preview->Command1());

    QTRY_VERIFY(!w.preview() && !w.running());
    QTRY_COMPARE(messages, QStringList{QString::fromUtf8(renamer::pattern_message)});
    QCOMPARE(w.text(text_id::Combo1), std::string(renamer::default_pattern));
    QVERIFY(!w.check_value(check_id::Check2));
    QCOMPARE(read_folder(f.folder()).size(), std::size_t(2));
    QVERIFY(read_folder(f.folder()).count("a1"));
}

// The preview's image of the folder is read through the file system the
// window was given, as its lists and runs are, not the kernel's behind it.
void tst_preview::reads_the_folder_through_the_window_file_system()
{
    fixture::staged_files staged;
    shown_form f({"a1", "a2"}, staged, boxes);
    Form3& w = *f.form;
    w.set_text(text_id::Text3, "a");
    w.set_text(text_id::Text4, "b");
    QCOMPARE(w.list_count(), 2);

    // Asked on the planner's thread, once the window has listed the folder.
    std::atomic<int> asked{0};
    staged.stand_in = ([&asked](platform::file_calls& system) -> platform::file_calls& {
        ++asked;
        return system;
    });
    preview_window* preview = press_F5(w);
    QVERIFY(preview);
    QTRY_VERIFY(preview->up_to_date());
    QCOMPARE(new_names(*preview), (std::vector<std::string>{"b1", "b2"}));
    QVERIFY(asked > 0);
}

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
