#include "system/AnsiCodePage.h"

#include <windows.h>

#include <limits>

namespace tallyclock {

std::optional<QString> fromAnsiCodePage(QByteArrayView bytes)
{
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8 || bytes.isEmpty() || bytes.size() > std::numeric_limits<int>::max())
        return fromWindows1252(bytes);
    const int size = static_cast<int>(bytes.size());
    const int length
        = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    QString text(length, Qt::Uninitialized);
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
            reinterpret_cast<wchar_t *>(text.data()), length)
        != length)
        return std::nullopt;
    return text;
}

} // namespace tallyclock
