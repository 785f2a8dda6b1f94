#include "NumberFormat.h"

#include <cmath>

namespace forms::number {

namespace {

struct Mask {
    QString prefix;
    QString suffix;
    int integerZeros = 0;  // '0' placeholders before the decimal point
    int decimalZeros = 0;  // '0' placeholders after it
    int decimalHashes = 0; // '#' placeholders after it
    bool hasPoint = false;
    bool grouping = false;
};

bool isPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

Mask parseMask(const QString& mask) {
    Mask m;
    int first = 0;
    while (first < mask.size() && !isPlaceholder(mask[first]) && mask[first] != u'.') {
        ++first;
    }
    int last = static_cast<int>(mask.size()) - 1;
    while (last >= first && !isPlaceholder(mask[last]) && mask[last] != u'.' &&
           mask[last] != u',') {
        --last;
    }
    m.prefix = mask.left(first);
    m.suffix = mask.mid(last + 1);
    for (int i = first; i <= last; ++i) {
        const QChar c = mask[i];
        if (c == u'.') {
            m.hasPoint = true;
        } else if (c == u',' && !m.hasPoint) {
            m.grouping = true;
        } else if (c == u'0') {
            ++(m.hasPoint ? m.decimalZeros : m.integerZeros);
        } else if (c == u'#' && m.hasPoint) {
            ++m.decimalHashes;
        }
    }
    return m;
}

QString groupDigits(const QString& digits, const QLocale& locale) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out += locale.groupSeparator();
        }
        out += digits[i];
    }
    return out;
}

} // namespace

QString format(double value, const QString& mask, const QLocale& locale) {
    if (!std::isfinite(value)) {
        return locale.toString(value);
    }
    if (mask.isEmpty()) {
        return locale.toString(value, 'g', QLocale::FloatingPointShortest);
    }
    const Mask m = parseMask(mask);
    const int decimals = m.decimalZeros + m.decimalHashes;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    // Fixed notation in the C locale, then localised piece by piece.
    QString text = QString::number(rounded, 'f', decimals);
    QString integer = text.section(u'.', 0, 0);
    QString fraction = text.section(u'.', 1, 1);
    if (integer == u"0" && m.integerZeros == 0) {
        integer.clear();
    }
    while (integer.size() < m.integerZeros) {
        integer.prepend(u'0');
    }
    while (fraction.size() > m.decimalZeros && fraction.endsWith(u'0')) {
        fraction.chop(1);
    }
    if (m.grouping) {
        integer = groupDigits(integer, locale);
    }
    QString body = integer;
    if (m.hasPoint) {
        body += locale.decimalPoint() + fraction;
    }
    const bool negative = value < 0 && rounded != 0.0;
    return m.prefix + (negative ? locale.negativeSign() : QString()) + body + m.suffix;
}

std::optional<double> parse(const QString& text, const QLocale& locale) {
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace forms::number
