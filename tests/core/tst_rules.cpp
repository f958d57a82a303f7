#include "core/rules.h"

#include <QtTest>

using renamer::rename_options;

namespace {

QByteArray bytes(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }
std::string str(const QByteArray& b) { return std::string(b.constData(), std::size_t(b.size())); }

const QByteArray skipped = "<skipped>";

} // namespace

class tst_rules : public QObject {
    Q_OBJECT
private slots:
    void new_name_data();
    void new_name();
    void replace_all_data();
    void replace_all();
    void paths_data();
    void paths();
    void index_counts_skipped_files();
};

// One row per case: the window's inputs, then a name and its index, then the
// name the rules give it.
void tst_rules::new_name_data()
{
    QTest::addColumn<QByteArray>("must_contain");
    QTest::addColumn<QByteArray>("must_not_contain");
    QTest::addColumn<QByteArray>("rule");   // "", "ext:<x>", "strip", "pattern:<p>"
    QTest::addColumn<QByteArray>("what");
    QTest::addColumn<QByteArray>("with");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("expected");

    // Filters: blank means off, the test itself uses the untrimmed text.
    QTest::newRow("blank filters") << QByteArray("   ") << QByteArray("") << QByteArray() << QByteArray("a") << QByteArray("b") << QByteArray("a.txt") << 0 << QByteArray("b.txt");
    QTest::newRow("not-contain is case-sensitive") << QByteArray() << QByteArray("bak") << QByteArray() << QByteArray() << QByteArray() << QByteArray("Backup.txt") << 0 << QByteArray("Backup.txt");
    QTest::newRow("not-contain skips") << QByteArray() << QByteArray("bak") << QByteArray() << QByteArray() << QByteArray() << QByteArray("old.bak") << 0 << skipped;
    QTest::newRow("both filters equal skip all") << QByteArray("2004") << QByteArray("2004") << QByteArray() << QByteArray() << QByteArray() << QByteArray("x2004.txt") << 0 << skipped;
    QTest::newRow("must-contain absent") << QByteArray("2004") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray("x.txt") << 0 << skipped;
    QTest::newRow("filter keeps its leading blank") << QByteArray(" a") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray("xa.txt") << 0 << skipped;
    QTest::newRow("filter with blank matches") << QByteArray(" a") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray("x a.txt") << 0 << QByteArray("x a.txt");

    // Extension change: from the first dot, trimmed extension.
    QTest::newRow("ext simple") << QByteArray() << QByteArray() << QByteArray("ext: jpg ") << QByteArray() << QByteArray() << QByteArray("a.txt") << 0 << QByteArray("a.jpg");
    QTest::newRow("ext without dot") << QByteArray() << QByteArray() << QByteArray("ext: jpg ") << QByteArray() << QByteArray() << QByteArray("README") << 0 << QByteArray("README.jpg");
    QTest::newRow("ext from first dot") << QByteArray() << QByteArray() << QByteArray("ext: jpg ") << QByteArray() << QByteArray() << QByteArray("x.tar.gz") << 0 << QByteArray("x.jpg");
    QTest::newRow("ext typed with its dot") << QByteArray() << QByteArray() << QByteArray("ext: .jpg") << QByteArray() << QByteArray() << QByteArray("IMG_0001.JPG") << 0 << QByteArray("IMG_0001.jpg");
    QTest::newRow("ext with two dots keeps one") << QByteArray() << QByteArray() << QByteArray("ext:..jpg") << QByteArray() << QByteArray() << QByteArray("IMG_0001") << 0 << QByteArray("IMG_0001..jpg");
    QTest::newRow("ext dot-file") << QByteArray() << QByteArray() << QByteArray("ext:doc") << QByteArray() << QByteArray() << QByteArray(".profile") << 0 << QByteArray(".doc");
    // A blank extension falls through to the replacement, which also hits
    // the x of "txt".
    QTest::newRow("blank ext falls through") << QByteArray() << QByteArray() << QByteArray("ext:  ") << QByteArray("x") << QByteArray("y") << QByteArray("x1.txt") << 0 << QByteArray("y1.tyt");

    // Extension removal.
    QTest::newRow("strip") << QByteArray() << QByteArray() << QByteArray("strip") << QByteArray() << QByteArray() << QByteArray("a.b.txt") << 0 << QByteArray("a");
    QTest::newRow("strip no dot") << QByteArray() << QByteArray() << QByteArray("strip") << QByteArray() << QByteArray() << QByteArray("README") << 0 << QByteArray("README");
    QTest::newRow("strip dot-file") << QByteArray() << QByteArray() << QByteArray("strip") << QByteArray() << QByteArray() << QByteArray(".profile") << 0 << QByteArray("");

    // Pattern: the index in plain decimal, trimmed pattern.
    QTest::newRow("pattern *.*") << QByteArray() << QByteArray() << QByteArray("pattern:*.*") << QByteArray() << QByteArray() << QByteArray("q.txt") << 3 << QByteArray("3.3");
    QTest::newRow("pattern leading blank") << QByteArray() << QByteArray() << QByteArray("pattern: pic*.jpg") << QByteArray() << QByteArray() << QByteArray("q.txt") << 3 << QByteArray("pic3.jpg");
    QTest::newRow("pattern several stars") << QByteArray() << QByteArray() << QByteArray("pattern:z*d*.*y") << QByteArray() << QByteArray() << QByteArray("q") << 12 << QByteArray("z12d12.12y");
    QTest::newRow("pattern without star") << QByteArray() << QByteArray() << QByteArray("pattern:photo.jpg") << QByteArray() << QByteArray() << QByteArray("q") << 7 << QByteArray("photo.jpg");
    QTest::newRow("pattern past 16 bits") << QByteArray() << QByteArray() << QByteArray("pattern:f*") << QByteArray() << QByteArray() << QByteArray("q") << 99999 << QByteArray("f99999");
    QTest::newRow("blank pattern falls through") << QByteArray() << QByteArray() << QByteArray("pattern:   ") << QByteArray("q") << QByteArray("r") << QByteArray("q") << 1 << QByteArray("r");

    // Replacement, as typed.
    QTest::newRow("no rescan") << QByteArray() << QByteArray() << QByteArray() << QByteArray("a") << QByteArray("aa") << QByteArray("banana") << 0 << QByteArray("baanaanaa");
    QTest::newRow("non-overlapping") << QByteArray() << QByteArray() << QByteArray() << QByteArray("aa") << QByteArray("b") << QByteArray("aaa") << 0 << QByteArray("ba");
    QTest::newRow("empty what") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray("z") << QByteArray("abc") << 0 << QByteArray("abc");
    QTest::newRow("empty with deletes") << QByteArray() << QByteArray() << QByteArray() << QByteArray("a") << QByteArray() << QByteArray("banana") << 0 << QByteArray("bnn");
    QTest::newRow("untrimmed what") << QByteArray() << QByteArray() << QByteArray() << QByteArray(" a") << QByteArray("_") << QByteArray("x a a") << 0 << QByteArray("x__");
    QTest::newRow("non-utf8 bytes") << QByteArray() << QByteArray() << QByteArray() << QByteArray("\xff") << QByteArray("\xfe\xfe") << QByteArray("a\xff" "b.txt") << 0 << QByteArray("a\xfe\xfe" "b.txt");
    QTest::newRow("chinese text") << QByteArray("照片") << QByteArray() << QByteArray() << QByteArray("照片") << QByteArray("相片") << QByteArray("旅行照片1.jpg") << 0 << QByteArray("旅行相片1.jpg");
}

