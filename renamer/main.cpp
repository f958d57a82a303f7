#include "application.h"
#include "form3.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// The bytes of the argument that the toolkit decoded as `decoded`: a folder
// name need not be valid UTF-8, and the decoded text would not lead back to
// it.
std::string argument_bytes(int argc, char** argv, const QString& decoded)
{
    for (int i = argc - 1; i > 0; --i) {
        if (QString::fromLocal8Bit(argv[i]) == decoded)
            return argv[i];
    }
    return decoded.toStdString();
}

struct start_up {
    std::string folder; // empty: the folder the program was started from
};

// Reads the command line: `fennimo [FOLDER]`, --help, --version. Returns
// nothing when the program has done what was asked (the help or the
// version was printed, or the line was wrong) and must end.
std::optional<start_up> read_command_line(QApplication& app, int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Fennimo renames every file of a folder by one rule."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The folder to open (default: the current folder)."),
                                 QStringLiteral("[FOLDER]"));
    parser.process(app); // prints and exits for --help, --version and unknown options
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return std::nullopt;
    }
    start_up options;
    if (!positional.isEmpty()) {
        // A relative folder is taken from where the program was started. A
        // folder that cannot be opened is handled as at any start: the
        // window opens on its drive.
        std::error_code error;
        const std::filesystem::path given = argument_bytes(argc, argv, positional.front());
        const std::filesystem::path absolute = std::filesystem::absolute(given, error);
        options.folder = (error ? given : absolute).lexically_normal().native();
        if (options.folder.size() > 1 && options.folder.back() == '/')
            options.folder.pop_back();
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    renamer::set_up_application();
    const std::optional<start_up> options = read_command_line(app, argc, argv);
    if (!options)
        return 2;

    renamer::Form3 window(options->folder);
    window.show();
    return app.exec();
}
