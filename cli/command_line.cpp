#include "command_line.h"

#include "engine/browsing.h"
#include "console_window.h"
#include "engine/journal.h"
#include "engine/runs.h"

#include "platform/filesystem.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <filesystem>
#include <unistd.h>

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
                                       "strip-extension", "pattern", "dry-run", "null", "undo", "yes", "history"};
const char* const rule_options[] = {"replace", "must-contain", "must-not-contain",
                                    "extension", "strip-extension", "pattern"};

// QCommandLineParser gives each option one value, and --replace takes two.
// Its pair becomes --replace=WHAT --replace-with=WITH before parsing (the
// second option is not in the help); the = keeps a value that starts with a
// dash a value. Nothing after "--" is an option.
std::optional<QStringList> joined_replace_pairs(int argc, char** argv)
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
        arguments << from_bytes("--replace=" + std::string(argv[i + 1]))
                  << from_bytes("--replace-with=" + std::string(argv[i + 2]));
        i += 2;
    }
    return arguments;
}

// The parser's own words for a wrong option, in the interface's language.
std::string parse_error_text(const QCommandLineParser& parser)
{
    if (!parser.unknownOptionNames().isEmpty())
        return "未知的选项：" + to_bytes(parser.unknownOptionNames().join(QStringLiteral(", ")));
    const QString error = parser.errorText();
    const auto first = error.indexOf(QLatin1Char('\''));
    const auto last = error.lastIndexOf(QLatin1Char('\''));
    const std::string option = first >= 0 && last > first ? to_bytes(error.mid(first + 1, last - first - 1)) : "";
    if (error.startsWith(QStringLiteral("Missing value")))
        return "选项 " + option + " 缺少参数";
    if (error.startsWith(QStringLiteral("Unexpected value")))
        return "选项 " + option + " 不带参数";
    return "命令行有误：" + to_bytes(error);
}

// A folder given on the command line, made absolute so that the journal
// can lead an undo back to it from anywhere.
std::string absolute_folder(const std::string& given)
{
    std::error_code error;
    const std::filesystem::path path = given.empty() ? std::filesystem::path(".") : std::filesystem::path(given);
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::string folder = (error ? path : absolute).lexically_normal().native();
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// A window whose renames only work out what the run would do, and print it.
class planning_window : public console_window {
public:
    explicit planning_window(const std::string& folder) : console_window(folder), m_plan(file_path()) {}

    platform::rename_result rename_file(const std::string& folder, std::string_view old_name,
                                        std::string_view new_name) override
    {
        auto result = m_plan.rename_no_replace(join_path(folder, old_name), join_path(folder, new_name));
        if (result.renamed())
            print_rename(old_name, new_name);
        else if (result.outcome != platform::rename_outcome::unchanged)
            print_rename(old_name, new_name, reason_text(result));
        return result;
    }

private:
    platform::rename_plan m_plan;
};

} // namespace

