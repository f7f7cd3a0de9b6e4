#pragma once

#include <functional>

namespace tallyclock {

// The main window's pointer setting: which pointer shows over it. The hourglass also
// tells the rest of the window that an export holds the busy state.
class PointerSetting
{
public:
    static constexpr int Default = 0;
    static constexpr int Arrow = 1;
    static constexpr int Hourglass = 11;
    static constexpr int Custom = 99;

    int value() const { return m_value; }

    // Writes the setting (also when it already has that value) and shows the pointer.
    void set(int value)
    {
        m_value = value;
        if (m_apply)
            m_apply(value);
    }

    // How a setting becomes a pointer on screen; none in tests that only read it.
    void onChange(std::function<void(int)> apply) { m_apply = std::move(apply); }

private:
    int m_value = Default;
    std::function<void(int)> m_apply;
};

} // namespace tallyclock
