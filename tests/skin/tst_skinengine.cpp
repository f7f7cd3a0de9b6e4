#include "core/Failure.h"
#include "fakes/HostileFile.h"
#include "skin/SkinEngine.h"
#include "system/OptionalFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

using namespace tallyclock;
using Kind = SkinEngine::CallKind;

class TestSkinEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qApp->setStyleSheet(QString()); }
    void loadsAndAppliesStyleSheet();
    void rejects_data();
    void rejects();
    void systemFileIsNoSkin();
    void styleSheetBounds_data();
    void styleSheetBounds();
    void encodings_data();
    void encodings();
    void hostileImages_data();
    void hostileImages();
    void sampleSkinsLoad_data();
    void sampleSkinsLoad();
};

namespace {
QString write(const QTemporaryDir &dir, const QByteArray &bytes)
{
    // A device stands at a name of its own ("NUL"), not in the folder.
    if (bytes.startsWith("<device:"))
        return QString::fromUtf8(bytes.mid(8).chopped(1));
    const QString path = dir.filePath(QStringLiteral("o.cjs"));
    makeHostileFile(path, bytes);
    return path;
}
} // namespace

void TestSkinEngine::loadsAndAppliesStyleSheet()
{
    QTemporaryDir dir;
    StyleSheetSkinEngine engine;
    QWidget window;
    window.setObjectName(QStringLiteral("Form1"));
    engine.invoke(2, Kind::Method, {write(dir, "QLabel { color: #123456; }"), QString()});
    QCOMPARE(engine.invoke(1, Kind::PropertyGet).toInt(), 0);
    engine.invoke(1, Kind::PropertyPut, {1});
    QCOMPARE(engine.invoke(1, Kind::PropertyGet).toInt(), 1);
    engine.invoke(10, Kind::PropertyPut, {true});
    engine.invoke(5, Kind::PropertyPut, {true});
    engine.invoke(3, Kind::Method, {static_cast<qint32>(window.winId())});
    QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: #123456; }"));
    // Switch 5 skins the program's dialogs (message boxes, the save dialog) as well.
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel { color: #123456; }"));
}

void TestSkinEngine::rejects_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("dispatchId");
    QTest::newRow("binary_file") << QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12) << 2;
    QTest::newRow("broken_utf16_surrogate") << QByteArray("\xff\xfe"
                                                          "a\0"
                                                          "\x00\xd8"
                                                          "b\0",
        8) << 2;
    QTest::newRow("unknown_call") << QByteArray("QWidget {}") << 42;
    QTest::newRow("apply_unknown_window") << QByteArray("QWidget {}") << 3;
    // Read without blocking and never past the limit.
    QTest::newRow("folder") << QByteArray("<folder>") << 2;
#if defined(Q_OS_WIN)
    QTest::newRow("device") << QByteArray("<device:NUL>") << 2;
#else
    QTest::newRow("fifo") << QByteArray("<fifo>") << 2;
    QTest::newRow("link_to_dev_zero") << QByteArray("<link:/dev/zero>") << 2;
    QTest::newRow("link_to_folder") << QByteArray("<link:/tmp>") << 2;
#endif
    QTest::newRow("too_large") << QByteArray("QWidget {}").append(maxSkinBytes, ' ') << 2;
}

void TestSkinEngine::rejects()
{
    QFETCH(QByteArray, content);
    QFETCH(int, dispatchId);
    QTemporaryDir dir;
    StyleSheetSkinEngine engine;
    const QString path = write(dir, content);
    if (dispatchId == 2) {
        QVERIFY_THROWS_EXCEPTION(Failure, engine.invoke(2, Kind::Method, {path, QString()}));
        QVERIFY(engine.styleSheet().isEmpty());
        return;
    }
    engine.invoke(2, Kind::Method, {path, QString()});
    QVERIFY_THROWS_EXCEPTION(
        Failure, engine.invoke(dispatchId, Kind::Method, {qint32(0x7ffffff0)}));
}

// A file that Windows marks as the system's own is not the user's skin.
void TestSkinEngine::systemFileIsNoSkin()
{
#if !defined(Q_OS_WIN)
    QSKIP("Windows' system attribute");
#else
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("x")));
    const QString path = dir.filePath(QStringLiteral("x/o.cjs"));
    QVERIFY(makeHostileFile(path, "QWidget {}"));
    QCOMPARE(findSkinFile({dir.path()}), path);
    QVERIFY(SetFileAttributesW(
        QDir::toNativeSeparators(path).toStdWString().c_str(), FILE_ATTRIBUTE_SYSTEM));
    QCOMPARE(findSkinFile({dir.path()}), QString());
    SetFileAttributesW(
        QDir::toNativeSeparators(path).toStdWString().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
}

