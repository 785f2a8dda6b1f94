#pragma once

#include <QString>

namespace comm {

// Outcome of a serial-port operation. Failures are returned as codes, never thrown.
enum class CommError {
    None,
    InvalidPortNumber,   // port numbers start at 1
    InvalidSettings,     // the settings string is malformed or out of range
    UnsupportedSettings, // well formed, but the device refused them
    PortAlreadyOpen,     // the operation needs the port closed
    PortNotOpen,         // the operation needs the port open
    DeviceNotFound,      // no such device
    PermissionDenied,    // the device may not be opened by this user
    DeviceBusy,          // another program holds the device
    DeviceLost,          // the device went away while open
    WriteFailed,
    Other,
};

// Short English description of a code, for logs.
QString describe(CommError error);

} // namespace comm
