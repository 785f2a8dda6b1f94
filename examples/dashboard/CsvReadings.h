// Readings from CSV text: one row of comma-separated numbers per line. Blank lines and lines
// starting with '#' are skipped; a line with anything that is no number is skipped whole, so
// a header row does no harm. Numbers are read in the C locale.
#pragma once

#include <QList>
#include <QString>

class CsvReadings {
public:
    // At most `maxColumns` values are kept from each row.
    static QList<QList<double>> parse(const QString& text, int maxColumns);
    // False when the file cannot be read.
    static bool load(const QString& fileName, int maxColumns, QList<QList<double>>* rows);
};
