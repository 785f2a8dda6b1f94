#include "VirtualKeys.h"

#include <array>
#include <utility>

namespace com {

std::int16_t virtualKeyOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return std::int16_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return std::int16_t(0x70 + (key - Qt::Key_F1));
    static constexpr std::array<std::pair<int, std::int16_t>, 20> table{{
        {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},    {Qt::Key_Return, 0x0D},
        {Qt::Key_Enter, 0x0D},     {Qt::Key_Shift, 0x10},  {Qt::Key_Control, 0x11},
        {Qt::Key_Alt, 0x12},       {Qt::Key_Pause, 0x13},  {Qt::Key_Escape, 0x1B},
        {Qt::Key_Space, 0x20},     {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22},
        {Qt::Key_End, 0x23},       {Qt::Key_Home, 0x24},   {Qt::Key_Left, 0x25},
        {Qt::Key_Up, 0x26},        {Qt::Key_Right, 0x27},  {Qt::Key_Down, 0x28},
        {Qt::Key_Insert, 0x2D},    {Qt::Key_Delete, 0x2E},
    }};
    for (const auto& [qt, vk] : table) {
        if (qt == key)
            return vk;
    }
    return 0;
}

std::int16_t shiftStateOf(Qt::KeyboardModifiers m) {
    return std::int16_t((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                        (m & Qt::AltModifier ? 4 : 0));
}

std::int16_t buttonBitsOf(Qt::MouseButtons b) {
    return std::int16_t((b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
                        (b & Qt::MiddleButton ? 4 : 0));
}

} // namespace com
