#include "command_line.h"

#include "engine/browsing.h"
#include "console.h"
#include "engine/folder_source.h"
#include "engine/runs.h"

#include "platform/filesystem.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <memory>
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
                                       "strip-extension", "pattern", "dry-run", "null", "undo", "yes"};
const char* const rule_options[] = {"replace", "must-contain", "must-not-contain",
                                    "extension", "strip-extension", "pattern"};

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

// Whether a text given to an option is one of the program's own options,
// which far more likely means a value was left out (`--replace a --dry-run`)
// than that the text is really meant.
bool is_option_name(const std::string& text)
{
    static const char* const names[] = {"replace", "replace-with", "must-contain", "must-not-contain", "extension",
                                        "strip-extension", "pattern", "dry-run", "0", "null", "undo", "yes",
                                        "h", "help", "v", "version"};
    if (text.size() < 2 || text[0] != '-')
        return false;
    const std::string_view name = std::string_view(text).substr(text[1] == '-' ? 2 : 1);
    return std::any_of(std::begin(names), std::end(names), [&](const char* option) { return name == option; });
}

// A file source whose renames only work out what the run would do, and
// print it.
class planned_source : public folder_source {
public:
    planned_source(const std::string& folder, console& out)
        : folder_source(folder), m_plan(platform::folder_image::read(file_path())), m_out(out)
    {
    }

    platform::rename_result rename_file(const std::string& folder, std::int32_t, std::string_view old_name,
                                        std::string_view new_name) override
    {
        // Only the folder listed is planned; the run renames in no other.
        // The names are the listing's, which the run trusts as the image does.
        auto result = m_plan && folder == m_plan->path()
                          ? m_plan->rename_listed(old_name, new_name)
                          : platform::rename_result{platform::rename_outcome::name_not_allowed, 0, {}};
        if (result.renamed())
            m_out.print_rename(old_name, new_name);
        else if (result.outcome != platform::rename_outcome::unchanged)
            m_out.print_rename(old_name, new_name, reason_text(result));
        return result;
    }

private:
    std::optional<platform::folder_image> m_plan;
    console& m_out;
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
        option({"undo"}, "撤销上一次改名（窗口或命令行所做的）。"),
        option({"yes"}, "撤销前不询问。"),
        option({"h", "help"}, "显示本帮助。"),
        option({"v", "version"}, "显示版本。"),
    });
    QCommandLineOption replace_with(QStringLiteral("replace-with"), {}, QStringLiteral("WITH"));
    replace_with.setFlags(QCommandLineOption::HiddenFromHelp);
    m_parser.addOption(replace_with);
    m_parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("要改名的文件所在的文件夹（默认为当前文件夹）。"),
                                   QStringLiteral("[FOLDER]"));

    const auto arguments = joined_replace_pairs(argc, argv, m_replace_joined);
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
    std::unique_ptr<folder_source> files =
        dry_run ? std::make_unique<planned_source>(folder, out) : std::make_unique<folder_source>(folder);
    if (!files->is_open()) {
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
        outcomes = plan_files({inputs, *files, out});
        std::fflush(stdout);
        out.show_message(summary_line(outcomes, run_kind::plan));
    } else {
        outcomes = rename_files({inputs, *files, out});
    }
    return outcomes.refused.empty() ? exit_done : exit_refused;
}

int command_line::run_undo()
{
    console out;
    out.assume_yes = m_parser.isSet(QStringLiteral("yes"));
    const std::optional<run_outcomes> outcomes = undo_files(out);
    // Nothing to undo, or the user said no.
    if (!outcomes)
        return exit_refused;
    return outcomes->refused.empty() ? exit_done : exit_refused;
}

} // namespace renamer
