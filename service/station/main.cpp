// brisora-station: the weather station's acquisition as a service, without a desk. Opens the
// station's port, runs the acquisition tick at every interval and archives every tick, until
// SIGTERM or SIGINT; SIGHUP re-reads the configuration. See "Running the station as a
// service" in the README.

#include "StationService.h"

#include "core/JournalLog.h"
#include "core/StationConfig.h"
#include "core/StatusFile.h"
#include "core/SystemdNotify.h"
#include "core/UnixSignals.h"

#include "link/modGlobal.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

using service::StationConfig;

constexpr int kExitConfig = 2;
constexpr int kExitNotRunning = 3;
constexpr int kExitStatusUnknown = 4;

QString version() {
    return QStringLiteral("%1.%2.%3")
        .arg(modGlobal::iVersionMayor)
        .arg(modGlobal::iVersionMenor)
        .arg(modGlobal::iVersionRevision);
}

// The command-line spelling of a key: "mqtt/url" is --mqtt.url.
QString optionName(const QString& key) {
    return QString(key).replace(u'/', u'.');
}

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Runs the weather station's acquisition as a service: a tick every interval, every\n"
        "tick archived. Settings come from the configuration file; each of its keys can be\n"
        "given on the command line too (--port /dev/ttyUSB1, --mqtt.url mqtt://host:1883)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("config"),
                      QStringLiteral("Configuration file (default %1).")
                          .arg(QLatin1StringView(StationConfig::kDefaultFile)),
                      QStringLiteral("file"), QLatin1StringView(StationConfig::kDefaultFile)});
    parser.addOption({QStringLiteral("check-config"),
                      QStringLiteral("Print the settings that would be used and exit: 0 when "
                                     "they are good, 2 naming the bad key.")});
    parser.addOption({QStringLiteral("status"),
                      QStringLiteral("Tell how the running service is doing (from its status "
                                     "file) and exit: 0 running, 3 not running.")});
    for (const QString& key : StationConfig::keys()) {
        parser.addOption({optionName(key), QStringLiteral("Overrides the key %1.").arg(key),
                          QStringLiteral("value")});
    }
}

QMap<QString, QString> overridesFrom(const QCommandLineParser& parser) {
    QMap<QString, QString> overrides;
    for (const QString& key : StationConfig::keys()) {
        if (parser.isSet(optionName(key))) {
            overrides.insert(key, parser.value(optionName(key)));
        }
    }
    return overrides;
}

int showStatus() {
    QString error;
    const service::StatusFile file;
    const auto status = file.read(&error);
    if (!status) {
        QTextStream(stdout) << "state: unknown (" << error << ")\n";
        return kExitStatusUnknown;
    }
    const bool alive = service::StatusFile::processAlive(status->pid);
    QTextStream(stdout) << service::StatusFile::describe(*status, alive);
    return status->running && alive ? 0 : kExitNotRunning;
}

// The service draws nothing itself; the web outlet's meters do, on Qt's offscreen platform,
// whatever display the environment names (a service has none).
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool drawing) {
    if (!drawing) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The meter is a widget: its pictures need a QApplication.
    return std::make_unique<QApplication>(argc, argv);
}

int run(int& argc, char** argv, const StationConfig& config, const QString& configFile,
        const QMap<QString, QString>& overrides) {
    const auto app = makeApplication(argc, argv, config.webEnabled());
    service::JournalLog log;
    service::SystemdNotify notify;
    service::StationService::Setup setup;
    setup.configFile = configFile;
    setup.overrides = overrides;
    service::StationService station(config, setup, log, notify);
    service::UnixSignals unixSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&unixSignals, &service::UnixSignals::received, &station, [&](int number) {
        if (number == SIGHUP) {
            station.reload();
        } else {
            station.shutdown();
        }
    });
    QObject::connect(&station, &service::StationService::finished, app.get(),
                     &QCoreApplication::exit, Qt::QueuedConnection);
    // A serial line that hangs up must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    station.start();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("brisora-station"));
    QCoreApplication::setApplicationVersion(version());
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return kExitConfig;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("brisora-station %s\n", qPrintable(version()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "unexpected argument: %s\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return kExitConfig;
    }
    if (parser.isSet(QStringLiteral("status"))) {
        return showStatus();
    }
    const QString configFile = parser.value(QStringLiteral("config"));
    const QMap<QString, QString> overrides = overridesFrom(parser);
    service::ConfigError error;
    const auto config = StationConfig::load(configFile, overrides, &error);
    if (!config) {
        std::fprintf(stderr, "<3>configuration refused: %s\n", qPrintable(error.text()));
        return kExitConfig;
    }
    if (parser.isSet(QStringLiteral("check-config"))) {
        std::fputs(qPrintable(config->describe()), stdout);
        return 0;
    }
    return run(argc, argv, *config, configFile, overrides);
}
