// The text forms of the page fields: numbers shown in plain decimal form, integers and numbers
// read strictly (the whole field, white space around it allowed), and the leading decimal
// number of a text read as the C library's decimal conversion reads it, in any locale.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace gaugekit::pages {

class PageText {
public:
    static QString formatInteger(std::int32_t value);
    // Shortest plain decimal form that reads back as the same value ("0.1", "20", "-3.25").
    static QString formatDouble(double value);
    // At least one digit after the point, and as many more as the value needs to read back
    // unchanged ("20.0", "0.01", "1.46").
    static QString formatAtLeastOneDecimal(double value);

    // The whole text (white space around it allowed) as a decimal integer that fits 32 bits.
    static std::optional<std::int32_t> parseInteger(const QString& text);
    // The whole text as a finite decimal number ("." as the decimal point, optional exponent).
    static std::optional<double> parseDouble(const QString& text);
    // The longest leading decimal number after leading white space; 0 when there is none.
    // Too large a number gives an infinity of its sign, too small a one 0.
    static double leadingDecimal(const QString& text);
};

} // namespace gaugekit::pages
