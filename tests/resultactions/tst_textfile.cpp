#include "core/Failure.h"
#include "fakes/ActionsFixture.h"
#include "fakes/EnforcedFilePermissions.h"
#include "fakes/FakeDesktop.h"
#include "fakes/ResultsFixture.h"
#include "resultactions/ExportActivity.h"
#include "resultactions/TextFile.h"
#include "skin/PointerSetting.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <filesystem>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tallyclock;

namespace {

// A device that accepts `capacity` bytes and then fails every write.
class FailingDevice final : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity)
        : m_capacity(capacity)
    {
        open(QIODevice::WriteOnly);
    }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 room = std::max<qint64>(0, m_capacity - written.size());
        if (room == 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 taken = std::min(room, size);
        written.append(data, taken);
        return taken;
    }

private:
    qint64 m_capacity;
};

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Save : ActionsFixture
{
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    void threeEntries()
    {
        results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
        results.action(QStringLiteral("Timer Lapsed at "), QStringLiteral("1.500"), false);
        results.action(QStringLiteral("Timer stopped at "), QStringLiteral("2.250"));
    }

    // Three entries, about to replace "r.txt" (old results) after a Yes.
    QString overwriteExisting()
    {
        threeEntries();
        const QString target = path(QStringLiteral("r.txt"));
        write(target, "old results\r\n");
        desktop.savePaths << target;
        desktop.answers << MessageAnswer::Yes;
        return target;
    }

    QStringList filesInDir() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    }
};

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QByteArray threeLines(
    "Timer started at 0.000\r\nTimer Lapsed at 1.500\r\nTimer stopped at 2.250\r\n");

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileBytes_data();
    void fileBytes();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void cancelWritesNothing();
    void unopenableTargetReportsOnce_data();
    void unopenableTargetReportsOnce();
    void symbolicLinkIsFollowed();
    void overwriteInReadOnlyFolder();
    void overwriteLeavesOtherHardLinks();
    void overwriteKeepsOwnerAndMode();
    void failingDeviceFailsTheWrite();
    void failedWriteLeavesOldFileAndNoTemporary();
    void overwriteOnFullDisk_data();
    void overwriteOnFullDisk();
    void secondClickWhileWritingIsIgnored();
    void programEndingMidSaveLeavesTargetAlone();
};

void TestTextFile::fileBytes_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty_list") << 0 << QByteArray();
    QTest::newRow("one_entry") << 1 << QByteArray("Timer started at 0.000\r\n");
    QTest::newRow("three_one_unticked") << 3 << threeLines;
}

void TestTextFile::fileBytes()
{
    QFETCH(int, entries);
    QFETCH(QByteArray, bytes);
    Save s;
    if (entries == 1)
        s.results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    else if (entries == 3)
        s.threeEntries();
    const QString target = s.path(QStringLiteral("results")); // no extension is added
    s.desktop.savePaths << target;
    s.pointer.set(PointerSetting::Custom);
    s.actions.PushButton4_Click();
    QCOMPARE(read(target), bytes);
    QVERIFY(s.desktop.boxes.isEmpty()); // a new file: no question, no message
    QCOMPARE(s.pointer.value(), 1);
    QCOMPARE(s.desktop.yields, entries);
    QCOMPARE(s.filesInDir(), QStringList{"results"});
    QCOMPARE(
        s.desktop.saveDialogs, QStringList{"Save|Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"});
}

void TestTextFile::overwriteQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("pointer");
    QTest::newRow("yes_replaces") << int(MessageAnswer::Yes) << threeLines << 1;
    QTest::newRow("no_keeps") << int(MessageAnswer::No) << QByteArray("old results\r\n") << 0;
}

void TestTextFile::overwriteQuestion()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, after);
    QFETCH(int, pointer);
    Save s;
    s.threeEntries();
    const QString target = s.path(QStringLiteral("r.txt"));
    write(target, "old results\r\n");
    s.desktop.savePaths << target;
    s.desktop.answers << answer;
    s.actions.PushButton4_Click();
    QCOMPARE(s.desktop.boxes.size(), 1);
    QCOMPARE(s.desktop.boxes[0].text,
        QStringLiteral("Are you sure you wish to overwrite ") + QDir::toNativeSeparators(target)
            + QStringLiteral(" ?"));
    QCOMPARE(s.desktop.boxes[0].style, 4);
    QCOMPARE(s.desktop.boxes[0].title, QStringLiteral("Tallyclock"));
    QCOMPARE(read(target), after);
    QCOMPARE(s.pointer.value(), pointer);
    QCOMPARE(s.filesInDir(), QStringList{"r.txt"});
}

void TestTextFile::cancelWritesNothing()
{
    Save s;
    s.threeEntries();
    s.desktop.savePaths << s.path(QStringLiteral("first.txt")) << QString();
    s.actions.PushButton4_Click();
    QFile::remove(s.path(QStringLiteral("first.txt")));
    s.actions.PushButton4_Click(); // cancelled: the earlier name is not reused
    QVERIFY(s.actions.CommonDialog1().FileName.isEmpty());
    QVERIFY(s.filesInDir().isEmpty());
    QVERIFY(s.desktop.boxes.isEmpty());
}

