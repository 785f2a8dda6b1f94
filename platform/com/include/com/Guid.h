#pragma once

#include <QMetaType>
#include <QString>
#include <array>
#include <cstdint>

namespace com {

// A 128-bit class or interface identifier, written "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    // Parses "{8-4-4-4-12}" (braces optional, hex digits in either case). Returns false and leaves
    // `out` untouched for anything else.
    static bool parse(QStringView text, Guid& out);
    // Parses or returns the null GUID when the text is not a GUID.
    static Guid fromString(QStringView text);
    // Upper-case form with braces, as the registry stores it.
    QString toString() const;
    bool isNull() const { return *this == Guid{}; }

    friend bool operator==(const Guid&, const Guid&) = default;
    friend bool operator<(const Guid& a, const Guid& b) { return a.toString() < b.toString(); }
};

size_t qHash(const Guid& g, size_t seed = 0) noexcept;

using Clsid = Guid;
using Iid = Guid;

} // namespace com

Q_DECLARE_METATYPE(com::Guid)