void TestSkinEngine::styleSheetBounds_data()
{
    // What the engine applies, or "" when it refuses the skin.
    QTest::addColumn<QString>("styleSheet");
    QTest::addColumn<QString>("applied");
    const QString plain = QStringLiteral(
        "QLabel#Label1 { color: #123456; font: bold 36pt; font-weight: 900; margin: 4px; }");
    QTest::newRow("ordinary") << plain << plain;
    QTest::newRow("huge_min_width") << "* { min-width: 99999999px; }"
                                    << "";
    QTest::newRow("huge_unitless") << "QWidget { border-width: 501; }"
                                   << "";
    QTest::newRow("huge_font") << "QLabel { font-size: 376pt; }"
                               << "";
    QTest::newRow("huge_em") << "QLabel { padding: 31em; }"
                             << "";
    QTest::newRow("huge_bare_declaration") << "min-width: 9999px"
                                           << "";
    QTest::newRow("huge_with_exponent") << "QWidget { min-width: 1e4px; font-size: .5e4pt; }"
                                        << "";
    QTest::newRow("huge_through_escapes") << "QWidget { min-width: \\39\\39\\39\\39px; }"
                                          << "";
    QTest::newRow("huge_in_property")
        << "QLabel { qproperty-styleSheet: \"* { min-width: 9999px }\"; }"
        << "";
    // A comment that is never closed runs to the end; a string that is never closed
    // (also one that a carriage return ends) is refused.
    QTest::newRow("huge_after_open_comment") << "/* x {} QLabel { min-width: 9999px; }"
                                             << "/* x {} QLabel { min-width: 9999px; }";
    QTest::newRow("huge_after_open_string") << "QLabel { a: \"x\r; min-width: 9999px; b: \"\n}"
                                            << "";
    QTest::newRow("at_the_limits") << "* { margin: 500px; font: 375pt; padding: 30em; }"
                                   << "* { margin: 500px; font: 375pt; padding: 30em; }";
    // Qt reads a length after a brace inside a function, or after an image name that
    // holds ")".
    QTest::newRow("huge_after_brace_in_function") << "QWidget { min-width: 9999px f({)}) }"
                                                  << "";
    QTest::newRow("huge_after_image_with_parenthesis")
        << "QWidget { background: url(\"a)b\"); min-width: 9999px; qproperty-x: \"z\" }"
        << "";
    // Numbers in comments, image names and selectors are no lengths.
    QTest::newRow("year_in_comment")
        << "/* Tallyclock skin, 2024 edition */ QLabel { margin: 4px; }"
        << "/* Tallyclock skin, 2024 edition */ QLabel { margin: 4px; }";
    QTest::newRow("digits_in_selector_image_and_string")
        << "QLabel#Label1000 { image: url(icon-600.png); font-family: \"Sans 2024\"; }"
        << "QLabel#Label1000 { image: url(\"/skins/x/icon-600.png\"); font-family: \"Sans 2024\"; "
           "}";
    QTest::newRow("image_in_folder") << "QWidget { background: url('img/a.png'); }"
                                     << "QWidget { background: url(\"/skins/x/img/a.png\"); }";
    QTest::newRow("qt_resource") << "QWidget { image: url(:/icons/tallyclock.png); }"
                                 << "QWidget { image: url(\":/icons/tallyclock.png\"); }";
    QTest::newRow("image_absolute") << "QWidget { background: url(/etc/passwd); }"
                                    << "";
    QTest::newRow("image_in_parent") << "QWidget { background: url(../secret.png); }"
                                     << "";
    QTest::newRow("image_with_parenthesis_after_space")
        << "QWidget { background: url( img(1).png ); color: red; }"
        << "QWidget { background: url(\"/skins/x/img(1).png \"); color: red; }";
    QTest::newRow("image_with_parenthesis_in_parent")
        << "QWidget { background: url(\"../a)b.png\"); }"
        << "";
    // Harmless: what cannot grow the work, and escapes, comments and strings as Qt reads them.
    const std::pair<const char *, const char *> harmless[]
        = {{"max_width_no_limit", "QPushButton { max-width: 16777215px; }"},
            {"full_radius", "QPushButton { border-radius: 999px; }"},
            {"password_character", "QLineEdit { lineedit-password-character: 9679; }"},
            {"weight_in_font", "QLabel { font: 600 10pt \"Segoe UI\"; }"},
            {"backslash_in_comment", "/* C:\\skins\\grey */ QLabel { color: red; }"},
            {"escaped_backslash", "/* \\00005c39 */ QLabel { color: red; }"},
            {"escape_in_string", "QLabel { font-family: \"Tally\\\"clock\"; }"},
            {"open_comment_at_end", "QLabel { color: red; } /*"}};
    for (const auto &[tag, sheet] : harmless)
        QTest::newRow(tag) << QString::fromUtf8(sheet) << QString::fromUtf8(sheet);
    // Qt replaces escapes first, everywhere; the engine hands Qt the sheet with them
    // replaced, and writes a backslash that Qt would read as an escape as one.
    QTest::newRow("escapes_replaced")
        << "/* C:\\skins\\dark */ QLabel { font-family: \"\\5c\\41\"; }"
        << "/* C:\\skins\u00dark */ QLabel { font-family: \"\\00005cA\"; }";
    QTest::newRow("huge_font_size") << "QLabel { font-size: 30000pt; }"
                                    << "";
    QTest::newRow("huge_border") << "QLabel { border: 99999px solid red; }"
                                 << "";
    QTest::newRow("huge_in_quotes") << "QLabel { min-width: \"99999\"; }"
                                    << "";
    QTest::newRow("image_in_sibling_folder")
        << "QCheckBox { image: url(../common/check.png); }"
        << "QCheckBox { image: url(\"/skins/common/check.png\"); }";
    QTest::newRow("image_above_skins_folder") << "QWidget { image: url(../../etc/a.png); }"
                                              << "";
    // An image name in capitals is refused, even beside the sheet.
    QTest::newRow("image_in_capitals") << "QWidget { background: URL(/etc/passwd); }"
                                       << "";
    QTest::newRow("image_in_capitals_beside") << "QCheckBox { image: URL('../common/check.png'); }"
                                              << "";
    QTest::newRow("image_through_escape") << "QWidget { background: url\\28/etc/passwd); }"
                                          << "";
}

