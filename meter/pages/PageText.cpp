#include "PageText.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

namespace gaugekit::pages {

namespace {

bool isCSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qsizetype skipDigits(const QString& s, qsizetype i) {
    while (i < s.size() && isDigit(s.at(i)))
        ++i;
    return i;
}

// The length of the decimal number at `start` (sign, digits with one optional point, an
// exponent only when digits follow it), or 0 when no digit is there.
qsizetype decimalLength(const QString& s, qsizetype start) {
    qsizetype i = start;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    const qsizetype intEnd = skipDigits(s, i);
    qsizetype end = intEnd;
    bool digits = intEnd > i;
    if (end < s.size() && s.at(end) == u'.') {
        const qsizetype fracEnd = skipDigits(s, end + 1);
        digits = digits || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!digits)
        return 0;
    if (end < s.size() && (s.at(end) == u'e' || s.at(end) == u'E')) {
        qsizetype e = end + 1;
        if (e < s.size() && (s.at(e) == u'+' || s.at(e) == u'-'))
            ++e;
        const qsizetype expEnd = skipDigits(s, e);
        if (expEnd > e)
            end = expEnd;
    }
    return end - start;
}

// A decimal number's text (as decimalLength accepts it), converted; out-of-range values become
// an infinity or 0 as the C library's conversion gives them.
double convert(const QByteArray& text) {
    double value = 0;
    const char* first = text.constData();
    const char* last = first + text.size();
    if (*first == '+')
        ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const qsizetype e = text.indexOf('e') >= 0 ? text.indexOf('e') : text.indexOf('E');
        const bool tiny = e >= 0 && e + 1 < text.size() && text.at(e + 1) == '-';
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return text.startsWith('-') ? -magnitude : magnitude;
    }
    return ptr == last ? value : 0.0;
}

} // namespace

QString PageText::formatInteger(std::int32_t value) {
    return QString::number(value);
}

QString PageText::formatDouble(double value) {
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString PageText::formatAtLeastOneDecimal(double value) {
    const QString shortest = formatDouble(value);
    if (!std::isfinite(value) || shortest.contains(u'.'))
        return shortest;
    return shortest + QStringLiteral(".0");
}

std::optional<std::int32_t> PageText::parseInteger(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype digitsFrom = (t.startsWith(u'+') || t.startsWith(u'-')) ? 1 : 0;
    if (t.size() == digitsFrom || skipDigits(t, digitsFrom) != t.size())
        return std::nullopt;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(v);
}

std::optional<double> PageText::parseDouble(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || decimalLength(t, 0) != t.size())
        return std::nullopt;
    const double v = convert(t.toLatin1());
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

double PageText::leadingDecimal(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && isCSpace(text.at(start)))
        ++start;
    const qsizetype length = decimalLength(text, start);
    if (length == 0)
        return 0.0;
    return convert(text.mid(start, length).toLatin1());
}

} // namespace gaugekit::pages
