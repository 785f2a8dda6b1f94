#pragma once

#include <QString>

namespace archive {

// Where the archive lives: BRISORA_ARCHIVE names the file ("off" turns archiving off);
// otherwise brisora/archive.sqlite under the user's data folder (XDG_DATA_HOME, by default
// ~/.local/share).
struct ArchiveLocation {
    bool enabled = true;
    QString path;

    static constexpr const char* kVariable = "BRISORA_ARCHIVE";

    // Reads the environment.
    static ArchiveLocation fromEnvironment();
    // The place without BRISORA_ARCHIVE.
    static QString defaultPath();
};

} // namespace archive