void TestSkinEngine::styleSheetBounds()
{
    QFETCH(QString, styleSheet);
    QFETCH(QString, applied);
    if (applied.isEmpty())
        QVERIFY_THROWS_EXCEPTION(
            Failure, boundedStyleSheet(styleSheet, QStringLiteral("/skins/x")));
    else
        QCOMPARE(boundedStyleSheet(styleSheet, QStringLiteral("/skins/x")), applied);
    // Qt reads what the engine hands it as the sheet that was judged.
    if (!applied.isEmpty() && !applied.contains(QLatin1String("url(")))
        QCOMPARE(boundedStyleSheet(applied, QStringLiteral("/skins/x")), applied);
}

// A byte-order mark decides; without one UTF-8 if valid, else the ANSI code page (here
// Windows-1252: the tests' locale is C.UTF-8, which names no 8-bit code page).
void TestSkinEngine::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QString sheet = QStringLiteral("/* caf\u00e9 */ QLabel {}");
    QTest::newRow("utf8_bom") << QByteArray("\xef\xbb\xbf").append(sheet.toUtf8()) << sheet;
    const QByteArray utf16(reinterpret_cast<const char *>(sheet.utf16()), sheet.size() * 2);
    QByteArray bigEndian = utf16;
    for (qsizetype i = 0; i < bigEndian.size(); i += 2)
        std::swap(bigEndian[i], bigEndian[i + 1]);
    QTest::newRow("utf16le_bom") << QByteArray("\xff\xfe").append(utf16) << sheet;
    QTest::newRow("utf16be_bom") << QByteArray("\xfe\xff").append(bigEndian) << sheet;
    QTest::newRow("windows_1252") << QByteArray("/* caf\xe9 \x80 */ QLabel {}")
                                  << QStringLiteral("/* caf\u00e9 \u20ac */ QLabel {}");
}

void TestSkinEngine::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(skinStyleSheet(bytes, QStringLiteral("/skins/x")), expected);
}

// An image that is there must be a small regular file: Qt blocks on a FIFO and reads a
// device or a huge image to its end.
void TestSkinEngine::hostileImages_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("huge_image") << QByteArray("P6 30000 30000 255\n");
#if !defined(Q_OS_WIN)
    QTest::newRow("fifo") << QByteArray("<fifo>");
    QTest::newRow("link_to_dev_zero") << QByteArray("<link:/dev/zero>");
#endif
}

void TestSkinEngine::hostileImages()
{
    QFETCH(QByteArray, image);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("common")));
    QVERIFY(makeHostileFile(dir.filePath(QStringLiteral("common/a.ppm")), image));
    const QString sheet = QStringLiteral("QWidget { image: url(../common/a.ppm); }");
    QVERIFY_THROWS_EXCEPTION(Failure, boundedStyleSheet(sheet, dir.filePath(QStringLiteral("x"))));
}

void TestSkinEngine::sampleSkinsLoad_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("dark") << QStringLiteral(TALLYCLOCK_SKINS "/dark.qss");
    QTest::newRow("high_contrast") << QStringLiteral(TALLYCLOCK_SKINS "/high-contrast.qss");
}

void TestSkinEngine::sampleSkinsLoad()
{
    QFETCH(QString, file);
    StyleSheetSkinEngine engine;
    engine.invoke(2, Kind::Method, {file, QString()});
    QVERIFY(engine.styleSheet().contains(QLatin1String("QPushButton")));
}

QTEST_MAIN(TestSkinEngine)
#include "tst_skinengine.moc"
