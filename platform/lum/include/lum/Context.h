// The library context a module selects before using the library.
#pragma once

namespace lum {

/// One per module (a static object is fine). It carries no state the caller must manage; it
/// lets the library tell modules apart.
class Context {
public:
    Context() = default;
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

} // namespace lum
