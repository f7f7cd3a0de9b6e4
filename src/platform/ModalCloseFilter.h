#pragma once

#include <memory>

class QWidget;

namespace tallyclock {

// Lets the window manager's close button (or the compositor's close request) end the
// program also while a message box or the save dialog is open. Qt drops a close
// request for a window that a modal dialog blocks, on every platform; this filter sees
// the window system's events before Qt handles them and closes the window itself.
class ModalCloseFilter final
{
public:
    explicit ModalCloseFilter(QWidget &window);
    ~ModalCloseFilter();
    ModalCloseFilter(const ModalCloseFilter &) = delete;
    ModalCloseFilter &operator=(const ModalCloseFilter &) = delete;

private:
    class Handler;
    std::unique_ptr<Handler> m_handler;
};

} // namespace tallyclock
