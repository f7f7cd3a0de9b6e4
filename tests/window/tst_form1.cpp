#include "fakes/EnforcedFilePermissions.h"
#include "fakes/FakeCounter.h"
#include "fakes/FakeDesktop.h"
#include "fakes/HostileFile.h"
#include "fakes/RecordingSkinEngine.h"
#include "qtdesktop/QtDesktop.h"
#include "results/ResultsView.h"
#include "skin/CursorFile.h"
#include "stopwatch/TimeDisplay.h"
#include "system/OptionalFile.h"
#include "timing/clsElapsedTimer.h"
#include "window/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

using namespace tallyclock;

namespace {

// A window loaded from a folder of the test's own, with fake counter and desktop.
struct Window
{
    QTemporaryDir folder;
    QTemporaryDir userFolder;
    FakeCounter counter;
    FakeDesktop desktop;
    RecordingSkinEngine skin;
    SkinEngine *engine = &skin;
    std::unique_ptr<Form1> form;

    void create()
    {
        form = std::make_unique<Form1>(
            desktop, counter, *engine, QStringList{folder.path(), userFolder.path()});
    }

    void load()
    {
        create();
        form->Form_Load();
    }

    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        // A Wayland client cannot ask for activation; the compositor activates the
        // new window. The window system may call it active before the application
        // has taken the activation in: wait for the application's word.
        if (QGuiApplication::platformName() == QLatin1String("wayland"))
            QTRY_COMPARE(QApplication::activeWindow(), form.get());
        else
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    // A file in the program's folder, or in the user's for a name starting "~/".
    void put(QString name, const QByteArray &bytes)
    {
        const QTemporaryDir &root = name.startsWith(QLatin1String("~/")) ? userFolder : folder;
        name.remove(QRegularExpression(QStringLiteral("^~/")));
        QDir(root.path()).mkpath(QFileInfo(root.filePath(name)).path());
        QFile file(root.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QStringList entries() const
    {
        QStringList texts;
        for (int i = 1; i <= form->results().itemCount(); ++i)
            texts << form->results().item(i).Text();
        return texts;
    }

    // A key pressed and released as the window system delivers it: to the window,
    // which hands it to whatever has the focus.
    // `native` names the key as the window system does: its place (XKB keycode) on X11
    // and Wayland, its virtual key on Windows.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}, bool autoRepeat = false,
        quint32 native = 0, QString text = QString())
    {
        if (text.isEmpty() && k == Qt::Key_Space)
            text = QStringLiteral(" ");
        else if (text.isEmpty() && k == Qt::Key_L)
            text = QStringLiteral("l");
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
#if defined(Q_OS_WIN)
            QWindowSystemInterface::handleExtendedKeyEvent(
                form->windowHandle(), type, k, modifiers, 0, native, 0, text, autoRepeat);
#else
            QWindowSystemInterface::handleExtendedKeyEvent(
                form->windowHandle(), type, k, modifiers, native, 0, 0, text, autoRepeat);
#endif
            QWindowSystemInterface::flushWindowSystemEvents();
        }
    }

    // A control of the window, by its design name.
    template<typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }

