#include "platform/FileSystem.h"
#include "platform/ModalCloseFilter.h"
#include "platform/QtDesktop.h"
#include "platform/SystemCounter.h"
#include "shell/SkinEngine.h"
#include "window/Form1.h"

#include <QApplication>
#include <QIcon>

#include <clocale>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The name only: a display name would be appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("tallyclock"));
    QApplication::setDesktopFileName(QStringLiteral("org.tallyclock.tallyclock"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tallyclock.png")));
    // Numbers written for files must not follow the user's decimal comma.
    std::setlocale(LC_NUMERIC, "C");

    tallyclock::SystemCounter counter;
    tallyclock::QtDesktop desktop;
    tallyclock::StyleSheetSkinEngine skinEngine;
    tallyclock::Form1 form(desktop, counter, skinEngine,
        {QApplication::applicationDirPath(), tallyclock::userFilesFolder()});
    desktop.setWindow(&form);
    form.setOnEnded([] { QCoreApplication::quit(); });
    tallyclock::ModalCloseFilter closeDuringMessageBoxes(form);

    form.Form_Load();
    form.showCentred();
    return app.exec();
}
