#include "Form1.h"

#include "about/ApplicationTitle.h"
#include "core/Desktop.h"
#include "core/Twips.h"
#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "skin/CursorFile.h"
#include "skin/SkinEngine.h"
#include "stopwatch/TimeDisplay.h"
#include "system/FileSystem.h"
#include "system/KeyPosition.h"
#include "timing/clsElapsedTimer.h"

#include "results/ResultsView.h"
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace tallyclock {

namespace {

QRect twips(int left, int top, int width, int height)
{
    return QRect(
        twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QFont arial(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

void setWhiteBackground(QWidget *widget, QPalette::ColorRole role = QPalette::Window)
{
    QPalette palette = widget->palette();
    palette.setColor(role, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Keys as the stopwatch numbers them (L in either case), 0 for any other.
// Under a layout without Latin letters (Cyrillic, Greek) the key in L's place still
// counts as L, as virtual key codes on Windows do; under a Latin layout (Dvorak,
// AZERTY) only the key that types L does.
int keyCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        return StopwatchController::KeySpace;
    case Qt::Key_L:
        return StopwatchController::KeyL;
    case Qt::Key_Backspace:
        return StopwatchController::KeyBackspace;
    default:
        break;
    }
    const bool latinLetter = event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z;
    return !latinLetter && isLKeyPosition(event->nativeScanCode(), event->nativeVirtualKey())
        ? StopwatchController::KeyL
        : 0;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

QIcon applicationIcon()
{
    // The window system takes the small ones, and the desktop entry's icon stands for
    // the rest. Read as PNG by name: a file of unnamed format would have Qt load every
    // image-format plugin to find out, at every start.
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : {16, 32, 48, 64, 128}) {
            QImageReader png(QStringLiteral(":/icons/tallyclock-%1.png").arg(size), "png");
            png.setAutoDetectImageFormat(false);
            sizes.addPixmap(QPixmap::fromImage(png.read()));
        }
        return sizes;
    }();
    return icon;
}

namespace {

// A caption with the minimise and close buttons; the window keeps its designed size,
// with a fixed single border on Windows (Qt gives it a sizing border otherwise).
constexpr Qt::WindowFlags captionButtons = Qt::Window | Qt::CustomizeWindowHint
    | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
    | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace

Form1::Form1(Desktop &desktop, PerformanceCounter &counter, SkinEngine &skinEngine,
    QStringList optionalFileFolders, QWidget *parent)
    : QWidget(parent, captionButtons)
    , m_desktop(desktop)
    , m_counter(counter)
    , m_skinEngine(skinEngine)
    , m_optionalFileFolders(std::move(optionalFileFolders))
{
    TimeDisplay::installAccessibility();
    buildControls();
    m_results = std::make_unique<ResultsList>(*ListView1);
    m_controller = std::make_unique<StopwatchController>(m_desktop, m_counter, *m_results,
        StopwatchControls{PushButton2, PushButton5, Label1, Timer1});
    m_actions = std::make_unique<ResultActions>(
        m_desktop, *m_results, m_pointer, m_exports, m_applicationTitle);
    wireControls();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setFixedSize(twipsToPixels(8040), twipsToPixels(6390));
    setWhiteBackground(this);
    setFont(arial(9));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    Frame1 = new QGroupBox(QStringLiteral("Timer"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 120, 7800, 1230));
    setWhiteBackground(Frame1);

    Label1 = new TimeDisplay(Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(120, 210, 7560, 885));
    Label1->setFont(arial(36));
    Label1->setAlignment(Qt::AlignCenter);
    setWhiteBackground(Label1);

    ListView1 = new ResultsView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(twips(120, 3015, 7800, 2265));
    ListView1->setFont(arial(9));
    ListView1->setAccessibleName(QStringLiteral("Results"));
    const QString listTip = QStringLiteral(
        "Double-click item to remove it. Move | line to right and out of window to "
        "reveal full names.");
    ListView1->setToolTip(listTip);
    ListView1->setAccessibleDescription(listTip);
    // Every colour of the list is its own, so that a skin recolouring the window does
    // not reach the list or the empty part of its header. The header and its viewport
    // get the palette too: under a style sheet they would take the application's
    // instead of inheriting the list's.
    QPalette listPalette = ListView1->palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            listPalette.setBrush(g, r, listPalette.brush(g, r));
        }
    }
    for (QWidget *part : {static_cast<QWidget *>(ListView1), ListView1->viewport(),
             static_cast<QWidget *>(ListView1->header()), ListView1->header()->viewport()})
        part->setPalette(listPalette);

    auto button = [this](const char *name, const char *caption, QRect place) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(place);
        b->setFont(arial(11.25));
        // A click leaves the focus where it was: Space after a click on Lap must
        // start or stop the watch, not press Lap again.
        b->setFocusPolicy(Qt::TabFocus);
        b->setAutoDefault(false);
        QPalette palette = b->palette();
        palette.setColor(QPalette::Button, Qt::white);
        b->setPalette(palette);
        return b;
    };
    PushButton2 = button("PushButton2", "Start (or press spacebar)", twips(120, 1485, 7800, 405));
    PushButton5 = button("PushButton5", "Lap (or press L)", twips(120, 1995, 7800, 405));
    PushButton1 = button("PushButton1", "Reset (or press backspace)", twips(120, 2505, 7800, 405));
    PushButton4 = button("PushButton4", "Save Results As Text File", twips(120, 5370, 3840, 405));
    PushButton13
        = button("PushButton13", "Save Results As Excel File", twips(4080, 5370, 3840, 405));
    PushButton3 = button("PushButton3", "Clear Results", twips(4080, 5880, 3840, 405));
    PushButton6 = button("PushButton6", "Copy Results To Clipboard", twips(120, 5880, 3840, 405));

    const QList<QWidget *> tabOrder = {ListView1, PushButton2, PushButton5, PushButton1,
        PushButton4, PushButton13, PushButton3, PushButton6};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    ListView1->setFocus(Qt::OtherFocusReason);
}

void Form1::wireControls()
{
    auto onClick = [this](QPushButton *b, auto handler) {
        connect(b, &QPushButton::clicked, this, [handler] { guardedSlot(handler); });
    };
    onClick(PushButton2, [this] { m_controller->PushButton2_Click(); });
    onClick(PushButton5, [this] { m_controller->PushButton5_Click(); });
    onClick(PushButton1, [this] { m_controller->PushButton1_Click(); });
    onClick(PushButton3, [this] { m_actions->PushButton3_Click(); });
    onClick(PushButton4, [this] { m_actions->PushButton4_Click(); });
    onClick(PushButton6, [this] { m_actions->PushButton6_Click(); });
    onClick(PushButton13, [this] { m_actions->PushButton13_Click(); });

    m_pointer.onChange([this](PointerSetting::Shape setting) { showPointer(setting); });

    // Key preview (the window sees each key before the focused control does) and the
    // pointer moves over the window's controls.
    qApp->installEventFilter(this);

    // Pointer moves over each control are its own; they do not reach the window.
    // Every part of the list (its rows, header, scroll bars) counts as the list.
    m_pointerAreas = {this, Frame1, Label1, ListView1, PushButton1, PushButton2, PushButton3,
        PushButton4, PushButton5, PushButton6, PushButton13};
    QList<QWidget *> tracked = m_pointerAreas;
    tracked += ListView1->findChildren<QWidget *>();
    for (QWidget *w : std::as_const(tracked)) {
        w->setMouseTracking(true);
        if (w != this)
            w->setAttribute(Qt::WA_NoMousePropagation);
    }
}

void Form1::Form_Load()
{
    TrappedHandler h(m_desktop, handlerLocation("Form_Load"));
    QString pointerFile;

    h.step(100, [&] { ApplySkin(*this, m_skinEngine, m_optionalFileFolders); });
    if (h.test(104, [&] {
            pointerFile = firstExisting(m_optionalFileFolders, QStringLiteral("HAND-M.CUR"));
            return !pointerFile.isEmpty();
        }))
        h.step(106, [&] { m_customPointer = loadCursorFile(pointerFile); });
    h.step(126, [&] { setWindowTitle(productName()); });
    h.step(126, [&] { setWindowIcon(applicationIcon()); });
    h.step(126, [&] { SetApplicationTitle(); });
    h.step(128, [&] { m_results->addColumnHeader(QStringLiteral("Result(s)")); });
    h.step(130, [&] { m_results->addColumnHeader(QStringLiteral("Result(s)")); });
    h.step(132, [&] { m_results->setColumnHeaderWidth(1, 4000); });
    h.step(134, [&] { m_results->setColumnHeaderWidth(2, 1); });
    h.step(136, [&] { m_controller->createElapsedTimer(); });
    h.step(138, [&] { m_controller->ElapsedTimer().Reset(); });
    h.step(140, [&] { m_controller->UpdateDisplay(); });
}

void Form1::SetApplicationTitle()
{
    m_applicationTitle = applicationTitleFor(productName());
}

void Form1::showCentred()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(QStyle::alignedRect(
            Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    show();
}

void Form1::Form_QueryUnload()
{
    TrappedHandler h(m_desktop, handlerLocation("Form_QueryUnload"));
    h.step(100, [&] { m_controller->releaseElapsedTimer(); });
}

void Form1::closeEvent(QCloseEvent *event)
{
    // A close request waits for an open box, as behind any modal box (Qt drops it
    // itself on X11 and Windows; Qt 6.4's Wayland client passes it on). The end of the
    // session does not wait.
    if (!m_sessionEnding && QApplication::activeModalWidget()) {
        event->ignore();
        return;
    }
    // Closing never asks and is never cancelled. From here on no tick runs and every
    // handler that is still waiting in a yield or a message box ends at once.
    guardedSlot([this] { Form_QueryUnload(); });
    Timer1->stop();
    m_desktop.beginEnding();
    qApp->removeEventFilter(this);
    event->accept();
    if (m_onEnded)
        m_onEnded();
}

void Form1::endSession()
{
    m_sessionEnding = true;
    if (!m_desktop.isEnding())
        close();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Only the first delivery, to the focused control (or the window when nothing
        // has the focus); a key passed on below is not a new press.
        auto *widget = qobject_cast<QWidget *>(watched);
        if (m_passingKeyOn || !widget || widget->window() != this || !isActiveWindow())
            break;
        QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (widget != first)
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        const int code = keyCode(key);
        if (!code)
            break;
        guardedSlot([&] { m_controller->Form_KeyDown(code, shiftState(key->modifiers())); });
        // The key goes on to the control that has the focus after the handler. Start/Stop
        // moves it to the list: the button that had it must not take a Space whose
        // release it would never see, and stay drawn pressed.
        QWidget *now = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (now == first)
            break;
        if (!m_desktop.isEnding() && now->window() == this) {
            const QScopedValueRollback passing(m_passingKeyOn, true);
            QKeyEvent passed(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                key->nativeVirtualKey(), key->nativeModifiers(), key->text(), key->isAutoRepeat(),
                key->count());
            QApplication::sendEvent(now, &passed);
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && ListView1->isAncestorOf(widget))
            widget = ListView1;
        if (!widget || !m_pointerAreas.contains(widget))
            break;
        // A button shows the hand, the rest the default pointer; neither replaces an
        // export's hourglass, except Start/Stop.
        auto *button = qobject_cast<QPushButton *>(widget);
        if (button == PushButton2 || m_pointer.value() != PointerSetting::Hourglass)
            m_pointer.set(button ? PointerSetting::Custom : PointerSetting::Default);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::showPointer(PointerSetting::Shape setting)
{
    switch (setting) {
    case PointerSetting::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case PointerSetting::Hourglass:
        setCursor(Qt::WaitCursor);
        break;
    case PointerSetting::Custom:
        setCursor(m_customPointer ? *m_customPointer : QCursor(Qt::PointingHandCursor));
        break;
    default:
        unsetCursor();
        break;
    }
}

} // namespace tallyclock
