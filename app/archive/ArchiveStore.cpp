#include "ArchiveStore.h"

namespace archive {

ArchiveStore::~ArchiveStore() = default;

} // namespace archive
