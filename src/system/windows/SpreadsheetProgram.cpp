#include "system/SpreadsheetProgram.h"

#include "system/AssociationLaunch.h"

#include <QDir>

#include <iterator>

#include <shlwapi.h>
#include <windows.h>

namespace tallyclock {

// The executable that the shell starts to open a .xlsx file, from the user's and the
// machine's file associations; none when there is no association.
std::optional<SpreadsheetLaunch> findSpreadsheetProgram(
    const std::shared_ptr<std::atomic_bool> &stop)
{
    if (stop->load())
        return std::nullopt;
    // "Ignore unknown": no association gives a failure, not the "Open with" program.
    constexpr ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE;
    wchar_t executable[MAX_PATH * 4] = {};
    DWORD size = static_cast<DWORD>(std::size(executable));
    if (AssocQueryStringW(flags, ASSOCSTR_EXECUTABLE, L".xlsx", L"open", executable, &size) == S_OK
        && executable[0] != L'\0')
        return launchForAssociation(
            QDir::toNativeSeparators(QString::fromWCharArray(executable).trimmed()));
    // A handler without an executable of its own (a packaged app): only the shell knows
    // how to start it.
    DWORD length = 0;
    if (AssocQueryStringW(flags, ASSOCSTR_COMMAND, L".xlsx", L"open", nullptr, &length) == S_FALSE)
        return SpreadsheetLaunch{};
    return std::nullopt;
}

} // namespace tallyclock