    void moveOver(QWidget *widget)
    {
        const QPointF centre = QRectF(widget->rect()).center();
        QMouseEvent move(QEvent::MouseMove, centre, widget->mapToGlobal(centre), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
};

QByteArray cursorFile(int hotX, int hotY)
{
    // A 2x2 pointer: directory, one entry, then a 32-bit DIB with its AND mask.
    QByteArray dib;
    QDataStream out(&dib, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(2) << qint32(4) << quint16(1) << quint16(32) << quint32(0)
        << quint32(0) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int i = 0; i < 4; ++i)
        out << quint32(0xff000000);
    for (int i = 0; i < 2; ++i)
        out << quint32(0);
    QByteArray file;
    QDataStream head(&file, QIODevice::WriteOnly);
    head.setByteOrder(QDataStream::LittleEndian);
    head << quint16(0) << quint16(2) << quint16(1) << quint8(2) << quint8(2) << quint8(0)
         << quint8(0) << quint16(hotX) << quint16(hotY) << quint32(dib.size()) << quint32(22);
    return file + dib;
}

QColor background(QWidget *w)
{
    return w->palette().color(QPalette::Window);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stateAfterLoad();
    void layout_data();
    void layout();
    void keys_data();
    void keys();
    void clickThenSpaceIsOneStartStop();
    void floodOfQueuedKeys();
    void pointer_data();
    void pointer();
    void pointerShapes();
    void customPointer_data();
    void customPointer();
    void skin_data();
    void skin();
    void bundledSkins_data();
    void bundledSkins();
    void closeWhileRunning();
    void closeWhileHandlerYields();
    void closeWhileReportIsOpen();
    void exportButtons();
    void closeWhileExportYields_data();
    void closeWhileExportYields();
    void accessibleNames();
    void displayRaisesNoEventPerTick();
};

void TestForm1::stateAfterLoad()
{
    Window w;
    w.load();
    Form1 &f = *w.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("Tallyclock Software"));
    QCOMPARE(f.applicationTitle(), QStringLiteral("Tallyclock"));
    QVERIFY(!f.windowIcon().isNull());
    QCOMPARE(f.results().columnHeaderCount(), 2);
    QCOMPARE(f.results().columnHeaderText(1), QStringLiteral("Result(s)"));
    QCOMPARE(f.results().columnHeaderText(2), QStringLiteral("Result(s)"));
    QCOMPARE(f.results().columnHeaderWidth(1), 4000);
    QCOMPARE(f.results().columnHeaderWidth(2), 1);
    QCOMPARE(f.results().itemCount(), 0);
    QCOMPARE(f.pointer().value(), 0);
    QCOMPARE(w.child<TimeDisplay>("Label1")->text(), QStringLiteral("0.000"));
    QVERIFY(!w.child<QTimer>("Timer1")->isActive());
    QVERIFY(!f.controller().ElapsedTimer().IsRunning());
    QVERIFY(!f.hasCustomPointer());
    QVERIFY(w.desktop.boxes.isEmpty());
    QVERIFY(w.skin.calls.isEmpty());
    QCOMPARE(background(&f), QColor(Qt::white));
    QCOMPARE(
        w.child<QPushButton>("PushButton2")->text(), QStringLiteral("Start (or press spacebar)"));
}

void TestForm1::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<qreal>("points");
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 8, 520, 82) << 9.0;
    QTest::newRow("Label1") << "Label1" << QRect(8, 14, 504, 59) << 36.0;
    QTest::newRow("ListView1") << "ListView1" << QRect(8, 201, 520, 151) << 9.0;
    QTest::newRow("PushButton2") << "PushButton2" << QRect(8, 99, 520, 27) << 11.25;
    QTest::newRow("PushButton5") << "PushButton5" << QRect(8, 133, 520, 27) << 11.25;
    QTest::newRow("PushButton1") << "PushButton1" << QRect(8, 167, 520, 27) << 11.25;
    QTest::newRow("PushButton4") << "PushButton4" << QRect(8, 358, 256, 27) << 11.25;
    QTest::newRow("PushButton13") << "PushButton13" << QRect(272, 358, 256, 27) << 11.25;
    QTest::newRow("PushButton3") << "PushButton3" << QRect(272, 392, 256, 27) << 11.25;
    QTest::newRow("PushButton6") << "PushButton6" << QRect(8, 392, 256, 27) << 11.25;
}

