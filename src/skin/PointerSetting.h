#pragma once

#include <functional>

namespace tallyclock {

// The main window's pointer setting: which pointer shows over it. The hourglass also
// tells the rest of the window that an export holds the busy state.
class PointerSetting
{
public:
    // The settings the program writes, numbered as it has always numbered them.
    enum Shape : int {
        Default = 0, // the pointer of whatever lies under it
        Arrow = 1,
        Hourglass = 11, // also: an export is running
        Custom = 99, // the image from HAND-M.CUR, or the pointing hand
    };

    // The setting as the program reads it.
    int value() const { return m_value; }

    // Writes the setting (also when it already has that value) and shows the pointer.
    void set(Shape value)
    {
        m_value = value;
        if (m_apply)
            m_apply(value);
    }

    // How a setting becomes a pointer on screen; none in tests that only read it.
    void onChange(std::function<void(Shape)> apply) { m_apply = std::move(apply); }

private:
    Shape m_value = Default;
    std::function<void(Shape)> m_apply;
};

} // namespace tallyclock
