#include "core/Failure.h"
#include "workbook/SpreadsheetSheet.h"
#include "workbook/WorkbookPlaces.h"
#include "workbook/XlsxFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tallyclock;

class TestWorkbook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keptWorkbookNames();
    void keptWorkbookFailures();
    void staleTemplatesRemoved();
    void plainDecimal_data();
    void plainDecimal();
    void failedWriteLeavesNoFile();
};

void TestWorkbook::keptWorkbookNames()
{
    QTemporaryDir documents;
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

// The reports of the places a workbook goes: the folder that could not be made, named.
void TestWorkbook::keptWorkbookFailures()
{
    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5));
    try {
        newKeptWorkbook(QString(), when);
        QFAIL("no documents folder was accepted");
    } catch (const Failure &failure) {
        QCOMPARE(failure.description(),
            QStringLiteral("Path/File access error: cannot make the documents folder"));
    }
    QTemporaryDir documents;
    QFile blocking(documents.filePath(QStringLiteral("Tallyclock")));
    QVERIFY(blocking.open(QIODevice::WriteOnly)); // a file where the folder would go
    blocking.close();
    try {
        newKeptWorkbook(documents.path(), when);
        QFAIL("a file was taken for the folder");
    } catch (const Failure &failure) {
        QCOMPARE(failure.description(),
            QStringLiteral("Path/File access error: cannot make ")
                + QDir::toNativeSeparators(blocking.fileName()));
    }
}

void TestWorkbook::staleTemplatesRemoved()
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

void TestWorkbook::plainDecimal_data()
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

void TestWorkbook::plainDecimal()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(isPlainDecimal(text), number);
}

void TestWorkbook::failedWriteLeavesNoFile()
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

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
