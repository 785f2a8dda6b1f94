#include "CsvReadings.h"

#include <QFile>
#include <QStringView>
#include <cmath>

namespace {

struct Layout {
    QChar separator;
    bool decimalComma;
};

constexpr Layout kPointDecimals{u',', false};
constexpr Layout kCommaDecimals{u';', true};

bool parseField(QStringView field, const Layout& layout, double* value) {
    bool ok = false;
    if (layout.decimalComma) {
        if (field.contains(u'.'))
            return false;
        *value = field.toString().replace(u',', u'.').toDouble(&ok);
    } else {
        *value = field.toDouble(&ok);
    }
    return ok && std::isfinite(*value);
}

bool parseRow(QStringView line, const Layout& layout, int maxColumns, QList<double>* row) {
    for (QStringView field : line.split(layout.separator)) {
        double value = 0;
        if (!parseField(field.trimmed(), layout, &value))
            return false;
        if (row->size() < maxColumns)
            row->append(value);
    }
    return !row->isEmpty();
}

} // namespace

QList<QList<double>> CsvReadings::parse(const QString& text, int maxColumns) {
    QList<QStringView> lines;
    bool semicolons = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        semicolons = semicolons || line.contains(u';');
        lines.append(line);
    }
    const Layout& layout = semicolons ? kCommaDecimals : kPointDecimals;
    QList<QList<double>> rows;
    for (QStringView line : lines) {
        QList<double> row;
        if (parseRow(line, layout, maxColumns, &row))
            rows.append(row);
    }
    return rows;
}

bool CsvReadings::load(const QString& fileName, int maxColumns, QList<QList<double>>* rows,
                       QString* error) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    const qint64 limit = kMaxFileBytes + 1;
    const QByteArray bytes = file.read(file.isSequential() ? limit : qMin(file.size(), limit));
    if (bytes.size() > kMaxFileBytes) {
        if (error)
            *error = QStringLiteral("%1 is larger than %2 MiB")
                         .arg(fileName)
                         .arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    QList<QList<double>> read = parse(QString::fromUtf8(bytes), maxColumns);
    if (read.isEmpty()) {
        if (error)
            *error = QStringLiteral("no readings in %1").arg(fileName);
        return false;
    }
    *rows = std::move(read);
    return true;
}
