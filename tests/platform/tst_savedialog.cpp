#include "platform/QtDesktop.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

using namespace tallyclock;

class TestSaveDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void allFilesListsNamesWithoutDot();
};

void TestSaveDialog::allFilesListsNamesWithoutDot()
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

QTEST_MAIN(TestSaveDialog)
#include "tst_savedialog.moc"