void TestForm1::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(qreal, points);
    Window w;
    w.load();
    auto *control = w.form->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    QCOMPARE(control->font().pointSizeF(), points);
    QVERIFY(control->font().bold());
    QCOMPARE(w.form->size(), QSize(536, 426));
    QCOMPARE(w.form->minimumSize(), w.form->maximumSize());
    QVERIFY(!(w.form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(w.child<ResultsView>("ListView1")->toolTip(),
        QStringLiteral("Double-click item to remove it. Move | line to right and out of window "
                       "to reveal full names."));
}

void TestForm1::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<int>("native");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("entries");
    const QStringList start{"Timer started at 0.000"};
    const QStringList lap{"Lap started at 0.000"};
    const QStringList reset{"Timer Reset to 0.000"};
    QTest::newRow("space_on_list")
        << "ListView1" << int(Qt::Key_Space) << 0 << false << 0 << QString() << start;
    QTest::newRow("space_nothing_focused")
        << "" << int(Qt::Key_Space) << 0 << false << 0 << QString() << start;
    // Start/Stop moves the focus to the list: the Lap button must not stay pressed.
    QTest::newRow("space_on_tabbed_lap")
        << "PushButton5" << int(Qt::Key_Space) << 0 << false << 0 << QString() << start;
    QTest::newRow("space_on_tabbed_save")
        << "PushButton4" << int(Qt::Key_Space) << 0 << false << 0 << QString() << start;
    QTest::newRow("shift_space") << "ListView1" << int(Qt::Key_Space) << int(Qt::ShiftModifier)
                                 << false << 0 << QString() << start;
    QTest::newRow("ctrl_L_on_tabbed_reset")
        << "PushButton1" << int(Qt::Key_L) << int(Qt::ControlModifier) << false << 0 << QString()
        << lap;
    QTest::newRow("backspace_on_tabbed_startstop")
        << "PushButton2" << int(Qt::Key_Backspace) << 0 << false << 0 << QString() << reset;
    QTest::newRow("backspace_autorepeat")
        << "ListView1" << int(Qt::Key_Backspace) << 0 << true << 0 << QString() << reset;
    QTest::newRow("other_key") << "ListView1" << int(Qt::Key_M) << 0 << false << 0 << QString()
                               << QStringList{};
    // The key in L's place laps under a layout without Latin letters, not under one that
    // puts another Latin letter there. X11 and Wayland name it by its place (XKB keycode
    // 46); Windows by its virtual key, which is L's under Cyrillic and N's under Dvorak.
#if defined(Q_OS_WIN)
    const int lPlaceCyrillic = 0x4C, lPlaceDvorak = 0x4E;
#else
    const int lPlaceCyrillic = 46, lPlaceDvorak = 46;
#endif
    QTest::newRow("cyrillic_layout_L_place") << "ListView1" << 0x0414 /* Д */ << 0 << false
                                             << lPlaceCyrillic << QStringLiteral("д") << lap;
    QTest::newRow("dvorak_layout_L_place") << "ListView1" << int(Qt::Key_N) << 0 << false
                                           << lPlaceDvorak << QStringLiteral("n") << QStringList{};
}

void TestForm1::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, autoRepeat);
    QFETCH(int, native);
    QFETCH(QString, text);
    QFETCH(QStringList, entries);
    Window w;
    w.load();
    w.show();
    auto *focused = focus.isEmpty() ? nullptr : w.form->findChild<QWidget *>(focus);
    if (focused) {
        focused->setFocus(Qt::TabFocusReason);
    } else if (QApplication::focusWidget()) {
        QApplication::focusWidget()->clearFocus();
    }
    w.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers), autoRepeat, quint32(native), text);
    QCOMPARE(w.entries(), entries);
    for (auto *button : w.form->findChildren<QPushButton *>())
        QVERIFY2(!button->isDown(), qPrintable(button->objectName()));

    // Holding Space toggles at the repeat rate, one entry per toggle.
    if (key == Qt::Key_Space) {
        w.key(Qt::Key_Space, {}, true);
        w.key(Qt::Key_Space, {}, true);
        QCOMPARE(w.entries().size(), 3);
        QCOMPARE(w.child<QPushButton>("PushButton2")->text(),
            QStringLiteral("Stop (or press spacebar)"));
        // The tick of the list's current row never moves.
        for (int i = 1; i <= 3; ++i)
            QVERIFY(w.form->results().item(i).Checked());
    }

    // The button that had the focus still works on the next click.
    const QStringList timingButtons{"PushButton1", "PushButton2", "PushButton5"};
    if (focused && timingButtons.contains(focus)) {
        const qsizetype before = w.entries().size();
        QTest::mouseClick(qobject_cast<QPushButton *>(focused), Qt::LeftButton);
        QCOMPARE(w.entries().size(), before + 1);
    }
}

// The real desktop, counting how deep yields nest.
class NestingDesktop final : public QtDesktop
{
public:
    int nesting = 0;
    int deepest = 0;

protected:
    void processPendingEvents() override
    {
        deepest = std::max(deepest, ++nesting);
        QtDesktop::processPendingEvents();
        --nesting;
    }
};

