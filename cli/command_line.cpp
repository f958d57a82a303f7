#include "command_line.h"

#include "console.h"

#include "core/folder_source.h"
#include "core/journal.h"
#include "core/planned_listing.h"
#include "core/runs.h"

#include "platform/files/file_calls.h"
#include "platform/files/rename.h"
#include "platform/files/run_store.h"
#include "platform/files/terminal.h"

#include <QCoreApplication>
#include <algorithm>
#include <map>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <unistd.h>
#include <optional>
#include <filesystem>

namespace renamer {

namespace {

// Arguments travel through the parser as Latin-1, one character per byte,
// so that every value comes back as the exact bytes it was given; option
// names are ASCII and parse the same either way.
QString from_bytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string to_bytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

void print_utf8(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

// The options that ask for the command line rather than the window.
const char* const console_options[] = {"replace", "must-contain", "must-not-contain", "extension",
                                       "strip-extension", "pattern", "dry-run", "null", "undo", "yes", "history",
                                       "replace-with"};
const char* const rule_options[] = {"replace", "must-contain", "must-not-contain",
                                    "extension", "strip-extension", "pattern"};

// What a --replace without its two texts is told.
const char* const replace_form = "--replace 要给两个文字：fennimo --replace WHAT WITH [FOLDER]，"
                                 "或写成 --replace=WHAT --replace-with=WITH";

// QCommandLineParser gives each option one value, and --replace takes two.
// Its pair becomes --replace=WHAT --replace-with=WITH before parsing (the
// second option is not in the help); the = keeps a value that starts with a
// dash a value. Nothing after "--" is an option.
std::optional<QStringList> joined_replace_pairs(int argc, char** argv, bool& joined)
{
    QStringList arguments{from_bytes(argc > 0 ? argv[0] : "fennimo")};
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!options_ended && argument == "--")
            options_ended = true;
        if (options_ended || argument != "--replace") {
            arguments << from_bytes(argument);
            continue;
        }
        if (i + 2 >= argc)
            return std::nullopt;
        joined = true;
        arguments << from_bytes("--replace=" + std::string(argv[i + 1]))
                  << from_bytes("--replace-with=" + std::string(argv[i + 2]));
        i += 2;
    }
    return arguments;
}

// A folder given on the command line, made absolute so that the journal
// can lead an undo back to it from anywhere. It is resolved as the system
// resolves it, links included: "link/.." is the folder that holds what the
// link points to, as `ls link/..` shows, not the one that holds the link.
// A folder that cannot be resolved is only made absolute, for the message
// that says it cannot be read.
std::string absolute_folder(const std::string& given)
{
    std::error_code error;
    const std::filesystem::path path = given.empty() ? std::filesystem::path(".") : std::filesystem::path(given);
    std::filesystem::path resolved = std::filesystem::canonical(path, error);
    if (error) {
        error.clear();
        resolved = std::filesystem::absolute(path, error);
        if (error)
            resolved = path;
    }
    std::string folder = resolved.native();
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// A file list whose renames are only planned, each printed as the plan
// makes it.
class printed_plan : public planned_listing {
public:
    printed_plan(folder_source& listed, console& out)
        : planned_listing(listed.file_path(), listed.entries(), listed.file_system()), m_out(out)
    {
    }

    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override
    {
        auto result = planned_listing::rename_file(folder, index, old_name, new_name);
        if (result.renamed())
            m_out.print_rename(old_name, new_name);
        else if (result.outcome != platform::rename_outcome::unchanged)
            m_out.print_rename(old_name, new_name, reason_text(result));
        return result;
    }

private:
    console& m_out;
};

// The folder a run renames in, counting what it renamed, for the summary of
// a run that Ctrl+C stops.
class counted_folder final : public folder_source {
public:
    using folder_source::folder_source;

    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override
    {
        auto result = folder_source::rename_file(folder, index, old_name, new_name);
        renamed += result.renamed() ? 1 : 0;
        return result;
    }

    std::size_t renamed = 0;
};

std::string stopped_text(std::size_t renamed)
{
    if (renamed == 0)
        return "已中断，没有文件改名。";
    return "已中断：已改名 " + std::to_string(renamed) + " 个文件，用 fennimo --undo 可以把它们改回原名。";
}

// What --help shows, and the options the parser is given from it.
struct option_row {
    std::initializer_list<const char*> names;
    const char* value;
    const char* description;
};

const char* const description = "Fennimo：按一条规则给文件夹中的所有文件改名。\n"
                                "不给改名选项时打开窗口；给出时不开窗口，在命令行中改名。";
const char* const folder_description = "要改名的文件所在的文件夹（默认为当前文件夹）。";

const option_row option_rows[] = {
    {{"replace"}, "WHAT WITH", "把文件名中的 WHAT 全部替换为 WITH。"},
    {{"must-contain"}, "TEXT", "只修改文件名中有 TEXT 的文件。"},
    {{"must-not-contain"}, "TEXT", "只修改文件名中没有 TEXT 的文件。"},
    {{"extension"}, "EXT", "把所有扩展名改为 EXT。"},
    {{"strip-extension"}, nullptr, "去掉所有扩展名。"},
    {{"pattern"}, "PATTERN", "把所有文件名改为 PATTERN，其中的 * 号换成文件在列表中的序号（从 0 起）。"},
    {{"dry-run"}, nullptr, "只列出将要做的修改和不能做的修改，不改动任何文件。"},
    {{"0", "null"}, nullptr, "名称之间用 NUL 分隔，供脚本读取：每个文件依次是原名、新名和原因（能改名时为空）。"},
    {{"undo"}, nullptr, "撤销最近一次尚未撤销的改名（窗口或命令行所做的）；再次使用时撤销更早的一次。"},
    {{"yes"}, nullptr, "撤销前不询问（没有终端可以询问时必须给出）。"},
    {{"history"}, nullptr, "列出保留的改名记录（最近 20 次）：时间、文件夹、文件数和状态。"},
    {{"h", "help"}, nullptr, "显示本帮助。"},
    {{"v", "version"}, nullptr, "显示版本。"},
};

// The second half of --replace's pair, which the help does not show.
const option_row replace_with_row{{"replace-with"}, "WITH", ""};

// The option of that name (without its dashes), or none.
const option_row* option_named(std::string_view name)
{
    if (name == "replace-with")
        return &replace_with_row;
    for (const option_row& row : option_rows)
        if (std::any_of(row.names.begin(), row.names.end(), [&](const char* option) { return name == option; }))
            return &row;
    return nullptr;
}

std::string shown_option(const char* name)
{
    return (std::strlen(name) == 1 ? "-" : "--") + std::string(name);
}

// Whether a text given to an option is one of the program's own options,
// which far more likely means a value was left out (`--replace a --dry-run`)
// than that the text is really meant.
bool is_option_name(const std::string& text)
{
    return text.size() >= 2 && text[0] == '-' &&
           option_named(std::string_view(text).substr(text[1] == '-' ? 2 : 1)) != nullptr;
}

// What is wrong with the options, found the way the parser reads them: a
// long option with its value after a = or as the next argument, short
// options one letter each, none after "--". The parser's own texts are
// English, and the first fault is worth naming exactly.
std::string option_error(const QStringList& arguments)
{
    std::map<const option_row*, int> given;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const std::string argument = to_bytes(arguments[i]);
        if (argument == "--")
            break;
        if (argument.size() < 2 || argument[0] != '-')
            continue;
        std::vector<std::pair<std::string, bool>> names; // each with whether a = value came with it
        const bool long_form = argument[1] == '-';
        if (long_form) {
            const auto equals = argument.find('=');
            names.emplace_back(argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2),
                               equals != std::string::npos);
        } else {
            for (std::size_t k = 1; k < argument.size(); ++k)
                names.emplace_back(argument.substr(k, 1), false);
        }
        for (const auto& [name, with_value] : names) {
            const option_row* row = option_named(name);
            if (!row)
                return "未知的选项：" + std::string(long_form ? "--" : "-") + name;
            const std::string shown = shown_option(row->names.begin()[0]);
            if (++given[row] == 2)
                return "选项 " + shown + " 只能给一次";
            if (!row->value && with_value)
                return "选项 " + shown + " 不带参数";
            if (row->value && !with_value && i + 1 >= arguments.size())
                return "选项 " + shown + " 缺少参数 " + row->value;
            if (row->value && !with_value)
                ++i;
        }
    }
    return {};
}

