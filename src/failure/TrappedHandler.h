#pragma once

#include "core/Failure.h"

#include <QString>

#include <exception>
#include <utility>

namespace tallyclock {

class Desktop;

// One call of a handler that numbers its steps. A step that fails is reported with
// the handler's location and the step's number, and the handler goes on with its
// next step; nothing escapes. ProgramEnding is not a failure: it passes through
// unreported, and so does every step after the window has started to close.
class TrappedHandler
{
public:
    TrappedHandler(Desktop &desktop, QString location);

    // Runs one numbered statement. Returns false when it failed (and was reported).
    template<class Statement> bool step(int line, Statement &&statement)
    {
        enter(line);
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (...) {
            absorb(std::current_exception());
            return false;
        }
    }

    // Runs a numbered test. A test that fails is reported and counts as held, so the
    // statements it governs run next.
    template<class Condition> bool test(int line, Condition &&condition)
    {
        enter(line);
        try {
            return std::forward<Condition>(condition)();
        } catch (...) {
            absorb(std::current_exception());
            return true;
        }
    }

    // A counted loop from 1 to the count that `count` returns, read once at the head.
    // When the head fails the body is entered once with the counter not set (0).
    template<class Count, class Body> void forLoop(int line, Count &&count, Body &&body)
    {
        int last = 0;
        if (!step(line, [&] { last = std::forward<Count>(count)(); })) {
            body(0);
            return;
        }
        for (int i = 1; i <= last; ++i)
            body(i);
    }

private:
    void enter(int line);
    void absorb(std::exception_ptr failure);

    Desktop &m_desktop;
    QString m_location;
    int m_line = 0;
};

void guardedSlotFailure(std::exception_ptr failure) noexcept;

// Runs a slot body so that no exception reaches Qt: ProgramEnding ends the handler
// quietly, and anything else (which trapped handlers never let out) is dropped with
// a warning rather than unwinding through the event loop.
template<class Body> void guardedSlot(Body &&body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (...) {
        guardedSlotFailure(std::current_exception());
    }
}

} // namespace tallyclock