// Every Space handler yields, and a key taken in a yield runs inside it. A window
// catching up on thousands of queued presses must run them one after another, not
// nest handlers until the stack is gone.
void TestForm1::floodOfQueuedKeys()
{
    NestingDesktop desktop;
    FakeCounter counter;
    RecordingSkinEngine skin;
    QTemporaryDir folder;
    Form1 form(desktop, counter, skin, {folder.path()});
    desktop.setWindow(&form);
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    constexpr int presses = 3000;
    for (int i = 0; i < presses; ++i) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleExtendedKeyEvent(form.windowHandle(), type, Qt::Key_Space,
                {}, 65, 0, 0, QStringLiteral(" ")); // queued
    }
    QTRY_COMPARE_WITH_TIMEOUT(form.results().itemCount(), presses, 60000);
    QVERIFY2(desktop.deepest <= 100, qPrintable(QString::number(desktop.deepest)));
    auto *list = form.findChild<ResultsView *>(QStringLiteral("ListView1"));
    const int range = list->verticalScrollBar()->maximum();
    QVERIFY(range > presses - 20);
    list->doItemsLayout();
    QCOMPARE(list->verticalScrollBar()->maximum(), range);
}

void TestForm1::clickThenSpaceIsOneStartStop()
{
    Window w;
    w.load();
    w.show();
    QTest::mouseClick(w.child<QPushButton>("PushButton5"), Qt::LeftButton);
    QCOMPARE(w.entries(), QStringList{"Lap started at 0.000"});
    QVERIFY(QApplication::focusWidget() != w.child<QPushButton>("PushButton5"));
    w.counter.advanceSeconds(1);
    w.form->controller().Timer1_Timer();
    QTest::keyClick(w.form->windowHandle(), Qt::Key_Space);
    QCOMPARE(w.entries(), (QStringList{"Lap started at 0.000", "Timer resumed at 1.000"}));
    QCOMPARE(
        w.child<QPushButton>("PushButton2")->text(), QStringLiteral("Stop (or press spacebar)"));
}

void TestForm1::pointer_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("over");
    QTest::addColumn<int>("after");
    for (const char *button : {"PushButton1", "PushButton3", "PushButton4", "PushButton5",
             "PushButton6", "PushButton13"}) {
        QTest::addRow("%s_idle", button) << 0 << button << 99;
        QTest::addRow("%s_busy", button) << 11 << button << 11;
        QTest::addRow("%s_after_arrow", button) << 1 << button << 99;
    }
    QTest::newRow("startstop_idle") << 0 << "PushButton2" << 99;
    QTest::newRow("startstop_busy_takes_over") << 11 << "PushButton2" << 99;
    for (const char *area :
        {"Form1", "Frame1", "Label1", "ListView1", "ListView1_header", "ListView1_scrollbar"}) {
        QTest::addRow("%s_from_hand", area) << 99 << area << 0;
        QTest::addRow("%s_busy", area) << 11 << area << 11;
        QTest::addRow("%s_after_arrow", area) << 1 << area << 0;
    }
}

void TestForm1::pointer()
{
    QFETCH(int, before);
    QFETCH(QString, over);
    QFETCH(int, after);
    Window w;
    w.load();
    w.form->pointer().set(PointerSetting::Shape(before));
    auto *list = w.child<ResultsView>("ListView1");
    QWidget *target = over == QLatin1String("Form1")   ? w.form.get()
        : over == QLatin1String("ListView1")           ? list->viewport()
        : over == QLatin1String("ListView1_header")    ? list->header()->viewport()
        : over == QLatin1String("ListView1_scrollbar") ? list->verticalScrollBar()
                                                       : w.form->findChild<QWidget *>(over);
    w.moveOver(target);
    QCOMPARE(w.form->pointer().value(), after);
}

void TestForm1::pointerShapes()
{
    Window w;
    w.load();
    w.moveOver(w.child<QPushButton>("PushButton5")); // no pointer file: the platform's hand
    QCOMPARE(w.form->cursor().shape(), Qt::PointingHandCursor);
    w.form->pointer().set(PointerSetting::Hourglass);
    QCOMPARE(w.form->cursor().shape(), Qt::WaitCursor);
    w.form->pointer().set(PointerSetting::Arrow);
    QCOMPARE(w.form->cursor().shape(), Qt::ArrowCursor);
    w.moveOver(w.child<TimeDisplay>("Label1"));
    QCOMPARE(w.form->pointer().value(), 0);
    QCOMPARE(w.form->cursor().shape(), Qt::ArrowCursor);
}

