#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace forms {

// Numbers as the user reads and types them: formatted with a mask and parsed with the user's
// locale (its decimal and group separators).
namespace number {

// Formats value with a mask such as "000.0", "0.00" or "#,##0.0": '0' is a digit always shown,
// '#' a digit shown only when significant, '.' the decimal separator, ',' between integer
// placeholders turns on digit grouping; any other character is copied as it stands. Rounds
// half away from zero to the number of decimal placeholders. An empty mask gives the shortest
// exact text.
QString format(double value, const QString& mask, const QLocale& locale = QLocale::system());

// Parses text typed by the user (surrounding blanks allowed), including what format() writes.
// Group separators are accepted between the integer part's groups of three digits (or the
// locale's own group sizes) and nowhere else. Direction marks (U+200E, U+200F, U+061C), which
// right-to-left locales write around signs, are ignored and the minus sign U+2212 reads as
// '-'. Returns nothing when the text is not a finite number.
std::optional<double> parse(const QString& text, const QLocale& locale = QLocale::system());

} // namespace number
} // namespace forms
