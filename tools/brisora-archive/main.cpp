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
    "Uso: brisora-archive export [--from FECHA] [--to FECHA] [--csv FICHERO]\n"
    "     brisora-archive daily [--from FECHA] [--to FECHA] [--csv FICHERO]\n"
    "     brisora-archive summary\n"
    "     brisora-archive check\n"
    "     brisora-archive stations\n"
    "     brisora-archive copy DESDE HACIA\n"
    "Para todas: [--archive LUGAR] [--station NOMBRE]\n"
    "export: las lecturas; daily: los extremos de cada día; summary: resumen del archivo;\n"
    "check: comprueba el archivo; stations: las estaciones del archivo; copy: copia un\n"
    "archivo en otro sin repetir lo que ya tiene.\n"
    "FECHA es AAAA-MM-DD en hora local; --to incluye ese día y no puede ser anterior a\n"
    "--from. Sin --csv la tabla sale por la salida estándar. El archivo es el fichero o la\n"
    "URL postgresql:// que nombran --archive o BRISORA_ARCHIVE; --station elige una\n"
    "estación cuando el archivo tiene varias.\n");

int usage(QTextStream& err, const QString& problem = {}) {
    if (!problem.isEmpty()) {
        err << "brisora-archive: " << problem << "\n";
    }
    err << kUsage;
    return ArchiveTool::kExitUsage;
}

// Why the command line could not be read, in the tool's words rather than the parser's.
QString parseProblem(const QCommandLineParser& parser, const QStringList& arguments) {
    if (!parser.unknownOptionNames().isEmpty()) {
        return QStringLiteral("opción desconocida: %1").arg(parser.unknownOptionNames().first());
    }
    for (const QString& name :
         {QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--csv")}) {
        if (arguments.last() == name) {
            return QStringLiteral("falta el valor de %1").arg(name);
        }
    }
    return QStringLiteral("la línea de órdenes no se entiende");
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
        toFile ? file
               : QStringLiteral("brisora-archive: no se puede escribir en la salida estándar");
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
        err << "brisora-archive: el archivo de lecturas está desactivado (BRISORA_ARCHIVE=off)\n";
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
    parser.addPositionalArgument(QStringLiteral("orden"),
                                 QStringLiteral("export, daily, summary, check, stations o copy"));
    parser.addOption(
        {QStringLiteral("from"), QStringLiteral("Primer día."), QStringLiteral("FECHA")});
    parser.addOption(
        {QStringLiteral("to"), QStringLiteral("Último día."), QStringLiteral("FECHA")});
    parser.addOption(
        {QStringLiteral("csv"), QStringLiteral("Fichero de salida."), QStringLiteral("FICHERO")});
    parser.addOption(
        {QStringLiteral("archive"), QStringLiteral("El archivo."), QStringLiteral("LUGAR")});
    parser.addOption(
        {QStringLiteral("station"), QStringLiteral("La estación."), QStringLiteral("NOMBRE")});
    if (!parser.parse(QCoreApplication::arguments())) {
        return usage(err, parseProblem(parser, QCoreApplication::arguments()));
    }
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (args.size() != (command == u"copy" ? 3 : 1)) {
        return usage(err);
    }
    ArchiveTool::Range range;
    if (!readDate(parser, QStringLiteral("from"), range.from) ||
        !readDate(parser, QStringLiteral("to"), range.to)) {
        return usage(err, QStringLiteral("una fecha se escribe AAAA-MM-DD"));
    }
    if (range.from && range.to && *range.from > *range.to) {
        // An empty table would pass for a quiet archive.
        return usage(err,
                     QStringLiteral("--from (%1) es posterior a --to (%2)")
                         .arg(range.from->toString(Qt::ISODate), range.to->toString(Qt::ISODate)));
    }
    const bool table = command == u"export" || command == u"daily";
    if (!table && (parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("to")) ||
                   parser.isSet(QStringLiteral("csv")))) {
        return usage(err, command + QStringLiteral(" no admite opciones"));
    }
    if (command == u"copy" && parser.isSet(QStringLiteral("archive"))) {
        return usage(err, QStringLiteral("copy toma sus archivos como DESDE y HACIA"));
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
    return usage(err, QStringLiteral("orden desconocida: ") + command);
}