void TestForm1::customPointer_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::newRow("valid") << cursorFile(1, 0) << true << QPoint(1, 0);
    QTest::newRow("hot_spot_clamped") << cursorFile(65535, 7) << true << QPoint(1, 1);
    QTest::newRow("corrupt") << QByteArray("not a pointer at all") << false << QPoint();
    QTest::newRow("icon_not_pointer")
        << QByteArray(cursorFile(0, 0)).replace(2, 1, "\x01") << false << QPoint();
    QTest::newRow("truncated_image") << cursorFile(0, 0).left(30) << false << QPoint();
    QTest::newRow("user_folder") << cursorFile(0, 1) << true << QPoint(0, 1);
    // Read without blocking and never past the limit.
    QTest::newRow("folder") << QByteArray("<folder>") << false << QPoint();
#if defined(Q_OS_UNIX)
    QTest::newRow("fifo") << QByteArray("<fifo>") << false << QPoint();
    QTest::newRow("link_to_dev_zero") << QByteArray("<link:/dev/zero>") << false << QPoint();
#endif
    QTest::newRow("valid_then_padding")
        << cursorFile(0, 0).append(maxPointerImageBytes, '\0') << false << QPoint();
}

void TestForm1::customPointer()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, loaded);
    QFETCH(QPoint, hotSpot);
    Window w;
    // Only in the user's folder when the program's folder has none.
    const bool userFolder = QLatin1String(QTest::currentDataTag()) == QLatin1String("user_folder");
    if (file.startsWith("<"))
        QVERIFY(makeHostileFile(w.folder.filePath(QStringLiteral("HAND-M.CUR")), file));
    else
        w.put(userFolder ? QStringLiteral("~/HAND-M.CUR") : QStringLiteral("HAND-M.CUR"), file);
    w.load();
    QCOMPARE(w.form->hasCustomPointer(), loaded);
    if (loaded) {
        QVERIFY(w.desktop.boxes.isEmpty());
        w.moveOver(w.child<QPushButton>("PushButton1"));
        QCOMPARE(w.form->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(w.form->cursor().hotSpot(), hotSpot);
    } else {
        QCOMPARE(w.desktop.reportLines(),
            QStringList{"in Tallyclock2021/08/31.Form1.Form_Load at line 106"});
        // Refused before reading, not after running out of memory.
        if (file.startsWith("<"))
            QVERIFY(w.desktop.boxes.constLast().text.contains(QLatin1String("not a regular file")));
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Tallyclock Software")); // load went on
    }
}

void TestForm1::skin_data()
{
    // Skin files to put, comma-separated ("~/" is the user's folder); `denied` makes the
    // program's "x" folder unreadable.
    QTest::addColumn<QString>("skinPaths");
    QTest::addColumn<int>("failAt");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<bool>("recoloured");
    QTest::addColumn<int>("calls");
    QTest::addColumn<bool>("reported");
    QTest::newRow("absent") << "" << 0 << false << false << 0 << false;
    QTest::newRow("folder_not_file") << "x/o.cjs/inner" << 0 << false << false << 0 << false;
    QTest::newRow("present") << "x/o.cjs" << 0 << false << true << 6 << false;
    QTest::newRow("rejected_file") << "x/o.cjs" << 1 << false << true << 1 << true;
    QTest::newRow("rejected_apply") << "x/o.cjs" << 6 << false << true << 6 << true;
    QTest::newRow("user_folder") << "~/x/o.cjs" << 0 << false << true << 6 << false;
    QTest::newRow("program_folder_wins") << "x/o.cjs,~/x/o.cjs" << 0 << false << true << 6 << false;
#if defined(Q_OS_UNIX)
    // (Windows has no folder mode that refuses reading.)
    QTest::newRow("unreadable_folder_reported")
        << "x/o.cjs,~/x/o.cjs" << 0 << true << false << 0 << true;
#endif
}