// Columns a terminal gives a character: two for the wide characters of
// East Asian scripts and their full-width punctuation, one for the rest.
int columns(QChar c)
{
    const char16_t u = c.unicode();
    const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
                      || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
                      || (u >= 0xFFE0 && u <= 0xFFE6);
    return wide ? 2 : 1;
}

int columns(const QString& text)
{
    int n = 0;
    for (QChar c : text)
        n += columns(c);
    return n;
}

// Chinese punctuation that closes what comes before it never starts a line.
bool closes(const QString& piece)
{
    return piece.size() == 1 && QStringLiteral("、，。；：！？）」』》").contains(piece.front());
}

// Lines of at most `width` columns. A wide character may end a line
// anywhere; a run of other characters breaks only at a space; closing
// punctuation takes the piece before it down with it.
std::vector<QString> wrapped(const QString& text, int width)
{
    struct piece {
        QString text;
        bool after_space;
    };
    std::vector<piece> pieces;
    bool space = false;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == QLatin1Char(' ')) {
            space = true;
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        if (columns(text[i]) == 1)
            while (end < text.size() && text[end] != QLatin1Char(' ') && columns(text[end]) == 1)
                ++end;
        pieces.push_back({text.mid(i, end - i), space});
        space = false;
        i = end;
    }
    std::vector<QString> lines;
    std::vector<piece> line;
    const auto line_columns = [&] {
        int n = 0;
        for (std::size_t k = 0; k < line.size(); ++k)
            n += columns(line[k].text) + (k > 0 && line[k].after_space ? 1 : 0);
        return n;
    };
    const auto finish = [&] {
        QString out;
        for (std::size_t k = 0; k < line.size(); ++k)
            out += (k > 0 && line[k].after_space ? QStringLiteral(" ") : QString()) + line[k].text;
        lines.push_back(out);
        line.clear();
    };
    for (const piece& p : pieces) {
        if (!line.empty() && line_columns() + (p.after_space ? 1 : 0) + columns(p.text) > width) {
            std::optional<piece> carried;
            if (closes(p.text) && line.size() > 1) {
                carried = line.back();
                line.pop_back();
            }
            finish();
            if (carried)
                line.push_back(*carried);
        }
        line.push_back(p);
    }
    if (!line.empty())
        finish();
    return lines;
}