command_line::command_line(int argc, char** argv)
{
    const auto option = [](const QStringList& names, const char* description, const char* value = nullptr) {
        return QCommandLineOption(names, QString::fromUtf8(description), value ? QString::fromLatin1(value) : QString());
    };
    m_parser.setApplicationDescription(QStringLiteral("Fennimo：按一条规则给文件夹中的所有文件改名。\n"
                                                      "不给改名选项时打开窗口；给出时不开窗口，在命令行中改名。"));
    m_parser.addOptions({
        option({"replace"}, "把文件名中的 WHAT 全部替换为 WITH。", "WHAT WITH"),
        option({"must-contain"}, "只修改文件名中有 TEXT 的文件。", "TEXT"),
        option({"must-not-contain"}, "只修改文件名中没有 TEXT 的文件。", "TEXT"),
        option({"extension"}, "把所有扩展名改为 EXT。", "EXT"),
        option({"strip-extension"}, "去掉所有扩展名。"),
        option({"pattern"}, "把所有文件名改为 PATTERN，其中的 * 号换成文件在列表中的序号（从 0 起）。", "PATTERN"),
        option({"dry-run"}, "只列出将要做的修改和不能做的修改，不改动任何文件。"),
        option({"0", "null"}, "名称之间用 NUL 分隔，供脚本读取：每个文件依次是原名、新名和原因（能改名时为空）。"),
        option({"undo"}, "撤销最近一次尚未撤销的改名（窗口或命令行所做的）；再次使用时撤销更早的一次。"),
        option({"yes"}, "撤销前不询问（没有终端可以询问时必须给出）。"),
        option({"history"}, "列出保留的改名记录（最近 20 次）：时间、文件夹、文件数和状态。"),
        option({"h", "help"}, "显示本帮助。"),
        option({"v", "version"}, "显示版本。"),
    });
    QCommandLineOption replace_with(QStringLiteral("replace-with"), {}, QStringLiteral("WITH"));
    replace_with.setFlags(QCommandLineOption::HiddenFromHelp);
    m_parser.addOption(replace_with);
    m_parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("要改名的文件所在的文件夹（默认为当前文件夹）。"),
                                   QStringLiteral("[FOLDER]"));

    const auto arguments = joined_replace_pairs(argc, argv);
    if (!arguments) {
        m_usage_error = "--replace 需要两个参数：WHAT WITH";
        return;
    }
    if (!m_parser.parse(*arguments)) {
        m_usage_error = parse_error_text(m_parser);
        return;
    }
    m_parsed = true;
    const QStringList positional = m_parser.positionalArguments();
    if (!positional.isEmpty())
        m_folder = absolute_folder(to_bytes(positional.front()));
    m_wants_window = positional.size() <= 1 && !m_parser.isSet(QStringLiteral("help")) &&
                     !m_parser.isSet(QStringLiteral("version")) &&
                     std::none_of(std::begin(console_options), std::end(console_options),
                                  [&](const char* name) { return m_parser.isSet(QString::fromLatin1(name)); });
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
    if (!m_parsed)
        return usage_error(m_usage_error);
    if (m_parser.isSet(QStringLiteral("help"))) {
        // Qt's three headings come untranslated without its translations;
        // everything else in the help is the program's own.
        QString help = m_parser.helpText();
        help.replace(QStringLiteral("Usage: "), QStringLiteral("用法："))
            .replace(QStringLiteral("\nOptions:\n"), QStringLiteral("\n选项：\n"))
            .replace(QStringLiteral("\nArguments:\n"), QStringLiteral("\n参数：\n"));
        print_utf8(stdout, help.toStdString());
        return exit_done;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        print_utf8(stdout, "fennimo " + QCoreApplication::applicationVersion().toStdString() + "\n");
        return exit_done;
    }
    if (m_parser.positionalArguments().size() > 1)
        return usage_error("只能给一个文件夹");
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
    if (use_pattern && value(QStringLiteral("pattern")).find('*') == std::string::npos) {
        print_utf8(stderr, std::string(pattern_message) + "\n");
        return exit_usage;
    }

    const std::string folder = absolute_folder(m_folder);
    const bool dry_run = m_parser.isSet(QStringLiteral("dry-run"));
    std::unique_ptr<console_window> window =
        dry_run ? std::make_unique<planning_window>(folder) : std::make_unique<console_window>(folder);
    if (window->file_path().empty()) {
        print_utf8(stderr, "无法读取文件夹：");
        console_window::write_name(stderr, folder);
        print_utf8(stderr, "\n");
        return exit_usage;
    }
    window->null_separated = m_parser.isSet(QStringLiteral("null"));

    // The inputs as the window holds them; the rules read them from there,
    // in the window's order of precedence.
    window->set_text(text_id::Text3, value(QStringLiteral("replace")));
    window->set_text(text_id::Text4, value(QStringLiteral("replace-with")));
    window->set_text(text_id::Text5, value(QStringLiteral("must-contain")));
    window->set_text(text_id::Text6, value(QStringLiteral("must-not-contain")));
    window->set_check_value(check_id::Check3, m_parser.isSet(QStringLiteral("extension")));
    window->set_text(text_id::zztt, value(QStringLiteral("extension")));
    window->set_check_value(check_id::Check1, m_parser.isSet(QStringLiteral("strip-extension")));
    window->set_check_value(check_id::Check2, use_pattern);
    window->set_text(text_id::Combo1, value(QStringLiteral("pattern")));

    run_outcomes outcomes;
    if (dry_run) {
        outcomes = plan_files(*window);
        std::fflush(stdout);
        window->show_message(summary_line(outcomes, run_kind::plan));
    } else {
        outcomes = rename_files(*window);
    }
    return outcomes.refused.empty() ? exit_done : exit_refused;
}

int command_line::run_undo()
{
    // An undo is never made unasked: without a terminal to ask on, only
    // --yes says it may go ahead.
    if (!m_parser.isSet(QStringLiteral("yes")) && !::isatty(STDIN_FILENO))
        return usage_error("--undo 需要在终端上确认；没有终端时请加 --yes");
    console_window window;
    window.assume_yes = m_parser.isSet(QStringLiteral("yes"));
    const run_outcomes outcomes = undo_run(window);
    // Nothing to undo, or the user said no.
    if (outcomes.renamed == 0 && outcomes.refused.empty())
        return exit_refused;
    return outcomes.refused.empty() ? exit_done : exit_refused;
}

int command_line::run_history()
{
    for (const journal_record& run : renamer::run_history()) {
        char when[32] = "?";
        const auto seconds = static_cast<std::time_t>(run.started);
        if (std::tm local{}; run.valid() && localtime_r(&seconds, &local))
            std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
        std::string line = std::string(when) + "  " + state_text(run) + "  ";
        line += run.valid() ? std::to_string(run.entries.size()) + " 个文件  " : "";
        print_utf8(stdout, line);
        console_window::write_name(stdout, run.valid() ? run.folder : run.error);
        print_utf8(stdout, "\n");
    }
    return exit_done;
}

} // namespace renamer
