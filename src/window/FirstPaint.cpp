#include "FirstPaint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace tallyclock {

namespace {

class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QWidget &window, std::function<void()> work)
        : QObject(&window)
        , m_work(std::move(work))
    {
        window.installEventFilter(this);
        QTimer::singleShot(1000, this, [this] { run(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Queued: the paint under way ends and is flushed first.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] { run(); });
        return QObject::eventFilter(watched, event);
    }

private:
    void run()
    {
        if (!m_work)
            return;
        const std::function<void()> work = std::exchange(m_work, nullptr);
        deleteLater();
        work();
    }

    std::function<void()> m_work;
};

} // namespace

void afterFirstPaint(QWidget &window, std::function<void()> work)
{
    new FirstPaintWatch(window, std::move(work));
}

} // namespace tallyclock