// The help, laid out for a terminal of 80 columns: each description in a
// column of its own, its further lines indented to it.
std::string help_text()
{
    constexpr int terminal = 80;
    struct entry {
        QString names;
        QString description;
    };
    std::vector<entry> options;
    for (const option_row& row : option_rows) {
        QStringList names;
        for (const char* name : row.names)
            names << (std::strlen(name) == 1 ? QStringLiteral("-") : QStringLiteral("--")) + QString::fromLatin1(name);
        QString shown = names.join(QStringLiteral(", "));
        if (row.value)
            shown += QLatin1Char(' ') + QString::fromLatin1(row.value);
        options.push_back({shown, QString::fromUtf8(row.description)});
    }
    const entry folder{QStringLiteral("FOLDER"), QString::fromUtf8(folder_description)};
    int name_width = columns(folder.names);
    for (const entry& e : options)
        name_width = std::max(name_width, columns(e.names));
    const int indent = 2 + name_width + 2;
    QString help = QStringLiteral("用法：fennimo [选项] [FOLDER]\n") + QString::fromUtf8(description) + QStringLiteral("\n");
    const auto add = [&](const entry& e) {
        const auto lines = wrapped(e.description, terminal - 1 - indent);
        help += QStringLiteral("  ") + e.names + QString(indent - 2 - columns(e.names), QLatin1Char(' '));
        for (std::size_t k = 0; k < lines.size(); ++k)
            help += (k > 0 ? QString(indent, QLatin1Char(' ')) : QString()) + lines[k] + QLatin1Char('\n');
    };
    help += QStringLiteral("\n选项：\n");
    for (const entry& e : options)
        add(e);
    help += QStringLiteral("\n参数：\n");
    add(folder);
    return help.toStdString();
}

} // namespace

