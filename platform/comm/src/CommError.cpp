#include "comm/CommError.h"

namespace comm {

QString describe(CommError error) {
    switch (error) {
    case CommError::None:
        return QStringLiteral("no error");
    case CommError::InvalidPortNumber:
        return QStringLiteral("invalid port number");
    case CommError::InvalidSettings:
        return QStringLiteral("invalid settings");
    case CommError::UnsupportedSettings:
        return QStringLiteral("settings not supported by the device");
    case CommError::PortAlreadyOpen:
        return QStringLiteral("port already open");
    case CommError::PortNotOpen:
        return QStringLiteral("port not open");
    case CommError::DeviceNotFound:
        return QStringLiteral("device not found");
    case CommError::PermissionDenied:
        return QStringLiteral("permission denied");
    case CommError::DeviceBusy:
        return QStringLiteral("device in use");
    case CommError::DeviceLost:
        return QStringLiteral("device lost");
    case CommError::WriteFailed:
        return QStringLiteral("write failed");
    case CommError::Other:
        break;
    }
    return QStringLiteral("serial port error");
}

} // namespace comm
