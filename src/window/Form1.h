#pragma once

#include "resultactions/ExportActivity.h"
#include "resultactions/ResultActions.h"
#include "results/ResultsList.h"
#include "skin/PointerSetting.h"
#include "stopwatch/StopwatchController.h"

#include <QCursor>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QGroupBox;
class QPushButton;
class QTimer;

namespace tallyclock {

class Desktop;
class PerformanceCounter;
class ResultsView;
class SkinEngine;
class TimeDisplay;

// The program's icon, from small images read when first drawn.
QIcon applicationIcon();

// The main window. It lays out the controls, runs the load and close sequences,
// routes keys, clicks and pointer moves to their handlers and holds the pointer
// setting; the work itself is done by the controller and the exporters.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // `optionalFileFolders` may hold the pointer image and the skin; the first folder
    // that has a file wins (the program's folder, then the user's).
    Form1(Desktop &desktop, PerformanceCounter &counter, SkinEngine &skinEngine,
        QStringList optionalFileFolders, QWidget *parent = nullptr);
    ~Form1() override;

    // Runs once before the window is first shown.
    void Form_Load();
    // Shows the window centred on its screen.
    void showCentred();

    // The user's session is ending: the window closes at once, also while a box is open
    // (a close request otherwise waits for the box).
    void endSession();
    // Called once the window has closed and the program should end.
    void setOnEnded(std::function<void()> onEnded) { m_onEnded = std::move(onEnded); }

    // What tests and the desktop read of the window. The controls are its children,
    // found by their design names (findChild<QPushButton *>("PushButton2")).
    const QString &applicationTitle() const { return m_applicationTitle; }
    PointerSetting &pointer() { return m_pointer; }
    bool hasCustomPointer() const { return m_customPointer.has_value(); }
    StopwatchController &controller() { return *m_controller; }
    const ResultsList &results() const { return *m_results; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void wireControls();
    void Form_QueryUnload();
    // The title of message boxes that name none of their own ("Tallyclock").
    void SetApplicationTitle();
    void showPointer(PointerSetting::Shape setting);

    // The controls, under their design names; children of the window.
    QGroupBox *Frame1 = nullptr;
    TimeDisplay *Label1 = nullptr;
    ResultsView *ListView1 = nullptr;
    QPushButton *PushButton2 = nullptr;
    QPushButton *PushButton5 = nullptr;
    QPushButton *PushButton1 = nullptr;
    QPushButton *PushButton4 = nullptr;
    QPushButton *PushButton13 = nullptr;
    QPushButton *PushButton3 = nullptr;
    QPushButton *PushButton6 = nullptr;
    QTimer *Timer1 = nullptr;

    Desktop &m_desktop;
    PerformanceCounter &m_counter;
    SkinEngine &m_skinEngine;
    QStringList m_optionalFileFolders;
    QString m_applicationTitle;
    PointerSetting m_pointer;
    std::optional<QCursor> m_customPointer;
    std::unique_ptr<ResultsList> m_results;
    std::unique_ptr<StopwatchController> m_controller;
    ExportActivity m_exports;
    std::unique_ptr<ResultActions> m_actions;
    std::function<void()> m_onEnded;
    // The window and the controls whose pointer moves switch the pointer.
    QList<QWidget *> m_pointerAreas;
    // A shortcut key is being passed on to the control that took the focus.
    bool m_passingKeyOn = false;
    bool m_sessionEnding = false;
};

} // namespace tallyclock