void TestForm1::skin()
{
    QFETCH(QString, skinPaths);
    QFETCH(int, failAt);
    QFETCH(bool, denied);
    QFETCH(bool, recoloured);
    QFETCH(int, calls);
    QFETCH(bool, reported);
    Window w;
    const QStringList paths = skinPaths.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &path : paths)
        w.put(path, "QWidget { color: red; }");
    w.skin.failAt = failAt;
    const QString xFolder = w.folder.filePath(QStringLiteral("x"));
    if (denied) {
        QVERIFY(QFile::setPermissions(xFolder, {}));
        EnforcedFilePermissions enforced;
        w.load();
    } else {
        w.load();
    }
    QFile::setPermissions(xFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Form1 &f = *w.form;

    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor expected = recoloured ? face : QColor(Qt::white);
    QCOMPARE(background(&f), expected);
    QCOMPARE(background(w.child<QGroupBox>("Frame1")), expected);
    QCOMPARE(background(w.child<TimeDisplay>("Label1")), expected);
    QCOMPARE(
        w.child<QPushButton>("PushButton2")->palette().color(QPalette::Button), QColor(Qt::white));
    QCOMPARE(w.child<ResultsView>("ListView1")->palette().color(QPalette::Base),
        QApplication::palette(w.child<ResultsView>("ListView1")).color(QPalette::Base));
    // The empty part of the list's header keeps the list's colours too, also once the
    // skin's style sheet is on the window, as the real engine puts it.
    if (recoloured)
        f.setStyleSheet(QStringLiteral("QLabel#Label1 { color: red; }"));
    QCOMPARE(w.child<ResultsView>("ListView1")->header()->palette().color(QPalette::Window),
        QColor(Qt::white));

    QCOMPARE(w.skin.calls.size(), calls);
    if (calls == 6) {
        const QTemporaryDir &root
            = paths[0].startsWith(QLatin1String("~/")) ? w.userFolder : w.folder;
        const QString path = root.path() + QStringLiteral("/x/o.cjs");
        QCOMPARE(w.skin.calls,
            (QStringList{"2 call QString:" + path + " QString:", "1 get", "1 put int:7",
                "5 put bool:true", "10 put bool:true",
                "3 call int:" + QString::number(qint32(f.winId()))}));
    }
    const QStringList reports = w.desktop.reportLines();
    QCOMPARE(reports.size(), reported ? 1 : 0);
    if (reported)
        QCOMPARE(reports[0], QStringLiteral("in Tallyclock2021/08/31.Form1.Form_Load at line 100"));
    QCOMPARE(w.child<TimeDisplay>("Label1")->text(), QStringLiteral("0.000")); // the load went on
}

// What each bundled skin does to the results list shows on screen: a selector that no
// longer names the list's class leaves it in the window's colours.
void TestForm1::bundledSkins_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QColor>("listBackground");
    QTest::addColumn<QColor>("listBorder");
    QTest::addColumn<QColor>("selectedRow");
    QTest::newRow("dark") << "dark.qss" << QColor(0x15181cu) << QColor(0x3a3f47u) << QColor();
    QTest::newRow("high_contrast")
        << "high-contrast.qss" << QColor(0x000000u) << QColor(0xffffffu) << QColor(0x00ffffu);
}

void TestForm1::bundledSkins()
{
    QFETCH(QString, file);
    QFETCH(QColor, listBackground);
    QFETCH(QColor, listBorder);
    QFETCH(QColor, selectedRow);
    QFile skin(QStringLiteral(TALLYCLOCK_SKINS "/") + file);
    QVERIFY(skin.open(QIODevice::ReadOnly));
    StyleSheetSkinEngine engine;
    // The engine styles the whole application: no later test may inherit the skin.
    const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    Window w;
    w.engine = &engine;
    w.put(QStringLiteral("x/o.cjs"), skin.readAll());
    w.load();
    QVERIFY(w.desktop.reportLines().isEmpty());
    w.show();
    w.key(Qt::Key_Space);
    auto *list = w.child<ResultsView>("ListView1");
    list->setCurrentIndex(list->model()->index(0, 0));
    const QImage shot = list->grab().toImage();
    QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() - 10), listBackground);
    QCOMPARE(shot.pixelColor(0, shot.height() / 2), listBorder);
    if (selectedRow.isValid()) {
        // The style shades the selection a little.
        const QRect row = list->visualRect(list->currentIndex());
        const QColor shown = shot.pixelColor(
            list->viewport()->mapTo(list, QPoint(row.right() - 3, row.center().y())));
        QVERIFY2(std::abs(shown.red() - selectedRow.red()) < 16
                && std::abs(shown.green() - selectedRow.green()) < 16
                && std::abs(shown.blue() - selectedRow.blue()) < 16,
            qPrintable(shown.name()));
    }
}

