#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tallyclock {

// Text in the system's ANSI code page, the 8-bit encoding in which the user's Windows
// editors save "ANSI" files: on Windows the process's ANSI code page; elsewhere the
// character set of the locale (LC_CTYPE). Where that names no 8-bit code page (a UTF-8
// or C locale, a UTF-8 ANSI code page) it is Windows-1252. Empty when the bytes are not
// text in it (a sequence that a multi-byte code page does not define).
std::optional<QString> fromAnsiCodePage(QByteArrayView bytes);

// Windows-1252 as Windows reads it: the five bytes it leaves undefined become the C1
// controls of the same number.
QString fromWindows1252(QByteArrayView bytes);

} // namespace tallyclock
