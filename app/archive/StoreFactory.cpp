#include "StoreFactory.h"

#include "ArchiveDatabase.h"
#include "PostgresArchive.h"

namespace archive {

std::unique_ptr<ArchiveStore> makeStore(const ArchiveLocation& where) {
    if (where.server) {
        return std::make_unique<PostgresArchive>(where);
    }
    auto file = std::make_unique<ArchiveDatabase>(where.path);
    file->setStation(where.station);
    return file;
}

} // namespace archive