command_line::command_line(int argc, char** argv)
{
    for (const option_row& row : option_rows) {
        QStringList names;
        for (const char* name : row.names)
            names << QString::fromLatin1(name);
        m_parser.addOption(QCommandLineOption(names, QString::fromUtf8(row.description),
                                              row.value ? QString::fromLatin1(row.value) : QString()));
    }
    QCommandLineOption replace_with(QStringLiteral("replace-with"), {}, QStringLiteral("WITH"));
    replace_with.setFlags(QCommandLineOption::HiddenFromHelp);
    m_parser.addOption(replace_with);
    m_parser.addPositionalArgument(QStringLiteral("FOLDER"), QString::fromUtf8(folder_description),
                                   QStringLiteral("[FOLDER]"));

    const auto arguments = joined_replace_pairs(argc, argv, m_replace_joined);
    if (!arguments) {
        m_usage_error = replace_form;
        return;
    }
    m_usage_error = option_error(*arguments);
    if (!m_usage_error.empty())
        return;
    if (!m_parser.parse(*arguments)) {
        m_usage_error = "命令行有误";
        return;
    }
    m_parsed = true;
    const QStringList positional = m_parser.positionalArguments();
    if (!positional.isEmpty() && positional.front().isEmpty()) {
        // An empty folder is a slip, such as an unset variable; taking it
        // for the current folder would rename there.
        m_parsed = false;
        m_usage_error = "文件夹不能为空";
        return;
    }
    if (!positional.isEmpty())
        m_folder = absolute_folder(to_bytes(positional.front()));
    m_wants_window = positional.size() <= 1 && !m_parser.isSet(QStringLiteral("help")) &&
                     !m_parser.isSet(QStringLiteral("version")) &&
                     std::none_of(std::begin(console_options), std::end(console_options),
                                  [&](const char* name) { return m_parser.isSet(QString::fromLatin1(name)); });
    if (m_wants_window && !m_folder.empty())
        window_folder();
}

void command_line::window_folder()
{
    std::error_code error;
    const auto status = std::filesystem::status(m_folder, error);
    // A mistyped folder would otherwise open the window somewhere else, where
    // a click renames files the user never meant.
    if (status.type() == std::filesystem::file_type::not_found) {
        m_wants_window = false;
        m_parsed = false;
        m_usage_error = "文件夹不存在：" + console::shown_name(stderr, m_folder);
        return;
    }
    // A file opens on its folder, as a file manager's "open with" gives one.
    // A folder that is there but cannot be read opens the window on its
    // drive, as at any start.
    if (!error && status.type() != std::filesystem::file_type::directory)
        m_folder = std::filesystem::path(m_folder).parent_path().native();
}

std::string command_line::value(const QString& option) const
{
    return to_bytes(m_parser.value(option));
}

int command_line::usage_error(const std::string& message) const
{
    print_utf8(stderr, message + "\n用 fennimo --help 查看用法。\n");
    return exit_usage;
}

int command_line::run()
{
    const int status = run_request();
    // A script must not take a plan cut short by a full disk or a closed
    // file for the whole plan.
    if (!console::output_reached() && status == exit_done)
        return exit_refused;
    return status;
}

int command_line::run_request()
{
    if (!m_parsed)
        return usage_error(m_usage_error);
    if (m_parser.isSet(QStringLiteral("help"))) {
        const std::string help = help_text();
        print_utf8(stdout, help);
        return exit_done;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        print_utf8(stdout, "fennimo " + QCoreApplication::applicationVersion().toStdString() + "\n");
        return exit_done;
    }
    if (m_parser.positionalArguments().size() > 1)
        return usage_error("只能给一个文件夹");
    // Half a pair would delete every WHAT, or replace nothing.
    if (m_parser.isSet(QStringLiteral("replace")) != m_parser.isSet(QStringLiteral("replace-with")))
        return usage_error(replace_form);
    const bool undo = m_parser.isSet(QStringLiteral("undo"));
    const bool rules = std::any_of(std::begin(rule_options), std::end(rule_options),
                                   [&](const char* name) { return m_parser.isSet(QString::fromLatin1(name)); });
    if (undo && (rules || m_parser.isSet(QStringLiteral("dry-run")) || !m_folder.empty()))
        return usage_error("--undo 撤销上一次改名，不能与改名选项、--dry-run 或文件夹同用");
    if (!undo && m_parser.isSet(QStringLiteral("yes")))
        return usage_error("--yes 只用于 --undo");
    if (m_parser.isSet(QStringLiteral("history")))
        return undo || rules || !m_folder.empty() ? usage_error("--history 不能与其他选项或文件夹同用") : run_history();
    return undo ? run_undo() : run_rules();
}

