#pragma once

namespace tallyclock {

// Whether a text save or a spreadsheet export is under way. Clear Results refuses
// while one is, whatever the pointer shows (a move over Start/Stop replaces the
// hourglass in the middle of an export).
class ExportActivity
{
public:
    bool isRunning() const { return m_running > 0; }

    class Scope
    {
    public:
        explicit Scope(ExportActivity &activity)
            : m_activity(activity)
        {
            ++m_activity.m_running;
        }
        ~Scope() { --m_activity.m_running; }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        ExportActivity &m_activity;
    };

private:
    int m_running = 0;
};

} // namespace tallyclock
