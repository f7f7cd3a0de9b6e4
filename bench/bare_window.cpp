// The yardstick for the program metrics: a bare Qt 6 window of the same size with
// one label, which repaints its text every 25 ms when started with --tick.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label;
    label.setFixedSize(536, 426);
    label.setAlignment(Qt::AlignCenter);
    label.setText(QStringLiteral("0.000"));
    QElapsedTimer clock;
    QTimer tick;
    if (app.arguments().contains(QStringLiteral("--tick"))) {
        clock.start();
        QObject::connect(&tick, &QTimer::timeout,
            [&] { label.setText(QString::number(clock.elapsed() / 1000.0, 'f', 3)); });
        tick.start(25);
    }
    label.show();
    return app.exec();
}
