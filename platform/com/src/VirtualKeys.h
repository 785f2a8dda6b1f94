#pragma once

#include <Qt>
#include <cstdint>

namespace com {

// The virtual-key number of a Qt key (letters and digits as their upper-case character,
// F1 0x70, arrows 0x25..0x28, ...), 0 for a key without one.
std::int16_t virtualKeyOf(int qtKey);
// Shift state bits: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t shiftStateOf(Qt::KeyboardModifiers modifiers);
// Mouse button bits: 1 left, 2 right, 4 middle.
std::int16_t buttonBitsOf(Qt::MouseButtons buttons);

} // namespace com
