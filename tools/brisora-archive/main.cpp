// brisora-archive: reads the console's readings archive (the place --archive or
// BRISORA_ARCHIVE names: a file or a PostgreSQL URL; by default brisora/archive.sqlite under
// the user's data folder). Exports the readings or their daily extremes as CSV, summarises
// the archive or checks it, lists its stations, copies it into another. Dates and times in the
// user's time zone; days end at local midnight.

#include "ArchiveTool.h"

#include "archive/ArchiveLocation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

const QString kUsage = QStringLiteral(
    "Usage: brisora-archive export [--from DATE] [--to DATE] [--csv FILE]\n"
    "       brisora-archive daily [--from DATE] [--to DATE] [--csv FILE]\n"
    "       brisora-archive summary\n"
    "       brisora-archive check\n"
    "       brisora-archive stations\n"
    "       brisora-archive copy FROM TO\n"
    "Options for all: [--archive LOCATION] [--station NAME]\n"
    "DATE is YYYY-MM-DD in local time; --to includes that day. Without --csv the table goes\n"
    "to standard output. The archive is the file or postgresql:// URL --archive or\n"
    "BRISORA_ARCHIVE names; --station chooses one where it holds several.\n");

int usage(QTextStream& err, const QString& problem = {}) {
    if (!problem.isEmpty()) {
        err << "brisora-archive: " << problem << "\n";
    }
    err << kUsage;
    return ArchiveTool::kExitUsage;
}

bool readDate(const QCommandLineParser& parser, const QString& name, std::optional<QDate>& date) {
    if (!parser.isSet(name)) {
        return true;
    }
    const QDate d = QDate::fromString(parser.value(name), Qt::ISODate);
    if (d.isValid()) {
        date = d;
    }
    return d.isValid();
}

// Runs a command into the named file (replaced whole only once complete) or, without a name,
// into standard output. A failed write (a full disk, a closed pipe) fails the command instead
// of leaving a short table behind a success.
template <typename Command>
int toOutput(const QString& file, QTextStream& err, Command command) {
    const bool toFile = !file.isEmpty();
    QSaveFile save(file);
    QFile stdoutFile;
    QFileDevice& device = toFile ? static_cast<QFileDevice&>(save) : stdoutFile;
    const QString name =
        toFile ? file : QStringLiteral("brisora-archive: cannot write standard output");
    if (!(toFile ? save.open(QIODevice::WriteOnly)
                 : stdoutFile.open(stdout, QIODevice::WriteOnly))) {
        err << name << ": " << device.errorString() << "\n";
        return ArchiveTool::kExitFailure;
    }
    QTextStream out(&device);
    const int code = command(out);
    out.flush();
    if (code != 0) {
        if (toFile) {
            save.cancelWriting();
        }
        return code;
    }
    if (out.status() != QTextStream::Ok || !(toFile ? save.commit() : stdoutFile.flush())) {
        err << name << ": " << device.errorString() << "\n";
        return ArchiveTool::kExitFailure;
    }
    return 0;
}

// The user's time zone; one the system cannot name (a mistyped TZ) is taken as UTC, as the C
// library takes it, rather than leaving every time blank.
QTimeZone localZone() {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? zone : QTimeZone::utc();
}

// The archive named on the command line, else by BRISORA_ARCHIVE; nothing after saying why
// when it cannot be used.
std::optional<archive::ArchiveLocation> location(const QString& given, const QString& station,
                                                 QTextStream& err) {
    archive::ArchiveLocation where = given.isEmpty() ? archive::ArchiveLocation::fromEnvironment()
                                                     : archive::ArchiveLocation::parse(given);
    if (!where.enabled) {
        err << "brisora-archive: archiving is off (BRISORA_ARCHIVE=off)\n";
        return std::nullopt;
    }
    if (!where.error.isEmpty()) {
        err << "brisora-archive: " << where.error << "\n";
        return std::nullopt;
    }
    if (!station.isEmpty()) {
        where.station = station;
    }
    return where;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("export, daily, summary or check"));
    parser.addOption(
        {QStringLiteral("from"), QStringLiteral("First day."), QStringLiteral("DATE")});
    parser.addOption({QStringLiteral("to"), QStringLiteral("Last day."), QStringLiteral("DATE")});
    parser.addOption(
        {QStringLiteral("csv"), QStringLiteral("Output file."), QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("archive"), QStringLiteral("The archive."), QStringLiteral("LOCATION")});
    parser.addOption(
        {QStringLiteral("station"), QStringLiteral("The station."), QStringLiteral("NAME")});
    if (!parser.parse(QCoreApplication::arguments())) {
        return usage(err, parser.errorText());
    }
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (args.size() != (command == u"copy" ? 3 : 1)) {
        return usage(err);
    }
    ArchiveTool::Range range;
    if (!readDate(parser, QStringLiteral("from"), range.from) ||
        !readDate(parser, QStringLiteral("to"), range.to)) {
        return usage(err, QStringLiteral("a date is written YYYY-MM-DD"));
    }
    const bool table = command == u"export" || command == u"daily";
    if (!table && (parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("to")) ||
                   parser.isSet(QStringLiteral("csv")))) {
        return usage(err, command + QStringLiteral(" takes no options"));
    }
    if (command == u"copy" && parser.isSet(QStringLiteral("archive"))) {
        return usage(err, QStringLiteral("copy takes its archives as FROM and TO"));
    }
    std::optional<archive::ArchiveLocation> where =
        location(command == u"copy" ? args.at(1) : parser.value(QStringLiteral("archive")),
                 parser.value(QStringLiteral("station")), err);
    if (!where) {
        return ArchiveTool::kExitFailure;
    }
    ArchiveTool tool(*where, localZone(), err);
    const QString file = parser.value(QStringLiteral("csv"));
    if (command == u"export") {
        return toOutput(file, err,
                        [&](QTextStream& out) { return tool.exportReadings(range, out); });
    }
    if (command == u"daily") {
        return toOutput(file, err, [&](QTextStream& out) { return tool.daily(range, out); });
    }
    if (command == u"summary") {
        return toOutput({}, err, [&](QTextStream& out) { return tool.summary(out); });
    }
    if (command == u"stations") {
        return toOutput({}, err, [&](QTextStream& out) { return tool.stations(out); });
    }
    if (command == u"copy") {
        const auto to = location(args.at(2), {}, err);
        if (!to) {
            return ArchiveTool::kExitFailure;
        }
        return toOutput({}, err, [&](QTextStream& out) { return tool.copyTo(*to, out); });
    }
    if (command == u"check") {
        return toOutput({}, err, [&](QTextStream& out) { return tool.check(out); });
    }
    return usage(err, QStringLiteral("unknown command ") + command);
}
