#include "core/Failure.h"
#include "fakes/ActionsFixture.h"
#include "fakes/CommaLocale.h"
#include "fakes/FakeDesktop.h"
#include "fakes/ResultsFixture.h"
#include "fakes/ZipMember.h"
#include "resultactions/ClearResults.h"
#include "resultactions/ExportActivity.h"
#include "resultactions/Spreadsheet.h"
#include "resultactions/SpreadsheetExport.h"
#include "skin/PointerSetting.h"
#include "system/AssociationLaunch.h"
#include "system/DesktopEntry.h"
#include "system/SpreadsheetProgram.h"
#include "workbook/WorkbookPlaces.h"
#include "workbook/XlsxFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

using namespace tallyclock;

namespace {

// The sheet's cells as "A1" -> "s:text" (a text) or "n:value" (a number).
QMap<QString, QString> readSheet(const QString &xlsx)
{
    QStringList shared;
    QXmlStreamReader strings(zipMember(xlsx, QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"t")
            shared << strings.readElementText();
    }
    QMap<QString, QString> cells;
    QXmlStreamReader sheet(zipMember(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    QString type;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (sheet.name() == u"c") {
            ref = sheet.attributes().value(QLatin1String("r")).toString();
            type = sheet.attributes().value(QLatin1String("t")).toString();
        } else if (sheet.name() == u"v") {
            const QString v = sheet.readElementText();
            cells[ref] = type == QLatin1String("s") ? QStringLiteral("s:") + shared.value(v.toInt())
                                                    : QStringLiteral("n:") + v;
        }
    }
    return cells;
}

struct Export : ActionsFixture
{
    QTemporaryDir temp;

    Export() { desktop.tempFolder = temp.path(); }

    void run() { actions.PushButton13_Click(); }

    void sampleEntries()
    {
        results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
        results.action(QStringLiteral("Timer Lapsed at "), QStringLiteral("1.500"), false);
        results.action(QStringLiteral("Timer stopped at "), QStringLiteral("2.250"));
        results.add(QStringLiteral("12.345 and 12.345"), QStringLiteral("12.345"));
        results.add(QStringLiteral("a = b"), QStringLiteral("1=2"));
        results.add(QStringLiteral("no time"), QString());
    }
};

const QMap<QString, QString> sampleSheet{
    {"A1", "s:Result(s)"},
    {"B1", "s:Result(s)"},
    {"A2", "s:Timer started at "},
    {"B2", "n:0"},
    {"A4", "s:Timer stopped at "},
    {"B4", "n:2.25"},
    {"A5", "s: and "},
    {"B5", "n:12.345"},
    {"A6", "s:a = b"},
    {"B6", "n:12"},
    {"A7", "s:no time"},
};

const QString notInstalledTest = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this software "
    "without error.");
const QString notInstalledHandler = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this feature.");

} // namespace

class TestSpreadsheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workbookReadBack();
    void workbookUnderCommaLocale();
    void launchForDesktopEntry_data();
    void launchForDesktopEntry();
    void launchForWindowsAssociation_data();
    void launchForWindowsAssociation();
    void windowsAssociationFound();
    void programThatSavesInPlaceGetsAKeptFile();
    void staleTemplatesRemoved();
    void plainDecimal_data();
    void plainDecimal();
    void removeAll_data();
    void removeAll();
    void noSpreadsheetProgram_data();
    void noSpreadsheetProgram();
    void emptyListDoesNothing();
    void clearRefusedWhileAnExportRunsEvenAfterHover_data();
    void clearRefusedWhileAnExportRunsEvenAfterHover();
    void failuresAreReportedAndPointerRestored_data();
    void failuresAreReportedAndPointerRestored();
    void failedWriteLeavesNoFile();
    void programEndingMidExportWritesNothing();
};

