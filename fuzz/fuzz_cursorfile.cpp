// libFuzzer target: the pointer-image loader (our directory-entry parser and Qt's
// image reader behind it) on arbitrary bytes.
#include "core/Failure.h"
#include "skin/CursorFile.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const QCursor cursor = tallyclock::cursorFromBytes(bytes);
        (void)cursor.hotSpot();
    } catch (const tallyclock::Failure &) {
        // Refused: a report at start-up.
    }
    return 0;
}
