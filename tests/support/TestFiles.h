#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Files the tests read back and programs the build puts beside them.
namespace testsupport {

// The whole content of a file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The path of a program, module or folder the build writes into its output folder.
inline QString built(const QString& name) {
    return QDir(qEnvironmentVariable("BRISORA_BIN_DIR")).filePath(name);
}

} // namespace testsupport
