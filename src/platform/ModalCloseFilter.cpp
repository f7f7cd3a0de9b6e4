#include "ModalCloseFilter.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

// The hook into the window system's event queue is Qt's own private interface; it
// has kept this shape since Qt 5 and is the one place that sees a close request
// before Qt drops it.
#include <qpa/qwindowsysteminterface_p.h>

namespace tallyclock {

class ModalCloseFilter::Handler final : public QWindowSystemEventHandler
{
public:
    explicit Handler(QWidget &window)
        : m_window(&window)
    {
        QWindowSystemInterfacePrivate::installWindowSystemEventHandler(this);
    }
    ~Handler() override { QWindowSystemInterfacePrivate::removeWindowSystemEventhandler(this); }
    Handler(const Handler &) = delete;
    Handler &operator=(const Handler &) = delete;

    bool sendEvent(QWindowSystemInterfacePrivate::WindowSystemEvent *event) override
    {
        if (event->type == QWindowSystemInterfacePrivate::Close && m_window) {
            const auto *close = static_cast<QWindowSystemInterfacePrivate::CloseEvent *>(event);
            QWindow *modal = QGuiApplication::modalWindow();
            // Without a modal dialog Qt delivers the close request itself.
            if (close->window && close->window == m_window->windowHandle() && modal
                && modal != close->window) {
                QMetaObject::invokeMethod(m_window, &QWidget::close, Qt::QueuedConnection);
                return true;
            }
        }
        return QWindowSystemEventHandler::sendEvent(event);
    }

private:
    QPointer<QWidget> m_window;
};

ModalCloseFilter::ModalCloseFilter(QWidget &window)
    : m_handler(std::make_unique<Handler>(window))
{ }

ModalCloseFilter::~ModalCloseFilter() = default;

} // namespace tallyclock
