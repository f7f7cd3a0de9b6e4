#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>

#include <cstdint>

class QWidget;

namespace tallyclock {

// Lets the window manager's close button end the program also while a message box
// is open. Qt drops a close request for a window that a modal box blocks; on X11 this
// filter sees the request first and closes the window itself. Elsewhere it does
// nothing.
class ModalCloseFilter final : public QAbstractNativeEventFilter
{
public:
    explicit ModalCloseFilter(QWidget &window);
    ~ModalCloseFilter() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    QPointer<QWidget> m_window;
    std::uint32_t m_protocols = 0;
    std::uint32_t m_deleteWindow = 0;
};

} // namespace tallyclock
