#include "com/Guid.h"

#include <QHashFunctions>

namespace com {

namespace {

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `pos`; false if any is not a hex digit.
bool readHex(QStringView text, qsizetype pos, int digits, std::uint64_t& out) {
    out = 0;
    for (int i = 0; i < digits; ++i) {
        const int v = hexValue(text[pos + i]);
        if (v < 0)
            return false;
        out = (out << 4) | std::uint64_t(v);
    }
    return true;
}

} // namespace

bool Guid::parse(QStringView text, Guid& out) {
    if (text.size() == 38) {
        if (text.front() != u'{' || text.back() != u'}')
            return false;
        text = text.mid(1, 36);
    }
    if (text.size() != 36)
        return false;
    for (qsizetype dash : {8, 13, 18, 23}) {
        if (text[dash] != u'-')
            return false;
    }
    Guid g;
    std::uint64_t v = 0;
    if (!readHex(text, 0, 8, v))
        return false;
    g.data1 = std::uint32_t(v);
    if (!readHex(text, 9, 4, v))
        return false;
    g.data2 = std::uint16_t(v);
    if (!readHex(text, 14, 4, v))
        return false;
    g.data3 = std::uint16_t(v);
    static constexpr qsizetype bytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        if (!readHex(text, bytePos[i], 2, v))
            return false;
        g.data4[size_t(i)] = std::uint8_t(v);
    }
    out = g;
    return true;
}

Guid Guid::fromString(QStringView text) {
    Guid g;
    parse(text, g);
    return g;
}

QString Guid::toString() const {
    auto hex = [](std::uint64_t v, int width) {
        return QStringLiteral("%1").arg(v, width, 16, QLatin1Char('0')).toUpper();
    };
    QString s = QLatin1Char('{') + hex(data1, 8) + QLatin1Char('-') + hex(data2, 4) +
                QLatin1Char('-') + hex(data3, 4) + QLatin1Char('-');
    for (int i = 0; i < 8; ++i) {
        if (i == 2)
            s += QLatin1Char('-');
        s += hex(data4[size_t(i)], 2);
    }
    return s + QLatin1Char('}');
}

size_t qHash(const Guid& g, size_t seed) noexcept {
    return qHashMulti(seed, g.data1, g.data2, g.data3,
                      QByteArrayView(reinterpret_cast<const char*>(g.data4.data()), 8));
}

} // namespace com
