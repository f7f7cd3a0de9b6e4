#pragma once

#include <QString>

namespace tallyclock {

// Message-box styles and answers, numbered as the program has always numbered them.
namespace MessageStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Exclamation = 48;
} // namespace MessageStyle

namespace MessageAnswer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MessageAnswer

// What the program asks of the desktop. The public calls are fixed here: they add
// the one rule every adapter must keep, that once the program is ending no call
// returns normally to a handler (it throws ProgramEnding instead), so no further
// step of an interrupted handler runs.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Shows a modal message box and returns the button pressed (MessageAnswer).
    int messageBox(const QString &text, int style, const QString &title);

    // Lets the waiting events run to their end, then returns.
    void yield();

    // The window is closing: from now on yields and message boxes throw ProgramEnding.
    void beginEnding() { m_ending = true; }
    bool isEnding() const { return m_ending; }
    void throwIfEnding() const;

protected:
    virtual int showMessageBox(const QString &text, int style, const QString &title) = 0;
    virtual void processPendingEvents() = 0;

private:
    bool m_ending = false;
};

} // namespace tallyclock