void TestSpreadsheet::workbookReadBack()
{
    Export e;
    e.sampleEntries();
    e.pointer.set(PointerSetting::Custom);
    e.run();
    QVERIFY(e.desktop.boxes.isEmpty());
    QCOMPARE(e.desktop.opened.size(), 1);
    const QString xlsx = e.desktop.opened[0];
    QVERIFY(xlsx.startsWith(e.temp.path()));
    QVERIFY(xlsx.endsWith(QLatin1String(".xlsx")));
    QCOMPARE(readSheet(xlsx), sampleSheet);
    const QByteArray sheet = zipMember(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains("<col min=\"1\" max=\"1\"")); // columns were fitted
    QVERIFY(zipMember(xlsx, QStringLiteral("xl/styles.xml")).contains("formatCode=\"0.000\""));
    QCOMPARE(e.pointer.value(), 0);
    QVERIFY(!e.exports.isRunning());
    // Yields: one per header, one per entry, one per cell of a ticked entry.
    QCOMPARE(e.desktop.yields, 2 + 6 + 2 * 5);

    // A second export makes a new file; the first stays as it was.
    e.run();
    QCOMPARE(e.desktop.opened.size(), 2);
    QVERIFY(e.desktop.opened[1] != xlsx);
    QCOMPARE(readSheet(xlsx), sampleSheet);
}

void TestSpreadsheet::launchForDesktopEntry_data()
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

void TestSpreadsheet::launchForDesktopEntry()
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

void TestSpreadsheet::launchForWindowsAssociation_data()
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

void TestSpreadsheet::launchForWindowsAssociation()
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
void TestSpreadsheet::windowsAssociationFound()
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

void TestSpreadsheet::programThatSavesInPlaceGetsAKeptFile()
{
    Export e;
    QTemporaryDir documents;
    e.desktop.documents = documents.path();
    e.desktop.opensAsNewDocument = false;
    e.sampleEntries();
    e.run();
    e.run();
    QVERIFY(e.desktop.boxes.isEmpty());
    QCOMPARE(e.desktop.opened.size(), 2);
    const QRegularExpression kept(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(documents.path())
            + QStringLiteral("/Tallyclock/Results \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d"
                             "( \\(\\d+\\))?\\.xlsx")));
    for (const QString &path : std::as_const(e.desktop.opened)) {
        QVERIFY2(kept.match(path).hasMatch(), qPrintable(path));
        QCOMPARE(readSheet(path), sampleSheet);
    }
    QVERIFY(e.desktop.opened[0] != e.desktop.opened[1]);
    QVERIFY(QDir(e.temp.path()).isEmpty()); // nothing the system would empty
    // Nothing else is left beside them: the folders they were written in are gone.
    QCOMPARE(QDir(documents.filePath(QStringLiteral("Tallyclock")))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                 .size(),
        2);

    // Two exports within one second do not clash, even before either has written its
    // workbook: the name is taken when it is chosen.
    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5));
    const WorkbookFile first = newKeptWorkbook(documents.path(), when);
    QCOMPARE(first.path,
        documents.filePath(QStringLiteral("Tallyclock/Results 2026-01-02 03.04.05.xlsx")));
    const WorkbookFile second = newKeptWorkbook(documents.path(), when);
    QCOMPARE(second.path, first.path.chopped(5) + QStringLiteral(" (2).xlsx"));
    QVERIFY(QFileInfo(first.path).isFile());
    // A write that is abandoned leaves neither its folder nor the reserved name.
    QFile(second.writePath).open(QIODevice::WriteOnly);
    discardWorkbook(second);
    QVERIFY(!QFileInfo::exists(second.path));
    QVERIFY(!QFileInfo::exists(second.folder));
    QVERIFY(QFileInfo(first.path).isFile());
}

