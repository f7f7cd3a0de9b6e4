#include "core/Failure.h"
#include "fakes/ActionsFixture.h"
#include "fakes/CommaLocale.h"
#include "fakes/FakeDesktop.h"
#include "fakes/ResultsFixture.h"
#include "fakes/ZipMember.h"
#include "resultactions/ExportActivity.h"
#include "resultactions/Spreadsheet.h"
#include "resultactions/SpreadsheetExport.h"
#include "skin/PointerSetting.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

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
    void programThatSavesInPlaceGetsAKeptFile();
    void removeAll_data();
    void removeAll();
    void noSpreadsheetProgram_data();
    void noSpreadsheetProgram();
    void emptyListDoesNothing();
    void failuresAreReportedAndPointerRestored_data();
    void failuresAreReportedAndPointerRestored();
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
