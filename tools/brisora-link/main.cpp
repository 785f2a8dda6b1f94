// brisora-link: runs acquisition ticks against the station through the console's own frame
// server and prints every exchange and every tick as one JSON object per line. For checking a
// station's wiring and for tests.

#include "link/clsCicloAdquisicion.h"
#include "link/clsServidorTramas.h"
#include "link/clsTrama.h"

#include "forms/Scheduler.h"

#include <BrisoraVersion.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kExitUsage = 64;
constexpr int kPeriodMs = 1000;

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

void printLine(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

QString jsonString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else if (c.unicode() < 0x20) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out + u'"';
}

QString jsonBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString jsonDouble(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString exchangeLine(const clsCicloAdquisicion::stIntercambio& x) {
    const QString request = x.iByteDatos1 == clsTrama::iPETICION_HUMEDAD
                                ? QStringLiteral("humidity")
                                : QStringLiteral("pressure");
    return QStringLiteral("{\"request\":%1,\"sent\":%2,\"received\":%3,\"timeout\":%4,"
                          "\"transmission\":%5,\"checksum\":%6,\"unknown\":%7}")
        .arg(jsonString(request), jsonString(clsTrama::strfntHexadecimal(x.iarrTramaEnviada)),
             jsonString(clsTrama::strfntHexadecimal(x.iarrTramaRecibida)), jsonBool(x.bErrorTiempo),
             jsonBool(x.bErrorTransmision), jsonBool(x.bErrorSumaLogica),
             jsonBool(x.bErrorDesconocido));
}

// What a failed tick prints as its error.
QString tickError(clsCicloAdquisicion::enResultadoTick result) {
    using R = clsCicloAdquisicion::enResultadoTick;
    switch (result) {
    case R::ErrorTiempo:
        return clsCicloAdquisicion::strERROR_TIEMPO;
    case R::ErrorSumaLogica:
        return clsCicloAdquisicion::strERROR_SUMA_LOGICA;
    case R::SinLecturas:
        return clsCicloAdquisicion::strSIN_LECTURAS;
    default:
        return QStringLiteral("Servidor ocupado");
    }
}

QString tickLine(int tick, clsCicloAdquisicion::enResultadoTick result,
                 const clsCicloAdquisicion& ciclo) {
    if (result == clsCicloAdquisicion::enResultadoTick::Completo) {
        return QStringLiteral("{\"tick\":%1,\"humidity\":%2,\"pressure\":%3}")
            .arg(tick)
            .arg(jsonDouble(ciclo.dfntHumedad()), jsonDouble(ciclo.dfntPresion()));
    }
    return QStringLiteral("{\"tick\":%1,\"error\":%2}")
        .arg(tick)
        .arg(jsonString(tickError(result)));
}

struct Options {
    QString device;
    int ticks = 0;
};

std::optional<Options> parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Runs acquisition ticks against the weather station (humidity, then pressure, once a "
        "second) and prints each exchange and each tick as a JSON line.\n"
        "Exit status: 0 every tick completed, 1 some tick failed, 2 the port cannot be opened, "
        "64 bad usage.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"port",
                      "Serial device to use (default: COM2, that is $BRISORA_COM2 or "
                      "/dev/ttyS1).",
                      "DEVICE"});
    parser.addOption(
        {"ticks", "Number of ticks to run; 0 runs until interrupted (default 0).", "N", "0"});
    if (!parser.parse(app.arguments())) {
        printError(parser.errorText());
        return std::nullopt;
    }
    if (parser.isSet("help")) {
        parser.showHelp(0);
    }
    if (parser.isSet("version")) {
        parser.showVersion();
    }
    Options options;
    bool ok = false;
    options.ticks = parser.value("ticks").toInt(&ok);
    if (!ok || options.ticks < 0) {
        printError(QStringLiteral("--ticks wants a whole number 0 or more"));
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral("unexpected argument: ") + parser.positionalArguments().first());
        return std::nullopt;
    }
    options.device = parser.value("port");
    return options;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("brisora-link");
    QCoreApplication::setApplicationVersion(QString::fromLatin1(brisora::version::kText));
    const auto options = parseOptions(app);
    if (!options) {
        return kExitUsage;
    }

    clsServidorTramas servidor({}, forms::Scheduler::instance(), options->device);
    if (!servidor.bfntPuertoAbierto()) {
        printError(servidor.strfntFalloPuerto());
        return 2;
    }
    servidor.setAvisoPuerto(printError);

    clsCicloAdquisicion ciclo(servidor);
    ciclo.setIntercambio([](const auto& x) { printLine(exchangeLine(x)); });

    bool allCompleted = true;
    bool tickUnderWay = false;
    auto finish = [&] {
        servidor.subCierraPuerto();
        std::fflush(stdout);
        // A tick cut short by the signal did not complete.
        ::_exit(allCompleted && !tickUnderWay ? 0 : 1);
    };
    // Ctrl-C or a termination request ends the run at once, even in the middle of a tick.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, finish);
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }

    forms::Scheduler& scheduler = forms::Scheduler::instance();
    int tick = 0;
    std::function<void()> runTick = [&] {
        const qint64 start = scheduler.nowMs();
        tickUnderWay = true;
        const auto result = ciclo.subTick();
        tickUnderWay = false;
        allCompleted = allCompleted && result == clsCicloAdquisicion::enResultadoTick::Completo;
        printLine(tickLine(++tick, result, ciclo));
        if (options->ticks > 0 && tick >= options->ticks) {
            QCoreApplication::exit(allCompleted ? 0 : 1);
            return;
        }
        // One tick a second; a tick that took longer delays the next one.
        scheduler.post(runTick,
                       static_cast<int>(qMax<qint64>(0, start + kPeriodMs - scheduler.nowMs())));
    };
    scheduler.post(runTick, 0);
    return app.exec();
}
