#pragma once

#include "ArchiveSchema.h"

#include <QString>

namespace archive::pgschema {

// Marks the database as this program's archive (the archive_schema table's application).
constexpr const char* kApplication = "brisora";
// The layout this program writes on PostgreSQL.
constexpr int kVersion = 1;

// The steps from version toVersion - 1 to toVersion, each run in one transaction.
const std::vector<schema::Migration>& migrations();

// The month a time falls in, as a partition of the readings: its table name and its bounds in
// UTC milliseconds. Times outside the years 1970 to 9999 have no month of their own: they go
// to the default partition (valid is then false).
struct MonthPartition {
    bool valid = false;
    QString name;
    qint64 fromMs = 0;
    qint64 toMs = 0;
};
MonthPartition monthOf(qint64 timeMs);

} // namespace archive::pgschema
