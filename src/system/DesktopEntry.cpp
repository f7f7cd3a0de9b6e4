#include "DesktopEntry.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tallyclock {

QStringList splitExec(const QString &exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < exec.size()) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inArgument = true;
        } else if (c == u' ' || c == u'\t') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;

    static const QRegularExpression fieldCode(QStringLiteral("^%[fFuUdDnNickvm]$"));
    arguments.removeIf(
        [](const QString &argument) { return fieldCode.match(argument).hasMatch(); });
    return arguments.replaceInStrings(QStringLiteral("%%"), QStringLiteral("%"));
}

QString desktopEntryExec(const QByteArray &desktopFile)
{
    bool inEntry = false;
    for (const QByteArray &raw : desktopFile.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
        } else if (inEntry && line.startsWith("Exec")) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0 && line.left(equals).trimmed() == "Exec")
                return QString::fromUtf8(line.mid(equals + 1).trimmed());
        }
    }
    return QString();
}

SpreadsheetLaunch launchForExec(const QString &exec)
{
    const QStringList arguments = splitExec(exec);
    if (arguments.isEmpty())
        return {};
    static const QRegularExpression libreOffice(
        QStringLiteral("^(soffice|libreoffice|localc|loffice)(\\.bin)?$"));
    const QString program = QFileInfo(arguments.first()).fileName();
    if (!libreOffice.match(program).hasMatch())
        return {};
    return {arguments.first(), arguments.mid(1) << QStringLiteral("-n"), true};
}

} // namespace tallyclock