void TestTextFile::unopenableTargetReportsOnce_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing_folder") << "no/such/folder/r.txt";
    QTest::newRow("path_is_folder") << "folder";
#if defined(Q_OS_WIN)
    QTest::newRow("device") << "NUL";
#else
    QTest::newRow("fifo") << "pipe";
    QTest::newRow("device") << "/dev/null";
    QTest::newRow("link_loop") << "loop1";
#endif
}

void TestTextFile::unopenableTargetReportsOnce()
{
    QFETCH(QString, target);
    Save s;
    for (int i = 0; i < 50; ++i)
        s.results.action(QStringLiteral("Timer Reset to "), QStringLiteral("0.000"));
    QDir(s.dir.path()).mkdir(QStringLiteral("folder"));
#if defined(Q_OS_UNIX)
    QCOMPARE(mkfifo(QFile::encodeName(s.path(QStringLiteral("pipe"))).constData(), 0600), 0);
    QVERIFY(QFile::link(s.path(QStringLiteral("loop2")), s.path(QStringLiteral("loop1"))));
    QVERIFY(QFile::link(s.path(QStringLiteral("loop1")), s.path(QStringLiteral("loop2"))));
#endif
    const bool device = target.startsWith(QLatin1Char('/')) || target == u"NUL";
    const QString path = device ? target : s.path(target);
    s.desktop.savePaths << path;
    if (QFileInfo::exists(path))
        s.desktop.answers << MessageAnswer::Yes;
    s.actions.PushButton4_Click();
    QCOMPARE(s.desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton4_Click at line 130"});
    QCOMPARE(s.pointer.value(), 1);
#if defined(Q_OS_UNIX)
    QVERIFY(QFileInfo(s.path(QStringLiteral("pipe"))).exists());
    QVERIFY(!QFileInfo(s.path(QStringLiteral("pipe"))).isFile()); // not replaced by a file
    QVERIFY(QFileInfo(QStringLiteral("/dev/null")).isFile() == false);
    QVERIFY(QFileInfo(s.path(QStringLiteral("loop1"))).isSymLink()); // links left alone
    QVERIFY(QFileInfo(s.path(QStringLiteral("loop2"))).isSymLink());
#endif
    QCOMPARE(s.filesInDir(), QStringList{});
}

// Decided: the chosen name gets the new content as a new file; another hard link to
// the old file keeps the old content (writing in place could leave neither).
void TestTextFile::overwriteLeavesOtherHardLinks()
{
    Save s;
    const QString target = s.overwriteExisting();
    const QString other = s.path(QStringLiteral("other.txt"));
    std::filesystem::create_hard_link(target.toStdU16String(), other.toStdU16String());
    s.actions.PushButton4_Click();
    QCOMPARE(read(target), threeLines);
    QCOMPARE(read(other), QByteArray("old results\r\n"));
}

void TestTextFile::overwriteKeepsOwnerAndMode()
{
#if defined(Q_OS_WIN)
    QSKIP("Windows files have no owner and mode of this kind");
#else
    if (::geteuid() != 0)
        QSKIP("giving the file to another user needs root");
    Save s;
    const QString target = s.overwriteExisting();
    const QByteArray name = QFile::encodeName(target);
    QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    s.actions.PushButton4_Click();
    QCOMPARE(read(target), threeLines);
    struct stat after = {};
    QCOMPARE(::stat(name.constData(), &after), 0);
    QCOMPARE(int(after.st_uid), 65534);
    QCOMPARE(int(after.st_gid), 65534);
    QCOMPARE(int(after.st_mode & 07777), 0640);
#endif
}

// A file in a folder that refuses new files is not written in place, where a failure
// half-way would leave neither its old content nor the new: the save is refused.
void TestTextFile::overwriteInReadOnlyFolder()
{
#if defined(Q_OS_WIN)
    QSKIP("a read-only folder takes new files on Windows");
#endif
    Save s;
    const QString target = s.overwriteExisting();
    QVERIFY(QFile::setPermissions(s.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    {
        EnforcedFilePermissions enforced;
        s.actions.PushButton4_Click();
    }
    QFile::setPermissions(s.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(s.desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton4_Click at line 130"});
    QVERIFY(s.desktop.boxes.last().text.startsWith(
        QLatin1String("Path/File access error: ") + qt_error_string(EACCES)));
    QCOMPARE(read(target), QByteArray("old results\r\n"));
    QCOMPARE(s.filesInDir(), QStringList{"r.txt"});
}

void TestTextFile::symbolicLinkIsFollowed()
{
#if defined(Q_OS_WIN)
    QSKIP("QFile::link makes a shell shortcut on Windows, not a symbolic link");
#endif
    Save s;
    s.threeEntries();
    const QString real = s.path(QStringLiteral("real.txt"));
    const QString link = s.path(QStringLiteral("link.txt"));
    write(real, "old\r\n");
    QVERIFY(QFile::link(QStringLiteral("real.txt"), link));
    s.desktop.savePaths << link;
    s.desktop.answers << MessageAnswer::Yes;
    s.actions.PushButton4_Click();
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(read(real), threeLines);
    QVERIFY(s.desktop.reportLines().isEmpty());
}

void TestTextFile::failingDeviceFailsTheWrite()
{
    FailingDevice device(30);
    writeTextLine(device, QStringLiteral("Timer started at 0.000"));
    QVERIFY_THROWS_EXCEPTION(
        Failure, writeTextLine(device, QStringLiteral("Timer stopped at 1.000")));
    QCOMPARE(device.written, QByteArray("Timer started at 0.000\r\nTimer "));
}

void TestTextFile::failedWriteLeavesOldFileAndNoTemporary()
{
    // The list is cleared under the save (as a move over Start/Stop once allowed):
    // the write fails, is reported once, and the old file stays as it was.
    Save s;
    const QString target = s.overwriteExisting();
    int yields = 0;
    s.desktop.onYield = [&] {
        if (++yields == 2)
            s.results.list.clear();
    };
    s.actions.PushButton4_Click();
    QCOMPARE(s.desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton4_Click at line 136"});
    QCOMPARE(read(target), QByteArray("old results\r\n"));
    QCOMPARE(s.filesInDir(), QStringList{"r.txt"});
    QCOMPARE(s.pointer.value(), 1);
}

void TestTextFile::overwriteOnFullDisk_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<QString>("report");
    QTest::newRow("writable_folder")
        << false << QString(QLatin1String("Device I/O error: ") + qt_error_string(ENOSPC));
    // Once written in place: the failed write left 4 KiB of new lines and no old ones.
    QTest::newRow("read_only_folder")
        << true << QString(QLatin1String("Path/File access error: ") + qt_error_string(EACCES));
}

void TestTextFile::overwriteOnFullDisk()
{
    QFETCH(bool, readOnlyFolder);
    QFETCH(QString, report);
    // Run by tests/resultactions/run-on-small-fs.sh inside a 64 KiB file system of its own.
    const QByteArray small = qgetenv("TALLYCLOCK_SMALL_FS");
    if (small.isEmpty())
        QSKIP("needs a small file system (run through run-on-small-fs.sh)");
    const QString dir
        = QString::fromLocal8Bit(small) + QStringLiteral("/") + QTest::currentDataTag();
    QVERIFY(QDir().mkpath(dir));
    const QString target = dir + QStringLiteral("/results.txt");
    QByteArray old;
    for (int i = 0; i < 40; ++i)
        old += "Timer Lapsed at " + QByteArray::number(i) + ".000\r\n";
    write(target, old);
    // Fill the rest of the disk but 8 KiB, less than the save writes at once: the disk
    // takes the first write only in part.
    const QString filler = QString::fromLocal8Bit(small) + QStringLiteral("/filler");
    {
        QFile file(filler);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'x');
        while (file.write(block) == block.size()) { }
        QVERIFY(file.resize(file.size() - 8192));
    }
    ActionsFixture f;
    for (int i = 0; i < 440; ++i)
        f.results.action(
            QStringLiteral("Timer Lapsed at "), QString::number(i) + QStringLiteral(".500"));
    f.desktop.savePaths << target;
    f.desktop.answers << MessageAnswer::Yes;
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    {
        EnforcedFilePermissions enforced;
        f.actions.PushButton4_Click();
    }
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::remove(filler);
    QCOMPARE(f.desktop.reportLines().size(), 1);
    QVERIFY2(
        f.desktop.boxes.last().text.startsWith(report), qPrintable(f.desktop.boxes.last().text));
    QCOMPARE(read(target), old);
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"results.txt"});
    QCOMPARE(f.pointer.value(), 1);
}

void TestTextFile::secondClickWhileWritingIsIgnored()
{
    Save s;
    s.threeEntries();
    s.desktop.savePaths << s.path(QStringLiteral("r.txt"));
    int yields = 0;
    s.desktop.onYield = [&] {
        if (++yields == 1)
            s.actions.PushButton4_Click(); // would show a second dialog, which is not scripted
    };
    s.actions.PushButton4_Click();
    QCOMPARE(s.desktop.saveDialogs.size(), 1);
    QCOMPARE(read(s.path(QStringLiteral("r.txt"))), threeLines);
}

void TestTextFile::programEndingMidSaveLeavesTargetAlone()
{
    Save s;
    const QString target = s.overwriteExisting();
    int yields = 0;
    s.desktop.onYield = [&] {
        if (++yields == 2)
            s.desktop.beginEnding();
    };
    QVERIFY_THROWS_EXCEPTION(ProgramEnding, s.actions.PushButton4_Click());
    QCOMPARE(read(target), QByteArray("old results\r\n"));
    QCOMPARE(s.filesInDir(), QStringList{"r.txt"});
    QVERIFY(s.desktop.boxes.size() == 1); // the question only
    QVERIFY(!s.exports.isRunning());
}

QTEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
