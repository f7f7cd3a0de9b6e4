#include "core/Failure.h"
#include "platform/QtDesktop.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace tallyclock;

class TestQtDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void allFilesListsNamesWithoutDot();
    void spreadsheetLookupKeepsTheWindowGoing_data();
    void spreadsheetLookupKeepsTheWindowGoing();
    void workAsideKeepsTheWindowGoing();
};

void TestQtDesktop::allFilesListsNamesWithoutDot()
{
    QTemporaryDir dir;
    for (const char *name : {"results.txt", "results", "notes.md"})
        QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    setUpSaveDialog(dialog, QStringLiteral("Save"),
        QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    QCOMPARE(dialog.nameFilters(),
        (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")}));
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    dialog.setDirectory(dir.path());
    dialog.show();

    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    const QModelIndex folder = model->index(dir.path());
    QTRY_COMPARE(model->rowCount(folder), 1); // results.txt

    // The user picks "All Files (*.*)" from the list of types.
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    types->setCurrentIndex(1);
    Q_EMIT types->activated(1);
    Q_EMIT types->textActivated(types->itemText(1));
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("All Files (*.*)"));
    QTRY_COMPARE(model->rowCount(folder), 3);
}

QTEST_MAIN(TestQtDesktop)
// The desktop's answer to "which program opens .xlsx files" comes from a child
// process that may be slow; the window must go on painting and counting meanwhile.
void TestQtDesktop::spreadsheetLookupKeepsTheWindowGoing_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("newDocument");
    QTest::newRow("slow_query_for_a_template_program")
        << "/bin/sleep 1; echo calc.desktop" << true << true;
    QTest::newRow("slow_query_for_another_program")
        << "/bin/sleep 1; echo sheets.desktop" << true << false;
    QTest::newRow("nothing_registered") << "exit 4" << false << false;
}

void TestQtDesktop::spreadsheetLookupKeepsTheWindowGoing()
{
    QFETCH(QString, query);
    QFETCH(bool, available);
    QFETCH(bool, newDocument);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("bin"));
    QDir(dir.path()).mkpath(QStringLiteral("data/applications"));
    QFile script(dir.filePath(QStringLiteral("bin/xdg-mime")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + query.toUtf8() + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    for (const auto &[name, exec] :
        {std::pair{"calc.desktop", "localc %U"}, std::pair{"sheets.desktop", "sheets --open %F"}}) {
        QFile entry(dir.filePath(QStringLiteral("data/applications/") + QLatin1String(name)));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(QByteArray("[Desktop Entry]\nType=Application\nExec=") + exec + "\n");
    }
    // Only the fake query on the PATH: no spreadsheet program of this machine is found.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("bin"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("none"))));

    QtDesktop desktop;
    desktop.lookForSpreadsheetProgram();
    int ticks = 0;
    QTimer display;
    connect(&display, &QTimer::timeout, [&] { ++ticks; });
    display.start(10);
    QCOMPARE(desktop.spreadsheetProgramAvailable(), available);
    QCOMPARE(desktop.spreadsheetOpensAsNewDocument(), newDocument);
    qputenv("PATH", path);
    if (available)
        QVERIFY2(ticks > 0, "the timer never fired while the query ran");
}

// A workbook is written in a worker thread: the window's timers go on meanwhile, and
// a failure of the work reaches the caller.
void TestQtDesktop::workAsideKeepsTheWindowGoing()
{
    QtDesktop desktop;
    int ticks = 0;
    QTimer display;
    connect(&display, &QTimer::timeout, [&] { ++ticks; });
    display.start(10);
    bool ran = false;
    desktop.runAside([&] {
        QThread::msleep(300);
        ran = QThread::currentThread() != qApp->thread();
    });
    QVERIFY(ran);
    QVERIFY2(ticks > 0, "the timer never fired while the work ran");
    QVERIFY_THROWS_EXCEPTION(
        Failure, desktop.runAside([] { throw Failure(QStringLiteral("disk full")); }));
}

#include "tst_qtdesktop.moc"
