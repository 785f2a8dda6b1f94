// Readings from CSV text: one row of numbers per line. Blank lines and lines starting with '#'
// are skipped; a line with anything that is no number is skipped whole, so a header row does no
// harm. Two layouts are read:
// - comma-separated fields with a decimal point, numbers as in the C locale ("45.0,101.2");
// - semicolon-separated fields with a decimal comma, as a spreadsheet set up for Spanish writes
//   them ("45,0;101,2"). A text in which any line holds a ';' is read this way; a '.' in one of
//   its numbers makes the field no number, since it may be a thousands separator.
#pragma once

#include <QList>
#include <QString>

class CsvReadings {
public:
    // The largest file read: 16 MiB, some half a million rows, days of readings at any pace the
    // dashboard plays them. A larger file (or a device that never ends) is refused.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

    // At most `maxColumns` values are kept from each row.
    static QList<QList<double>> parse(const QString& text, int maxColumns);
    // False when the file cannot be read, is too large or holds no row of readings; `error` then
    // says which, naming the file.
    static bool load(const QString& fileName, int maxColumns, QList<QList<double>>* rows,
                     QString* error = nullptr);
};
