#include "CommandLine.h"

#include "system/Console.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace tallyclock {

const char *programVersion()
{
    return TALLYCLOCK_VERSION;
}

std::optional<int> handleInformationOptions(int argc, char *argv[])
{
    // Most starts have no such option: no application object is made for them.
    bool asked = false;
    for (int i = 1; i < argc && !asked; ++i) {
        for (const char *option : {"-h", "--help", "--help-all", "-?", "-v", "--version"})
            asked = asked || std::strcmp(argv[i], option) == 0;
    }
    if (!asked)
        return std::nullopt;
    useParentConsole();

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyclock"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(programVersion()));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A stopwatch that keeps a list of results: Space starts and stops, L takes a lap,\n"
        "Backspace resets. The results can be saved as text, copied to the clipboard\n"
        "or opened in a spreadsheet program."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(QCoreApplication::arguments()); // other arguments are ignored
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("tallyclock %s\n", programVersion());
        return 0;
    }
    return std::nullopt;
}

} // namespace tallyclock