void TestSpreadsheet::staleTemplatesRemoved()
{
    // The folders are made now, and the clean-up runs as if two days had gone by (a
    // folder's time cannot be set on every system).
    QTemporaryDir temp;
    const QDateTime old = QDateTime::currentDateTime();
    const QDateTime now = old.addDays(2);
    auto makeFolder = [&](const QString &name, const QString &file, const QDateTime &time) {
        const QString folder = temp.filePath(name);
        QDir().mkpath(folder);
        if (!file.isEmpty()) {
            QFile f(QDir(folder).filePath(file));
            f.open(QIODevice::WriteOnly);
            f.setFileTime(time, QFileDevice::FileModificationTime);
        }
    };
    makeFolder(QStringLiteral("tallyclock-Old001"), QStringLiteral("Results.xlsx"), old);
    makeFolder(QStringLiteral("tallyclock-New001"), QStringLiteral("Results.xlsx"), now);
    makeFolder(QStringLiteral("tallyclock-Other1"), QStringLiteral("notes.txt"), old);
    makeFolder(QStringLiteral("tallyclock-longer-name"), QString(), old);
    makeFolder(QStringLiteral("someone-else"), QStringLiteral("Results.xlsx"), old);
    QCOMPARE(removeStaleTemplateWorkbooks(temp.path(), now), 1);
    QStringList left = QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    left.sort();
    QCOMPARE(left,
        (QStringList{
            "someone-else", "tallyclock-New001", "tallyclock-Other1", "tallyclock-longer-name"}));
}

void TestSpreadsheet::workbookUnderCommaLocale()
{
    CommaLocale german;
    if (!german.isActive())
        QSKIP("no German locale can be made on this machine");
    Export e;
    e.sampleEntries();
    e.run();
    QCOMPARE(e.desktop.opened.size(), 1);
    QCOMPARE(readSheet(e.desktop.opened[0]), sampleSheet);
}

void TestSpreadsheet::plainDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::newRow("time") << "12.345" << true;
    QTest::newRow("integer") << "3725" << true;
    QTest::newRow("negative") << "-0.250" << true;
    QTest::newRow("words") << "Timer started at " << false;
    QTest::newRow("comma") << "1,5" << false;
    QTest::newRow("exponent") << "1e5" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("two_points") << "1.2.3" << false;
}

void TestSpreadsheet::plainDecimal()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(isPlainDecimal(text), number);
}

void TestSpreadsheet::removeAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("result");
    QTest::newRow("time_twice") << "1.5 then 1.5"
                                << "1.5"
                                << " then ";
    QTest::newRow("no_overlap") << "aaa"
                                << "aa"
                                << "a";
    QTest::newRow("case_sensitive") << "Timer timer"
                                    << "timer"
                                    << "Timer ";
    QTest::newRow("empty_search") << "Timer started at "
                                  << ""
                                  << "Timer started at ";
    QTest::newRow("empty_text") << ""
                                << "x"
                                << "";
}

void TestSpreadsheet::removeAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, result);
    QCOMPARE(tallyclock::removeAll(text, search), result);
}

void TestSpreadsheet::noSpreadsheetProgram_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("with_entries") << 3;
    QTest::newRow("empty_list") << 0;
}

void TestSpreadsheet::noSpreadsheetProgram()
{
    QFETCH(int, entries);
    Export e;
    for (int i = 0; i < entries; ++i)
        e.results.action(QStringLiteral("Timer Reset to "), QStringLiteral("0.000"));
    e.desktop.spreadsheetAvailable = false;
    e.pointer.set(PointerSetting::Custom);
    e.run();
    QCOMPARE(e.desktop.boxTexts(), (QStringList{notInstalledTest, notInstalledHandler}));
    for (const FakeDesktop::Box &box : std::as_const(e.desktop.boxes)) {
        QCOMPARE(box.style, 0);
        QCOMPARE(box.title, QStringLiteral("Tallyclock"));
    }
    QCOMPARE(e.pointer.value(), 99);
    QVERIFY(e.desktop.opened.isEmpty());
    QVERIFY(QDir(e.temp.path()).isEmpty());
    QCOMPARE(e.results.list.itemCount(), entries);
}

void TestSpreadsheet::emptyListDoesNothing()
{
    Export e;
    e.pointer.set(PointerSetting::Custom);
    e.run();
    QVERIFY(e.desktop.boxes.isEmpty());
    QVERIFY(e.desktop.opened.isEmpty());
    QCOMPARE(e.pointer.value(), 99);
}

