#pragma once

#include <QByteArray>

// Station frames as they travel on the line, for tests that play the station.
namespace testsupport {

// Seven bytes followed by their check sum.
inline QByteArray withSum(QByteArray seven) {
    int sum = 0;
    for (const char c : seven) {
        sum += static_cast<quint8>(c);
    }
    return seven + static_cast<char>(sum & 0xFF);
}

// The station's reply carrying a reading.
inline QByteArray reply(int raw) {
    return withSum(QByteArray("\x40\x00\x01\x40\x02", 5) + static_cast<char>(raw >> 8) +
                   static_cast<char>(raw & 0xFF));
}

// The station's answer to an unlock message.
inline QByteArray errorFrame() {
    return withSum(QByteArray("\x40\x00\x01\xFF\x02\x00\x00", 7));
}

} // namespace testsupport
