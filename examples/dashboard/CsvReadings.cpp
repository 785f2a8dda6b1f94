#include "CsvReadings.h"

#include <QFile>
#include <QStringView>
#include <cmath>

namespace {

bool parseRow(QStringView line, int maxColumns, QList<double>* row) {
    for (QStringView field : line.split(u',')) {
        bool ok = false;
        const double value = field.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return false;
        if (row->size() < maxColumns)
            row->append(value);
    }
    return !row->isEmpty();
}

} // namespace

QList<QList<double>> CsvReadings::parse(const QString& text, int maxColumns) {
    QList<QList<double>> rows;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QList<double> row;
        if (parseRow(line, maxColumns, &row))
            rows.append(row);
    }
    return rows;
}

bool CsvReadings::load(const QString& fileName, int maxColumns, QList<QList<double>>* rows) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    *rows = parse(QString::fromUtf8(file.readAll()), maxColumns);
    return true;
}
