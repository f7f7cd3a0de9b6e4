#include "AssociationLaunch.h"

namespace tallyclock {

SpreadsheetLaunch launchForAssociation(const QString &executable)
{
    // The file name, whichever separator the registry used.
    const QString program
        = executable.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1).toLower();
    if (program == u"excel.exe")
        return {executable, {QStringLiteral("/t")}, true};
    if (program == u"soffice.exe" || program == u"soffice.bin" || program == u"scalc.exe")
        return {executable, {QStringLiteral("-n")}, true};
    return {};
}

} // namespace tallyclock