void tst_rules::new_name()
{
    QFETCH(QByteArray, must_contain);
    QFETCH(QByteArray, must_not_contain);
    QFETCH(QByteArray, rule);
    QFETCH(QByteArray, what);
    QFETCH(QByteArray, with);
    QFETCH(QByteArray, name);
    QFETCH(int, index);
    QFETCH(QByteArray, expected);

    rename_options options;
    options.must_contain = str(must_contain);
    options.must_not_contain = str(must_not_contain);
    options.replace_what = str(what);
    options.replace_with = str(with);
    if (rule.startsWith("ext:")) {
        options.change_extension = true;
        options.new_extension = str(rule.mid(4));
    } else if (rule == "strip") {
        options.strip_extension = true;
    } else if (rule.startsWith("pattern:")) {
        options.use_pattern = true;
        options.pattern = str(rule.mid(8));
    }

    const auto result = renamer::make_new_name(options, str(name), index);
    QCOMPARE(result ? bytes(*result) : skipped, expected);
    QCOMPARE(renamer::passes_filters(options, str(name)), expected != skipped);
}

void tst_rules::replace_all_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("what");
    QTest::addColumn<QByteArray>("with");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty text") << QByteArray() << QByteArray("a") << QByteArray("b") << QByteArray();
    QTest::newRow("at both ends") << QByteArray("abca") << QByteArray("a") << QByteArray("X") << QByteArray("XbcX");
    QTest::newRow("longer replacement holds the search") << QByteArray("aXa") << QByteArray("a") << QByteArray("aa") << QByteArray("aaXaa");
    QTest::newRow("four separators become two") << QByteArray("\\\\\\\\") << QByteArray("\\\\") << QByteArray("\\") << QByteArray("\\\\");
}

