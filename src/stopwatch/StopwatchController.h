#pragma once

#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace tallyclock {

class Desktop;
class PerformanceCounter;
class ResultsList;
class clsElapsedTimer;

// The controls that the stopwatch reads and writes.
struct StopwatchControls
{
    QPushButton *PushButton2; // Start/Stop
    QPushButton *PushButton5; // Lap
    QLabel *Label1; // the time display
    QTimer *Timer1; // the display refresh
};

// Runs the stopwatch: Start/Stop, Lap and Reset with their keys, and the display
// refresh. It keeps no idle/running/paused state of its own: what a press means is
// read from the Start/Stop caption and the display text, as the user sees them.
class StopwatchController
{
public:
    static constexpr int refreshIntervalMs = 25;

    StopwatchController(Desktop &desktop, PerformanceCounter &counter, ResultsList &results,
        StopwatchControls controls);
    ~StopwatchController();

    // The window's one elapsed timer: created while loading, released on close.
    void createElapsedTimer();
    void releaseElapsedTimer();
    clsElapsedTimer &ElapsedTimer() const;
    bool hasElapsedTimer() const { return m_elapsedTimer != nullptr; }

    void PushButton2_Click(); // Start/Stop
    void PushButton5_Click(); // Lap
    void PushButton1_Click(); // Reset
    void Timer1_Timer(); // one refresh tick

    // Shows the elapsed timer's value and lets waiting events run twice.
    void UpdateDisplay();

    // The key codes of the shortcuts, as the program has always numbered them.
    enum KeyCode : int { KeyBackspace = 8, KeySpace = 32, KeyL = 76 };

    // Space, L and Backspace run their handlers whatever the shift state. Returns
    // whether the key was one of them.
    bool Form_KeyDown(int keyCode, int shift);

private:
    QString displayText() const;
    void enableTimer1();

    Desktop &m_desktop;
    PerformanceCounter &m_counter;
    ResultsList &m_results;
    StopwatchControls m_controls;
    std::unique_ptr<clsElapsedTimer> m_elapsedTimer;
    QString m_savedCaption;
    // A tick that is still running (in its yield or its error report) makes the
    // following ticks skip, so a failing refresh cannot stack a report per tick.
    bool m_tickRunning = false;
};

namespace StopwatchText {
inline QString startCaption()
{
    return QStringLiteral("Start (or press spacebar)");
}
inline QString stopCaption()
{
    return QStringLiteral("Stop (or press spacebar)");
}
inline QString zero()
{
    return QStringLiteral("0.000");
}
} // namespace StopwatchText

} // namespace tallyclock
