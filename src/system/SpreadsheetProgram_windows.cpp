#include "SpreadsheetProgram.h"

#include "AssociationLaunch.h"

#include <QDir>

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
    wchar_t executable[MAX_PATH * 4] = {};
    DWORD size = static_cast<DWORD>(std::size(executable));
    // "Ignore unknown": no association gives a failure, not the "Open with" program.
    if (AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE,
            L".xlsx", L"open", executable, &size)
        != S_OK)
        return std::nullopt;
    const QString found = QString::fromWCharArray(executable).trimmed();
    if (found.isEmpty())
        return std::nullopt;
    return launchForAssociation(QDir::toNativeSeparators(found));
}

} // namespace tallyclock
