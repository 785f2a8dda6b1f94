#include "Library.h"

namespace lum {

Library& Library::instance() {
    static Library library;
    return library;
}

// The process variables still open go with their table.
Library::~Library() = default;

} // namespace lum
