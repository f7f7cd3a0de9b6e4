#include "system/OptionalFile.h"

#include <QDir>
#include <QScopeGuard>

#include <windows.h>

namespace tallyclock {

namespace {

using optionalfile::cannotRead;

QString lastError()
{
    return qt_error_string(static_cast<int>(GetLastError()));
}

} // namespace

QByteArray readOptionalFile(const QString &path, qint64 maxBytes)
{
    // Opened for reading only, sharing everything, and with backup semantics so that a
    // folder opens too and is refused below with the same words as anything else that
    // is not a file. A pipe's server, a console or a device does not make this wait.
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw cannotRead(path, lastError());
    const auto closeFile = qScopeGuard([file] { CloseHandle(file); });
    // The kind is checked on what was opened, not on the name, which may change.
    SetLastError(NO_ERROR);
    const DWORD type = GetFileType(file);
    if (type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR)
        throw cannotRead(path, lastError());
    BY_HANDLE_FILE_INFORMATION info = {};
    if (type == FILE_TYPE_DISK && !GetFileInformationByHandle(file, &info))
        throw cannotRead(path, lastError());
    if (type != FILE_TYPE_DISK || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        throw cannotRead(path, QStringLiteral("not a regular file"));
    const qint64 size = (static_cast<qint64>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > maxBytes)
        throw optionalfile::tooLarge(path, maxBytes);
    return optionalfile::readAtMost(path, size, maxBytes, [&](char *buffer, qint64 room) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, static_cast<DWORD>(room), &got, nullptr))
            throw cannotRead(path, lastError());
        return static_cast<qint64>(got);
    });
}

} // namespace tallyclock
