#include "system/AssociationLaunch.h"
#include "system/DesktopEntry.h"
#include "system/SpreadsheetProgram.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

using namespace tallyclock;

class TestSpreadsheetProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void launchForDesktopEntry_data();
    void launchForDesktopEntry();
    void launchForWindowsAssociation_data();
    void launchForWindowsAssociation();
    void windowsAssociationFound();
};

void TestSpreadsheetProgram::launchForDesktopEntry_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("asNewDocument");
    const QStringList calcNew{"--calc", "-n"};
    QTest::newRow("debian_libreoffice_calc")
        << QByteArray("[Desktop Entry]\nName=LibreOffice Calc\nExec=libreoffice --calc %U\n"
                      "[Desktop Action NewDocument]\nExec=libreoffice --calc\n")
        << "libreoffice" << calcNew << true;
    QTest::newRow("quoted_soffice_path")
        << QByteArray("[Desktop Entry]\nExec = \"/opt/libre office/program/soffice\" --calc %U\n")
        << "/opt/libre office/program/soffice" << calcNew << true;
    QTest::newRow("localc") << QByteArray("[Desktop Entry]\nExec=localc %U\n") << "localc"
                            << QStringList{"-n"} << true;
    QTest::newRow("escaped_percent_kept_field_codes_dropped")
        << QByteArray("[Desktop Entry]\nExec=localc %f --title=\"100%% %U\" %U\n") << "localc"
        << QStringList{"--title=100% %U", "-n"} << true;
    QTest::newRow("gnumeric") << QByteArray("[Desktop Entry]\nExec=gnumeric %U\n") << ""
                              << QStringList{} << false;
    QTest::newRow("flatpak_wrapper")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/flatpak run --command=libreoffice "
                      "org.libreoffice.LibreOffice --calc @@u %U @@\n")
        << "" << QStringList{} << false;
    QTest::newRow("libreoffice_only_in_an_action")
        << QByteArray("[Desktop Entry]\nExec=othercalc %f\n[Desktop Action New]\nExec=localc\n")
        << "" << QStringList{} << false;
    QTest::newRow("no_exec") << QByteArray("[Desktop Entry]\nName=Calc\n") << "" << QStringList{}
                             << false;
}

void TestSpreadsheetProgram::launchForDesktopEntry()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(bool, asNewDocument);
    const SpreadsheetLaunch launch = launchForExec(desktopEntryExec(entry));
    QCOMPARE(launch.program, program);
    QCOMPARE(launch.arguments, arguments);
    QCOMPARE(launch.opensAsNewDocument, asNewDocument);
}

void TestSpreadsheetProgram::launchForWindowsAssociation_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("arguments"); // empty: opened through the shell
    const QString office = QStringLiteral("C:\\Program Files\\Microsoft Office\\root\\Office16\\");
    QTest::newRow("excel") << office + "EXCEL.EXE" << QStringList{"/t"};
    QTest::newRow("excel_forward_slashes") << "C:/Office/excel.exe" << QStringList{"/t"};
    QTest::newRow("libreoffice_calc")
        << "C:\\Program Files\\LibreOffice\\program\\scalc.exe" << QStringList{"-n"};
    QTest::newRow("soffice") << "D:\\LO\\program\\soffice.exe" << QStringList{"-n"};
    QTest::newRow("other_program") << "C:\\Tools\\SheetViewer.exe" << QStringList{};
    QTest::newRow("excel_in_a_folder_name") << office + "excel.exe.viewer.exe" << QStringList{};
}

void TestSpreadsheetProgram::launchForWindowsAssociation()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, arguments);
    const SpreadsheetLaunch launch = launchForAssociation(executable);
    QCOMPARE(launch.program, arguments.isEmpty() ? QString() : executable);
    QCOMPARE(launch.arguments, arguments);
    QCOMPARE(launch.opensAsNewDocument, !arguments.isEmpty());
}

// The program registered for .xlsx, as the shell finds it. It changes the user's file
// associations, so it runs under Wine only (in the prefix of the run).
void TestSpreadsheetProgram::windowsAssociationFound()
{
#if !defined(Q_OS_WIN)
    QSKIP("Windows' file associations");
#else
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QSKIP("changes the user's file associations: run under Wine only");
    QTemporaryDir dir;
    const QString excel = QDir::toNativeSeparators(dir.filePath(QStringLiteral("EXCEL.EXE")));
    QFile program(excel);
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    // Wine reads the associations of the machine only (Windows merges the user's in).
    QSettings classes(
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Classes"), QSettings::NativeFormat);
    classes.setValue(QStringLiteral(".xlsx/Default"), QStringLiteral("Tallyclock.TestSheet"));
    classes.setValue(QStringLiteral("Tallyclock.TestSheet/shell/open/command/Default"),
        QLatin1Char('"') + excel + QStringLiteral("\" \"%1\""));
    classes.sync();
    const auto found = findSpreadsheetProgram(std::make_shared<std::atomic_bool>(false));
    classes.remove(QStringLiteral(".xlsx"));
    classes.remove(QStringLiteral("Tallyclock.TestSheet"));
    QVERIFY(found);
    QCOMPARE(found->program.toLower(), excel.toLower());
    QCOMPARE(found->arguments, QStringList{"/t"});
    QVERIFY(found->opensAsNewDocument);
    QVERIFY(!findSpreadsheetProgram(std::make_shared<std::atomic_bool>(false)));
#endif
}

QTEST_GUILESS_MAIN(TestSpreadsheetProgram)
#include "tst_spreadsheetprogram.moc"
