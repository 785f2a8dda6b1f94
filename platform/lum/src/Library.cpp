#include "Library.h"

namespace lum {

Library& Library::instance() {
    static Library library;
    return library;
}

Library::~Library() {
    processVars.forEach([](ProcessVarHandle, ProcessVar* pv) { delete pv; });
}

} // namespace lum
