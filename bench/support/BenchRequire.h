// Set-up steps of a benchmark that must succeed: a benchmark built on a failed step would time
// the failure and report it as a speed.
#pragma once

#include <com/HResult.h>

#include <cstdio>
#include <cstdlib>

namespace bench {

inline void require(com::HRESULT hr, const char* step) {
    if (com::succeeded(hr))
        return;
    std::fprintf(stderr, "%s failed: %s\n", step, qPrintable(com::hresultName(hr)));
    std::abort();
}

} // namespace bench