void TestSpreadsheet::clearRefusedWhileAnExportRunsEvenAfterHover_data()
{
    QTest::addColumn<bool>("textFile");
    QTest::newRow("text_file") << true;
    QTest::newRow("spreadsheet") << false;
}

// Both exports hold the busy state: Clear Results does nothing while either reads the
// list, also once a move over Start/Stop has replaced the hourglass.
void TestSpreadsheet::clearRefusedWhileAnExportRunsEvenAfterHover()
{
    QFETCH(bool, textFile);
    Export e;
    e.sampleEntries();
    const QString target = e.temp.filePath(QStringLiteral("r.txt"));
    e.desktop.savePaths << target;
    bool once = true;
    e.desktop.onYield = [&] {
        if (!std::exchange(once, false))
            return;
        QCOMPARE(e.pointer.value(), 11);
        e.pointer.set(PointerSetting::Custom); // the mouse passed over Start/Stop
        e.actions.PushButton3_Click();
    };
    if (textFile)
        e.actions.PushButton4_Click();
    else
        e.run();
    QCOMPARE(e.results.list.itemCount(), 6);
    QVERIFY(e.desktop.boxes.isEmpty());
    if (textFile) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 6);
    } else {
        QCOMPARE(readSheet(e.desktop.opened.value(0)), sampleSheet);
    }
    e.actions.PushButton3_Click(); // after the export
    QCOMPARE(e.results.list.itemCount(), 0);
}

void TestSpreadsheet::failuresAreReportedAndPointerRestored_data()
{
    QTest::addColumn<bool>("openSucceeds");
    QTest::addColumn<QString>("tempFolder");
    QTest::addColumn<QStringList>("reports");
    const QString at = QStringLiteral("in Tallyclock2021/08/31.Form1.PushButton13_Click at line ");
    QTest::newRow("program_does_not_start") << false << "" << QStringList{at + "166"};
    QTest::newRow("no_temporary_folder")
        << true << "/nonexistent/tallyclock" << QStringList{at + "166"};
    QTest::newRow("no_documents_folder") << true << "keep" << QStringList{at + "166"};
}

void TestSpreadsheet::failuresAreReportedAndPointerRestored()
{
    QFETCH(bool, openSucceeds);
    QFETCH(QString, tempFolder);
    QFETCH(QStringList, reports);
    Export e;
    e.sampleEntries();
    e.desktop.openSucceeds = openSucceeds;
    if (tempFolder == QLatin1String("keep")) // the program saves in place: documents
        e.desktop.opensAsNewDocument = false;
    else if (!tempFolder.isEmpty())
        e.desktop.tempFolder = tempFolder;
    e.run();
    QCOMPARE(e.desktop.reportLines(), reports);
    QCOMPARE(e.pointer.value(), 0);
}

void TestSpreadsheet::failedWriteLeavesNoFile()
{
    QTemporaryDir dir;
    SpreadsheetSheet sheet;
    sheet.setCell(1, 1, QStringLiteral("Result(s)"));
    const QString path = dir.filePath(QStringLiteral("missing/Book1.xlsx"));
    QVERIFY_THROWS_EXCEPTION(Failure, writeXlsx(path, sheet));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY_THROWS_EXCEPTION(Failure, sheet.setCell(0, 1, QString()));
    QVERIFY_THROWS_EXCEPTION(Failure, sheet.setCell(1, 16385, QString()));
}

void TestSpreadsheet::programEndingMidExportWritesNothing()
{
    Export e;
    e.sampleEntries();
    int yields = 0;
    e.desktop.onYield = [&] {
        if (++yields == 4)
            e.desktop.beginEnding();
    };
    QVERIFY_THROWS_EXCEPTION(ProgramEnding, e.run());
    QVERIFY(e.desktop.opened.isEmpty());
    QVERIFY(QDir(e.temp.path()).isEmpty());
    QVERIFY(e.desktop.boxes.isEmpty());
    QVERIFY(!e.exports.isRunning());
}

QTEST_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
