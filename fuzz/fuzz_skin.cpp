// libFuzzer target: the skin loader (the encodings, our reading of the sheet and its
// bounds) and Qt's style sheet parser and polish behind it, on a small tree of the
// window's kinds of controls. The skin's folder does not exist: images are only named.
#include "core/Failure.h"
#include "skin/SkinEngine.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <cstdint>
#include <cstdlib>

namespace {
QWidget *window = nullptr;
const QString skinFolder = QStringLiteral("/nonexistent-tallyclock-skins/x");

QString judgedAgain(const QString &sheet)
{
    try {
        return tallyclock::boundedStyleSheet(sheet, skinFolder);
    } catch (const tallyclock::Failure &) {
        return QStringLiteral("(refused)");
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication application(*argc, *argv);
    window = new QWidget;
    window->setObjectName(QStringLiteral("Form1"));
    window->setFixedSize(536, 426);
    auto *frame = new QGroupBox(QStringLiteral("Timer"), window);
    new QLabel(QStringLiteral("0.000"), frame);
    new QPushButton(QStringLiteral("Start (or press spacebar)"), window);
    new QTreeView(window);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const QString sheet = tallyclock::skinStyleSheet(bytes, skinFolder);
        // Qt reads the sheet it is handed as the one that was judged: judged again (where
        // no image name was made absolute), it is the same.
        if (!sheet.contains(QLatin1String("url(")) && judgedAgain(sheet) != sheet)
            std::abort();
        window->setStyleSheet(sheet);
        for (QWidget *child : window->findChildren<QWidget *>())
            child->ensurePolished();
        window->ensurePolished();
    } catch (const tallyclock::Failure &) {
        // Refused: report 100 at start-up.
    }
    window->setStyleSheet(QString());
    return 0;
}
