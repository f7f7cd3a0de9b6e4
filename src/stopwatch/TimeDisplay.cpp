#include "TimeDisplay.h"

#include <QAccessibleWidget>

namespace tallyclock {

namespace {

class AccessibleTimeDisplay final : public QAccessibleWidget
{
public:
    explicit AccessibleTimeDisplay(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text t) const override
    {
        const QString time = static_cast<const QLabel *>(widget())->text();
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName() + QStringLiteral(" ") + time;
        case QAccessible::Value:
            return time;
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface *timeDisplayFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("tallyclock::TimeDisplay") && object && object->isWidgetType())
        return new AccessibleTimeDisplay(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

TimeDisplay::TimeDisplay(QWidget *parent)
    : QLabel(parent)
{
    // A fixed name keeps QLabel from announcing each new text.
    setAccessibleName(QStringLiteral("Elapsed seconds"));
}

void TimeDisplay::installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(timeDisplayFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace tallyclock