void TestForm1::closeWhileRunning()
{
    Window w;
    w.load();
    w.show();
    bool ended = false;
    w.form->setOnEnded([&] { ended = true; });
    w.key(Qt::Key_Space);
    QVERIFY(w.child<QTimer>("Timer1")->isActive());
    w.form->close();
    QVERIFY(ended);
    QVERIFY(!w.child<QTimer>("Timer1")->isActive());
    QVERIFY(!w.form->controller().hasElapsedTimer());
    QVERIFY(w.desktop.isEnding());
    QVERIFY(w.desktop.boxes.isEmpty());
}

void TestForm1::closeWhileHandlerYields()
{
    Window w;
    w.load();
    w.show();
    w.key(Qt::Key_Space);
    w.counter.advanceSeconds(2);
    w.form->controller().Timer1_Timer();
    // The window closes during the refresh that Lap makes before its entry.
    w.desktop.onYield = [&] { w.form->close(); };
    QTest::mouseClick(w.child<QPushButton>("PushButton5"), Qt::LeftButton);
    QCOMPARE(w.entries(), QStringList{"Timer started at 0.000"});
    QVERIFY(!w.child<QTimer>("Timer1")->isActive());
    QVERIFY(w.desktop.boxes.isEmpty());
    QVERIFY(!w.form->controller().hasElapsedTimer());
}

void TestForm1::closeWhileReportIsOpen()
{
    Window w;
    w.counter.frequency = 0; // every refresh fails
    w.load();
    w.show();
    w.desktop.boxes.clear();
    w.desktop.onBox = [&](const FakeDesktop::Box &) { w.form->endSession(); };
    // Reset: step 102 fails and reports; the end of the session while the report is up
    // (a close request waits for the box) ends the handler there.
    w.key(Qt::Key_Backspace);
    QCOMPARE(w.desktop.boxes.size(), 1);
    QVERIFY(w.entries().isEmpty());
}

void TestForm1::exportButtons()
{
    Window w;
    w.load();
    w.show();
    w.desktop.tempFolder = w.folder.path();
    w.key(Qt::Key_Space);
    w.key(Qt::Key_Space);
    const QString target = w.folder.filePath(QStringLiteral("r.txt"));
    w.desktop.savePaths << target;
    QTest::mouseClick(w.child<QPushButton>("PushButton4"), Qt::LeftButton);
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Timer started at 0.000\r\nTimer stopped at 0.000\r\n"));
    QCOMPARE(w.form->pointer().value(), 1);

    QTest::mouseClick(w.child<QPushButton>("PushButton6"), Qt::LeftButton);
    QCOMPARE(w.desktop.clipboard,
        QStringLiteral("Timer started at 0.000\t0.000\r\nTimer stopped at 0.000\t0.000\r\n"));
    QCOMPARE(w.desktop.boxes.size(), 1);
    QCOMPARE(w.desktop.boxes[0].title, QStringLiteral("Tallyclock"));

    QTest::mouseClick(w.child<QPushButton>("PushButton13"), Qt::LeftButton);
    QCOMPARE(w.desktop.opened.size(), 1);
    QCOMPARE(w.form->pointer().value(), 0);

    QTest::mouseClick(w.child<QPushButton>("PushButton3"), Qt::LeftButton);
    QCOMPARE(w.form->results().itemCount(), 0);
    QCOMPARE(w.desktop.boxes.size(), 1);
}

void TestForm1::closeWhileExportYields_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("text_file") << "PushButton4";
    QTest::newRow("spreadsheet") << "PushButton13";
    QTest::newRow("clipboard") << "PushButton6";
}

