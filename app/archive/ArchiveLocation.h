#pragma once

#include <QString>

namespace archive {

// Where the archive lives. A plain path names an SQLite file; a URL
// postgresql://user@host:port/database?station=NAME&sslmode=MODE names a PostgreSQL database
// holding many stations. The password never comes in the URL: libpq reads it from its
// password file (~/.pgpass or PGPASSFILE). BRISORA_ARCHIVE gives the place ("off" turns
// archiving off); otherwise brisora/archive.sqlite under the user's data folder
// (XDG_DATA_HOME, by default ~/.local/share).
struct ArchiveLocation {
    bool enabled = true;
    // The file; for a server, the URL as messages show it.
    QString path;
    bool server = false;
    QString host; // empty: libpq's default (its local socket)
    int port = 0; // 0: libpq's default
    QString user;
    QString database;
    QString sslMode;
    QString station; // empty: the only one there (reading) or this machine's name (writing)
    // Why the value cannot be used (empty when it can); it never repeats a password.
    QString error;

    static constexpr const char* kVariable = "BRISORA_ARCHIVE";

    // Reads one value (the variable, brisora-archive's --archive, the service's archive key).
    static ArchiveLocation parse(const QString& value);
    // Reads the environment.
    static ArchiveLocation fromEnvironment();
    // The place without BRISORA_ARCHIVE.
    static QString defaultPath();
    // The station a writer names when the URL names none.
    static QString defaultStation();
};

} // namespace archive
