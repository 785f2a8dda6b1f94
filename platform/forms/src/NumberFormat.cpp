#include "forms/NumberFormat.h"

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

// Right-to-left locales put direction marks around signs; they carry no meaning in a number.
// The minus sign (U+2212) some locales write is read as a hyphen-minus.
QString withoutMarks(QString text) {
    text.remove(QChar(0x200E)).remove(QChar(0x200F)).remove(QChar(0x061C));
    return text.replace(QChar(0x2212), u'-');
}

struct GroupSizes {
    qsizetype last = 3;  // the group just before the decimal separator
    qsizetype other = 3; // every group before that one (the first may be shorter)
};

// The locale's own grouping, read back from how it writes a long integer: 3/3 in most
// locales, 3/2 in Indian ones.
GroupSizes localeGroupSizes(const QLocale& locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions({});
    const QStringList groups =
        grouped.toString(1234567890LL).split(locale.groupSeparator(), Qt::SkipEmptyParts);
    if (groups.size() < 3) {
        return {};
    }
    return {groups.last().size(), groups[groups.size() - 2].size()};
}

bool groupsFit(const QStringList& groups, GroupSizes sizes) {
    if (groups.first().isEmpty() || groups.first().size() > sizes.other ||
        groups.last().size() != sizes.last) {
        return false;
    }
    for (qsizetype i = 1; i + 1 < groups.size(); ++i) {
        if (groups[i].size() != sizes.other) {
            return false;
        }
    }
    return true;
}

// Typists use a plain or no-break space for a locale whose separator is a space of any kind.
bool isGroupSeparator(QStringView text, qsizetype at, const QString& separator) {
    if (text.mid(at).startsWith(separator)) {
        return true;
    }
    const QChar c = text[at];
    return separator.size() == 1 && separator[0].isSpace() &&
           (c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F));
}

// The text with the group separators of its integer part removed, or nothing when they are
// misplaced: groups of three digits (or the locale's own sizes), the first one shorter.
std::optional<QString> withoutGrouping(const QString& text, const QLocale& locale) {
    const QString separator = locale.groupSeparator();
    qsizetype begin = 0;
    while (begin < text.size() && !text[begin].isDigit()) {
        ++begin;
    }
    const bool rejected = locale.numberOptions().testFlag(QLocale::RejectGroupSeparator);
    if (separator.isEmpty() || rejected || begin == text.size()) {
        return text;
    }
    QStringList groups{QString()};
    qsizetype end = begin;
    while (end < text.size()) {
        if (text[end].isDigit()) {
            groups.last() += text[end++];
        } else if (isGroupSeparator(text, end, separator)) {
            groups.append(QString());
            end += text[end] == separator[0] ? separator.size() : 1;
        } else {
            break;
        }
    }
    if (groups.size() > 1 && !groupsFit(groups, {}) &&
        !groupsFit(groups, localeGroupSizes(locale))) {
        return std::nullopt;
    }
    return text.left(begin) + groups.join(QString()) + text.mid(end);
}

// |value| rounded half away from zero to `decimals` places. From 2^53 up a double holds no
// fraction at that scale, and the fixed text is exact anyway; scaling further would overflow.
double roundedMagnitude(double value, int decimals) {
    constexpr double kIntegral = 9007199254740992.0; // 2^53
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::fabs(value) * scale;
    if (!(scaled < kIntegral)) {
        return std::fabs(value);
    }
    return std::round(scaled) / scale;
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
    const double rounded = roundedMagnitude(value, decimals);
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
    const std::optional<QString> plain = withoutGrouping(withoutMarks(text).trimmed(), locale);
    if (!plain) {
        return std::nullopt;
    }
    // Separators left anywhere else (the fraction, the exponent) make the text invalid.
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(*plain, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace forms::number