int command_line::run_rules()
{
    // The window's own rule: a pattern must hold a *.
    const bool use_pattern = m_parser.isSet(QStringLiteral("pattern"));
    if (use_pattern && value(QStringLiteral("pattern")).find('*') == std::string::npos)
        return usage_error("--pattern 的 PATTERN 中必须有 * 号，它换成每个文件的序号");
    if (m_parser.isSet(QStringLiteral("replace")) && m_replace_joined) {
        for (const std::string& text : {value(QStringLiteral("replace")), value(QStringLiteral("replace-with"))}) {
            if (is_option_name(text))
                return usage_error("--replace 的参数 " + text + " 是本程序的选项名，多半是少写了一个参数。"
                                   "若确要替换这样的文字，请写成 --replace=WHAT --replace-with=WITH");
        }
    }

    const std::string folder = absolute_folder(m_folder);
    console out;
    out.null_separated = m_parser.isSet(QStringLiteral("null"));
    const bool dry_run = m_parser.isSet(QStringLiteral("dry-run"));
    // A forgotten argument (`--replace IMG_ Pictures`) leaves the folder out
    // and renames here: the first line says where, before anything else.
    if (m_folder.empty()) {
        print_utf8(stderr, "改名的文件夹：");
        console::write_name(stderr, folder);
        print_utf8(stderr, "\n");
    }
    // Ctrl+C stops a run between two files, from its first on: the journal
    // ends there, marked as stopped, so that an undo takes back what was
    // renamed. A plan ends at once.
    std::optional<platform::interrupt_watch> interrupt;
    if (!dry_run)
        interrupt.emplace();
    // The command line renames through the kernel's own calls.
    counted_folder listed(folder, platform::kernel_files());
    if (!listed.is_open()) {
        print_utf8(stderr, "无法读取文件夹：");
        console::write_name(stderr, folder);
        print_utf8(stderr, "\n");
        return exit_usage;
    }

    // The options as the window's inputs would hold them; the rules apply
    // them in the window's order of precedence.
    rename_options options;
    options.replace_what = value(QStringLiteral("replace"));
    options.replace_with = value(QStringLiteral("replace-with"));
    options.must_contain = value(QStringLiteral("must-contain"));
    options.must_not_contain = value(QStringLiteral("must-not-contain"));
    options.change_extension = m_parser.isSet(QStringLiteral("extension"));
    options.new_extension = value(QStringLiteral("extension"));
    options.strip_extension = m_parser.isSet(QStringLiteral("strip-extension"));
    options.use_pattern = use_pattern;
    options.pattern = value(QStringLiteral("pattern"));
    fixed_rule_inputs inputs(std::move(options));

    run_outcomes outcomes;
    if (dry_run) {
        printed_plan plan(listed, out);
        outcomes = plan_files({inputs, plan, out});
        console::flush(stdout);
        out.show_message(summary_line(outcomes, run_kind::plan));
    } else {
        out.on_interrupt = [&] {
            out.show_message(stopped_text(listed.renamed));
            console::output_reached();
            stop_journals();
            interrupt->end_as_interrupted();
        };
        outcomes = rename_files({inputs, listed, out});
    }
    return outcomes.refused.empty() ? exit_done : exit_refused;
}

int command_line::run_undo()
{
    // An undo is never made unasked: without a terminal to ask on, only
    // --yes says it may go ahead.
    if (!m_parser.isSet(QStringLiteral("yes")) && !platform::is_terminal(STDIN_FILENO))
        return usage_error("--undo 需要在终端上确认；没有终端时请加 --yes");
    console out;
    out.assume_yes = m_parser.isSet(QStringLiteral("yes"));
    const std::optional<run_outcomes> outcomes = undo_files(out, platform::kernel_files());
    // Nothing to undo, which the undo has said, or the user said no.
    if (!outcomes) {
        if (out.declined())
            print_utf8(stderr, "未作任何改动。\n");
        return exit_refused;
    }
    return outcomes->refused.empty() ? exit_done : exit_refused;
}

int command_line::run_history()
{
    // A runs folder that cannot be used is named, never taken for one
    // that holds nothing.
    if (const auto refusal = history_refusal(); refusal.problem != platform::store_problem::none) {
        print_utf8(stderr, store_refusal_text(refusal, true) + "\n");
        return exit_refused;
    }
    const std::vector<journal_record> runs = renamer::run_history();
    if (runs.empty())
        print_utf8(stderr, "没有保留的改名记录。\n");
    for (const journal_record& run : runs) {
        char when[32] = "?";
        const auto seconds = static_cast<std::time_t>(run.text.started);
        if (std::tm local{}; run.usable() && localtime_r(&seconds, &local))
            std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
        std::string line = std::string(when) + "  " + state_text(run) + "  ";
        line += run.usable() ? std::to_string(run.files) + " 个文件  " : "";
        print_utf8(stdout, line);
        console::write_name(stdout, run.usable() ? run.text.folder : journal_problem_text(run));
        print_utf8(stdout, "\n");
    }
    return exit_done;
}

} // namespace renamer
