#include "FileSystem.h"

#include <QStandardPaths>

namespace tallyclock {

QString userFilesFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QStringLiteral("/tallyclock");
}

} // namespace tallyclock