void tst_rules::replace_all()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, what);
    QFETCH(QByteArray, with);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(renamer::replace_all(str(text), str(what), str(with))), expected);
}

// The design's own examples use '\' and drive letters; the same rules with
// '/' must give the same shape of result.
void tst_rules::paths_data()
{
    QTest::addColumn<char>("sep");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("joined_a");
    QTest::addColumn<QByteArray>("listing_ab");
    QTest::newRow("drive root") << '\\' << QByteArray("C:\\") << QByteArray("C:\\a") << QByteArray("C:\\a\r\nC:\\b");
    QTest::newRow("drive folder") << '\\' << QByteArray("C:\\work") << QByteArray("C:\\work\\a") << QByteArray("C:\\work\\a\r\nC:\\work\\b");
    QTest::newRow("root") << '/' << QByteArray("/") << QByteArray("/a") << QByteArray("/a\r\n/b");
    QTest::newRow("folder") << '/' << QByteArray("/home/u") << QByteArray("/home/u/a") << QByteArray("/home/u/a\r\n/home/u/b");
    QTest::newRow("folder with trailing separator") << '/' << QByteArray("/home/u/") << QByteArray("/home/u/a") << QByteArray("/home/u/a\r\n/home/u/b");
}

void tst_rules::paths()
{
    QFETCH(char, sep);
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, joined_a);
    QFETCH(QByteArray, listing_ab);

    QCOMPARE(bytes(renamer::join_path(str(folder), "a", sep)), joined_a);
    std::string list;
    renamer::append_list_line(list, renamer::listing_line(str(folder), "a", sep));
    renamer::append_list_line(list, renamer::listing_line(str(folder), "b", sep));
    // Before the collapse a root folder doubles the separator.
    QCOMPARE(list.find(std::string(2, sep)) != std::string::npos, folder.endsWith(sep));
    QCOMPARE(bytes(renamer::collapse_double_backslash(list, sep)), listing_ab);
}

void tst_rules::index_counts_skipped_files()
{
    rename_options options;
    options.must_contain = ".txt";
    options.use_pattern = true;
    options.pattern = "*.txt";
    const char* names[] = {"a.txt", "b.doc", "c.txt"};
    QCOMPARE(renamer::make_new_name(options, names[0], 0).value_or("?"), std::string("0.txt"));
    QVERIFY(!renamer::make_new_name(options, names[1], 1));
    QCOMPARE(renamer::make_new_name(options, names[2], 2).value_or("?"), std::string("2.txt"));
}

QTEST_APPLESS_MAIN(tst_rules)
#include "tst_rules.moc"
