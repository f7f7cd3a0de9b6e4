#include "StopwatchController.h"

#include "core/Desktop.h"
#include "core/Failure.h"
#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "results/ResultsList.h"
#include "timing/DisplayFormat.h"
#include "timing/clsElapsedTimer.h"

#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

#include <optional>

namespace tallyclock {

namespace {

// A new entry is only usable if its add step worked; otherwise its later steps fail
// and are reported one by one, as every failed step is.
ResultEntry &entryOrFail(std::optional<ResultEntry> &entry)
{
    if (!entry)
        throw failures::objectNotSet();
    return *entry;
}

} // namespace

StopwatchController::StopwatchController(
    Desktop &desktop, PerformanceCounter &counter, ResultsList &results, StopwatchControls controls)
    : m_desktop(desktop)
    , m_counter(counter)
    , m_results(results)
    , m_controls(controls)
{
    m_controls.Timer1->setInterval(refreshIntervalMs);
    m_controls.Timer1->setTimerType(Qt::PreciseTimer);
    m_controls.Timer1->stop();
    QObject::connect(m_controls.Timer1, &QTimer::timeout, m_controls.Timer1,
        [this] { guardedSlot([this] { Timer1_Timer(); }); });
}

StopwatchController::~StopwatchController() = default;

void StopwatchController::createElapsedTimer()
{
    m_elapsedTimer = std::make_unique<clsElapsedTimer>(m_counter);
}

void StopwatchController::releaseElapsedTimer()
{
    m_elapsedTimer.reset();
}

clsElapsedTimer &StopwatchController::ElapsedTimer() const
{
    if (!m_elapsedTimer)
        throw failures::objectNotSet();
    return *m_elapsedTimer;
}

QString StopwatchController::displayText() const
{
    return m_controls.Label1->text();
}

void StopwatchController::UpdateDisplay()
{
    const double seconds = ElapsedTimer().Elapsed();
    m_controls.Label1->setText(formatDisplay(seconds));
    m_desktop.yield();
    m_desktop.yield();
}

void StopwatchController::enableTimer1()
{
    // Enabling a running timer leaves its period alone: Start/Stop while counting
    // must not shift the refresh ticks.
    if (!m_controls.Timer1->isActive())
        m_controls.Timer1->start();
}

void StopwatchController::Timer1_Timer()
{
    if (m_tickRunning)
        return;
    const QScopedValueRollback running(m_tickRunning, true);

    TrappedHandler h(m_desktop, handlerLocation("Timer1"));
    h.step(100, [&] { m_desktop.yield(); });
    h.step(102, [&] { UpdateDisplay(); });
}

void StopwatchController::PushButton2_Click()
{
    TrappedHandler h(m_desktop, handlerLocation("PushButton2_Click"));
    QPushButton *startStop = m_controls.PushButton2;
    std::optional<ResultEntry> entry;

    if (h.test(100, [&] { return startStop->text() != StopwatchText::stopCaption(); })) {
        h.step(102, [&] { m_savedCaption = startStop->text(); });
        h.step(104, [&] { startStop->setText(StopwatchText::stopCaption()); });
        h.step(106, [&] { m_controls.PushButton5->setEnabled(true); });
        if (h.test(108, [&] { return displayText() == StopwatchText::zero(); })) {
            h.step(110, [&] {
                entry = m_results.addItem(QStringLiteral("Timer started at ") + displayText());
            });
            h.step(112, [&] { entryOrFail(entry).setSubItems(1, displayText()); });
        } else {
            h.step(114, [&] {
                entry = m_results.addItem(QStringLiteral("Timer resumed at ") + displayText());
            });
            h.step(116, [&] { entryOrFail(entry).setSubItems(1, displayText()); });
        }
        h.step(118, [&] { ElapsedTimer().Start(); });
        h.step(120, [&] { enableTimer1(); });
    } else {
        h.step(122, [&] { startStop->setText(m_savedCaption); });
        h.step(124, [&] { m_controls.PushButton5->setEnabled(false); });
        h.step(126, [&] { ElapsedTimer().StopTimer(); });
        h.step(128, [&] { m_controls.Timer1->stop(); });
        h.step(130, [&] { UpdateDisplay(); });
        h.step(132, [&] {
            entry = m_results.addItem(QStringLiteral("Timer stopped at ") + displayText());
        });
        h.step(134, [&] { entryOrFail(entry).setSubItems(1, displayText()); });
    }
    h.step(136, [&] { entryOrFail(entry).setChecked(true); });
    h.step(138, [&] { entryOrFail(entry).EnsureVisible(); });
    h.step(140, [&] { m_results.SetFocus(); });
}

void StopwatchController::PushButton5_Click()
{
    TrappedHandler h(m_desktop, handlerLocation("PushButton5_Click"));
    std::optional<ResultEntry> entry;

    if (h.test(100, [&] { return displayText() == StopwatchText::zero(); })) {
        h.step(102, [&] { ElapsedTimer().Start(); });
        h.step(104, [&] { m_controls.Timer1->stop(); });
        h.step(106,
            [&] { entry = m_results.addItem(QStringLiteral("Lap started at ") + displayText()); });
        h.step(108, [&] { entryOrFail(entry).setSubItems(1, displayText()); });
        // Restarting the timer starts its 25 ms period again from here.
        h.step(110, [&] { enableTimer1(); });
    } else {
        h.step(112, [&] { m_controls.Timer1->stop(); });
        h.step(114, [&] { UpdateDisplay(); });
        h.step(116,
            [&] { entry = m_results.addItem(QStringLiteral("Timer Lapsed at ") + displayText()); });
        h.step(118, [&] { entryOrFail(entry).setSubItems(1, displayText()); });
        h.step(120, [&] { enableTimer1(); });
        // The next lap begins at zero.
        h.step(122, [&] { ElapsedTimer().Reset(); });
        h.step(124, [&] { ElapsedTimer().Start(); });
    }
    h.step(126, [&] { entryOrFail(entry).setChecked(true); });
    h.step(128, [&] { entryOrFail(entry).EnsureVisible(); });
}

void StopwatchController::PushButton1_Click()
{
    TrappedHandler h(m_desktop, handlerLocation("PushButton1_Click"));
    std::optional<ResultEntry> entry;

    h.step(100, [&] { ElapsedTimer().Reset(); });
    h.step(102, [&] { UpdateDisplay(); });
    h.step(104, [&] { m_controls.Timer1->stop(); });
    h.step(106, [&] { m_controls.PushButton2->setText(StopwatchText::startCaption()); });
    h.step(
        108, [&] { entry = m_results.addItem(QStringLiteral("Timer Reset to ") + displayText()); });
    h.step(110, [&] { entryOrFail(entry).setSubItems(1, displayText()); });
    h.step(112, [&] { entryOrFail(entry).setChecked(true); });
    h.step(114, [&] { entryOrFail(entry).EnsureVisible(); });
}

bool StopwatchController::Form_KeyDown(int keyCode, int /*shift*/)
{
    switch (keyCode) {
    case KeySpace:
        PushButton2_Click();
        return true;
    case KeyL:
        PushButton5_Click();
        return true;
    case KeyBackspace:
        PushButton1_Click();
        return true;
    default:
        return false;
    }
}

} // namespace tallyclock
