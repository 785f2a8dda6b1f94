#pragma once

#include <QStringList>
#include <QtGlobal>

#include <vector>

namespace archive::schema {

// Marks the file as this program's archive (SQLite's application_id: "BRIS").
constexpr qint32 kApplicationId = 0x42524953;
// The layout this program writes (SQLite's user_version).
constexpr int kVersion = 2;
// The oldest layout this program reads without bringing it up first: version 2 only admits
// more failure kinds, so a version 1 file reads as it is.
constexpr int kOldestReadable = 1;
// Readings are summed per quarter of an hour of UTC time, as every zone's local midnight falls
// on a quarter hour: a day's figures then come from at most 96 summaries.
constexpr qint64 kQuarterMs = 15 * 60 * 1000;

// The statements that bring a file from version toVersion - 1 to toVersion. A file is brought
// up step by step, each step in one transaction.
struct Migration {
    int toVersion;
    QStringList statements;
};
const std::vector<Migration>& migrations();

// The quarter hour a time falls in (times before 1970 round down too).
qint64 quarterOf(qint64 timeMs);

} // namespace archive::schema
