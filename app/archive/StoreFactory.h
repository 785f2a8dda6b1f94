#pragma once

#include "ArchiveLocation.h"
#include "ArchiveStore.h"

#include <memory>

namespace archive {

// The store for a location: an SQLite file for a path, PostgreSQL for a postgresql:// URL.
// Not opened yet.
std::unique_ptr<ArchiveStore> makeStore(const ArchiveLocation& where);

} // namespace archive
