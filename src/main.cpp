#include "about/CommandLine.h"
#include "qtdesktop/QtDesktop.h"
#include "skin/SkinEngine.h"
#include "system/FileSystem.h"
#include "system/ProcessEnd.h"
#include "system/SessionEnd.h"
#include "system/SystemCounter.h"
#include "window/FirstPaint.h"
#include "window/Form1.h"
#include "workbook/WorkbookPlaces.h"

#include <QApplication>
#include <QDateTime>
#include <QThreadPool>

namespace {

struct Ending
{
    int exitCode = 0;
    bool workLeftRunning = false;
};

Ending run(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The name only: a display name would be appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("tallyclock"));
    QApplication::setApplicationVersion(QString::fromLatin1(tallyclock::programVersion()));
    QApplication::setDesktopFileName(QStringLiteral("org.tallyclock.tallyclock"));
    QApplication::setWindowIcon(tallyclock::applicationIcon());

    tallyclock::SystemCounter counter;
    tallyclock::QtDesktop desktop;
    tallyclock::StyleSheetSkinEngine skinEngine;
    tallyclock::Form1 form(desktop, counter, skinEngine,
        {QApplication::applicationDirPath(), tallyclock::userFilesFolder()});
    desktop.setWindow(&form);
    form.setOnEnded([] { QCoreApplication::quit(); });

    form.Form_Load();
    form.showCentred();
    // Work the first paint does not need waits for it, threads included.
    tallyclock::afterFirstPaint(form, [&desktop] {
        desktop.lookForSpreadsheetProgram();
        // Template workbooks that earlier runs handed to the spreadsheet program,
        // removed away from the GUI thread: the temporary folder may be large or slow.
        QThreadPool::globalInstance()->start(
            [folder = desktop.temporaryFolder(), now = QDateTime::currentDateTime()] {
                tallyclock::removeStaleTemplateWorkbooks(folder, now);
            });
    });
    // The end of the user's session ends the program as a close does, also while a box
    // is open (the window's own close request then waits for the box).
    tallyclock::whenSessionEnds([&form] { form.endSession(); });
    const int exitCode = app.exec();
    return {exitCode, desktop.hasAbandonedWork()};
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> exitCode = tallyclock::handleInformationOptions(argc, argv))
        return *exitCode;
    const Ending ending = run(argc, argv);
    tallyclock::endProcess(ending.exitCode, ending.workLeftRunning);
}