void TestForm1::closeWhileExportYields()
{
    QFETCH(QString, button);
    Window w;
    w.load();
    w.show();
    w.desktop.tempFolder = w.folder.filePath(QStringLiteral("temp"));
    QDir().mkpath(w.desktop.tempFolder);
    for (int i = 0; i < 5; ++i)
        w.key(Qt::Key_Backspace);
    const QString target = w.folder.filePath(QStringLiteral("r.txt"));
    w.put(QStringLiteral("r.txt"), "old results\r\n");
    w.desktop.savePaths << target;
    w.desktop.answers << MessageAnswer::Yes;
    bool ended = false;
    w.form->setOnEnded([&] { ended = true; });
    int yields = 0;
    w.desktop.onYield = [&] {
        if (++yields == 3)
            w.form->close();
    };
    QTest::mouseClick(w.form->findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(ended);
    QCOMPARE(yields, 3); // nothing ran after the close
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old results\r\n"));
    QCOMPARE(QDir(w.folder.path()).entryList(QDir::Files), QStringList{"r.txt"});
    QVERIFY(QDir(w.desktop.tempFolder).isEmpty());
    QVERIFY(w.desktop.opened.isEmpty());
    QCOMPARE(w.desktop.clipboard, QStringLiteral("held before"));
    // Only the overwrite question was shown; no report, no confirmation.
    QCOMPARE(w.desktop.boxes.size(), button == QLatin1String("PushButton4") ? 1 : 0);
}

void TestForm1::accessibleNames()
{
    Window w;
    w.load();
    const QList<QWidget *> controls{w.child<QGroupBox>("Frame1"), w.child<TimeDisplay>("Label1"),
        w.child<ResultsView>("ListView1"), w.child<QPushButton>("PushButton2"),
        w.child<QPushButton>("PushButton5"), w.child<QPushButton>("PushButton1"),
        w.child<QPushButton>("PushButton4"), w.child<QPushButton>("PushButton13"),
        w.child<QPushButton>("PushButton3"), w.child<QPushButton>("PushButton6")};
    for (QWidget *control : controls) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
        QVERIFY(iface);
        QVERIFY2(!iface->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(w.child<QGroupBox>("Frame1"))
                 ->text(QAccessible::Name),
        QStringLiteral("Timer"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.child<QPushButton>("PushButton13"))
                 ->text(QAccessible::Name),
        QStringLiteral("Save Results As Excel File"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.child<ResultsView>("ListView1"))
                 ->text(QAccessible::Description),
        w.child<ResultsView>("ListView1")->toolTip());

    // The display answers with the time shown now.
    w.form->controller().PushButton2_Click();
    w.counter.advanceSeconds(12.345);
    w.form->controller().Timer1_Timer();
    QAccessibleInterface *display
        = QAccessible::queryAccessibleInterface(w.child<TimeDisplay>("Label1"));
    QVERIFY(display->text(QAccessible::Name).contains(QLatin1String("12.345")));
    QCOMPARE(display->text(QAccessible::Value), QStringLiteral("12.345"));

    // Rows and both columns are readable through the list's table interface.
    QAccessibleInterface *list
        = QAccessible::queryAccessibleInterface(w.child<ResultsView>("ListView1"));
    QAccessibleTableInterface *table = list->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(
        table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("Timer started at 0.000"));
    QCOMPARE(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("0.000"));
}

namespace {
QList<QAccessible::Event> g_displayEvents;
QObject *g_display = nullptr;
void recordUpdate(QAccessibleEvent *event)
{
    if (event->object() == g_display)
        g_displayEvents << event->type();
}
} // namespace

void TestForm1::displayRaisesNoEventPerTick()
{
    Window w;
    w.load();
    g_display = w.child<TimeDisplay>("Label1");
    g_displayEvents.clear();
    QAccessible::installUpdateHandler(recordUpdate);
    QAccessible::setActive(true);
    w.form->controller().PushButton2_Click();
    for (int i = 0; i < 10; ++i) {
        w.counter.advanceSeconds(0.025);
        w.form->controller().Timer1_Timer();
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::setActive(false);
    QCOMPARE(w.child<TimeDisplay>("Label1")->text(), QStringLiteral("0.250"));
    QVERIFY2(!g_displayEvents.contains(QAccessible::NameChanged), "the display announced a tick");
    QVERIFY(!g_displayEvents.contains(QAccessible::ValueChanged));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
