#include "comm/SerialSettings.h"

#include <QStringList>

namespace comm {

namespace {

std::optional<SerialSettings::Parity> parityOf(const QString& text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    switch (text[0].toUpper().unicode()) {
    case u'N':
        return SerialSettings::Parity::None;
    case u'E':
        return SerialSettings::Parity::Even;
    case u'O':
        return SerialSettings::Parity::Odd;
    case u'M':
        return SerialSettings::Parity::Mark;
    case u'S':
        return SerialSettings::Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<SerialSettings::StopBits> stopBitsOf(const QString& text) {
    if (text == u"1") {
        return SerialSettings::StopBits::One;
    }
    if (text == u"1.5") {
        return SerialSettings::StopBits::OneAndHalf;
    }
    if (text == u"2") {
        return SerialSettings::StopBits::Two;
    }
    return std::nullopt;
}

std::optional<SerialSettings> fail(QString* why, const QString& reason) {
    if (why) {
        *why = reason;
    }
    return std::nullopt;
}

} // namespace

std::optional<SerialSettings> SerialSettings::parse(const QString& text, QString* why) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) {
        return fail(why, QStringLiteral("expected speed,parity,data bits,stop bits"));
    }
    SerialSettings s;
    bool ok = false;
    s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0) {
        return fail(why, QStringLiteral("invalid speed \"%1\"").arg(parts[0]));
    }
    const auto parity = parityOf(parts[1].trimmed());
    if (!parity) {
        return fail(why, QStringLiteral("invalid parity \"%1\"").arg(parts[1]));
    }
    s.parity = *parity;
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8) {
        return fail(why, QStringLiteral("invalid data bits \"%1\"").arg(parts[2]));
    }
    const auto stop = stopBitsOf(parts[3].trimmed());
    if (!stop) {
        return fail(why, QStringLiteral("invalid stop bits \"%1\"").arg(parts[3]));
    }
    s.stopBits = *stop;
    return s;
}

QString SerialSettings::toString() const {
    static const char parities[] = {'N', 'E', 'O', 'M', 'S'};
    static const char* const stops[] = {"1", "1.5", "2"};
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(QLatin1Char(parities[static_cast<int>(parity)]))
        .arg(dataBits)
        .arg(QLatin1String(stops[static_cast<int>(stopBits)]));
}

} // namespace comm
