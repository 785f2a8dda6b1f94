#include "com/Guid.h"

#include <QHashFunctions>
#include <QUuid>

namespace com {

namespace {

QUuid toUuid(const Guid& g) {
    const auto& d = g.data4;
    return QUuid(g.data1, g.data2, g.data3, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
}

Guid fromUuid(const QUuid& u) {
    Guid g;
    g.data1 = u.data1;
    g.data2 = u.data2;
    g.data3 = u.data3;
    for (size_t i = 0; i < g.data4.size(); ++i)
        g.data4[i] = u.data4[i];
    return g;
}

// The written form without braces: 8-4-4-4-12 characters. QUuid reads the digits but is lenient
// about what surrounds them (one brace, trailing text), so the shape is checked here.
bool hasGuidShape(QStringView text) {
    if (text.size() != 36)
        return false;
    for (qsizetype dash : {8, 13, 18, 23}) {
        if (text[dash] != u'-')
            return false;
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
    if (!hasGuidShape(text))
        return false;
    const QUuid uuid = QUuid::fromString(text);
    // QUuid answers the null value both for bad digits and for the null GUID itself.
    if (uuid.isNull() && text != u"00000000-0000-0000-0000-000000000000")
        return false;
    out = fromUuid(uuid);
    return true;
}

Guid Guid::fromString(QStringView text) {
    Guid g;
    parse(text, g);
    return g;
}

QString Guid::toString() const {
    return toUuid(*this).toString(QUuid::WithBraces).toUpper();
}

size_t qHash(const Guid& g, size_t seed) noexcept {
    return qHash(toUuid(g), seed);
}

} // namespace com
