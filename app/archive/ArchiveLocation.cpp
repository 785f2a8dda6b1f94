#include "ArchiveLocation.h"

#include <QDir>
#include <QStandardPaths>

namespace archive {

ArchiveLocation ArchiveLocation::fromEnvironment() {
    const QString value = qEnvironmentVariable(kVariable).trimmed();
    if (value.compare(QLatin1StringView("off"), Qt::CaseInsensitive) == 0) {
        return {false, {}};
    }
    if (!value.isEmpty()) {
        return {true, QDir::cleanPath(value)};
    }
    return {true, defaultPath()};
}

QString ArchiveLocation::defaultPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    }
    return QDir(base).filePath(QStringLiteral("brisora/archive.sqlite"));
}

} // namespace archive
