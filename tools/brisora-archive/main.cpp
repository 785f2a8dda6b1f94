// brisora-archive: reads the console's readings archive (the file BRISORA_ARCHIVE names, or
// brisora/archive.sqlite under the user's data folder). Exports the readings or their daily
// extremes as CSV, summarises the archive or checks it. Dates and times in the user's time
// zone; days end at local midnight.

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
    "DATE is YYYY-MM-DD in local time; --to includes that day. Without --csv the table goes\n"
    "to standard output. The archive is the file BRISORA_ARCHIVE names.\n");

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
    if (!parser.parse(QCoreApplication::arguments())) {
        return usage(err, parser.errorText());
    }
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        return usage(err);
    }
    const QString command = args.first();
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
    const auto where = archive::ArchiveLocation::fromEnvironment();
    if (!where.enabled) {
        err << "brisora-archive: archiving is off (BRISORA_ARCHIVE=off)\n";
        return ArchiveTool::kExitFailure;
    }
    ArchiveTool tool(where.path, localZone(), err);
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
    if (command == u"check") {
        return toOutput({}, err, [&](QTextStream& out) { return tool.check(out); });
    }
    return usage(err, QStringLiteral("unknown command ") + command);
}
