#pragma once

#include "CommError.h"

#include <QString>

#include <optional>

namespace comm {

// Line settings, as written in a settings string "speed,parity,data bits,stop bits", for
// example "9600,N,8,1". Parity is one of N, E, O, M, S (none, even, odd, mark, space); data
// bits 5 to 8; stop bits 1, 1.5 or 2.
struct SerialSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    qint32 baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    // Parses a settings string; nothing when it is malformed (with the reason in *why).
    static std::optional<SerialSettings> parse(const QString& text, QString* why = nullptr);
    QString toString() const;

    bool operator==(const SerialSettings&) const = default;
};

} // namespace comm
