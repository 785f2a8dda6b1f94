#include "StationProcess.h"

#include "SimulatorProcess.h"

#include "ChildSignal.h"

#include <QElapsedTimer>
#include <QtTest>

#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Raw values the simulator sends and the archive must hold unchanged.
constexpr int kHumidityRaw = 20000;
constexpr int kPressureRaw = 30000;

QStringList fixedReadings() {
    return {QStringLiteral("--humidity-raw"), QString::number(kHumidityRaw),
            QStringLiteral("--pressure-raw"), QString::number(kPressureRaw)};
}

// The replies the simulator completed: its sent bytes, eight to a frame.
int repliesSent(SimulatorProcess& sim) {
    return static_cast<int>(sim.wireEvents().filter(QStringLiteral("tx ")).size()) / 8;
}

// A datagram socket standing in for systemd's notification socket.
class NotifySocket {
public:
    explicit NotifySocket(const QString& path)
        : m_path(path) {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = QFile::encodeName(path);
        if (m_fd < 0 || p.size() >= static_cast<qsizetype>(sizeof addr.sun_path)) {
            return;
        }
        std::memcpy(addr.sun_path, p.constData(), static_cast<size_t>(p.size()));
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~NotifySocket() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    bool isBound() const { return m_bound; }
    // The next message, or an empty one after timeoutMs.
    QByteArray next(int timeoutMs) const {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, timeoutMs) <= 0) {
            return {};
        }
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        return n > 0 ? QByteArray(buffer, n) : QByteArray();
    }

private:
    QString m_path;
    int m_fd = -1;
    bool m_bound = false;
};

} // namespace

class tst_StationProgram : public QObject {
    Q_OBJECT

private slots:
    void acquiresHeadlessAndKeepsWhatWasRead();
    void sigtermMidExchangeLosesNothing();
    void unplugAndReplugAreLoggedOnceEach();
    void systemdHearsReadyThenTheWatchdog();
    void secondProgramWaitsForTheFirst();
    void reloadKeepsTheOldSettingsOnABadFile();
    void badConfigurationExitsTwoNamingTheKey_data();
    void badConfigurationExitsTwoNamingTheKey();
    void checkConfigHelpAndVersion();
};

void tst_StationProgram::acquiresHeadlessAndKeepsWhatWasRead() {
    SimulatorProcess sim;
    QVERIFY(sim.start(fixedReadings() + QStringList{QStringLiteral("--log")}));
    StationProcess station;
    // The default web setting: the program picks its offscreen platform by itself.
    station.configure(sim.device(), "interval_ms = 200\nstation = roof\n", true);
    QVERIFY(station.start());
    QVERIFY2(station.waitForLog(QStringLiteral("port %1 opened").arg(sim.device())),
             qPrintable(station.log()));
    QTRY_VERIFY_WITH_TIMEOUT(repliesSent(sim) >= 8, 20000);

    const auto status = station.runOnce({QStringLiteral("--status")});
    QCOMPARE(status.exitCode, 0);
    QVERIFY2(status.out.startsWith(QStringLiteral("state: running\n")), qPrintable(status.out));
    QVERIFY(status.out.contains(QStringLiteral("station: roof\n")));

    QCOMPARE(station.signalAndWait(SIGTERM), 0);
    const auto readings = station.archivedReadings();
    QVERIFY(readings.size() >= 4);
    // The simulator's log may still be on its way.
    QTRY_COMPARE_WITH_TIMEOUT(repliesSent(sim), readings.size() * 2, 5000);
    for (const auto& r : readings) {
        QCOMPARE(r, qMakePair(kHumidityRaw, kPressureRaw));
    }
    QVERIFY(station.log().contains(QStringLiteral("<6>brisora-station")));
    QVERIFY(station.log().contains(QStringLiteral("<6>stopped: ")));
    const auto after = station.runOnce({QStringLiteral("--status")});
    QCOMPARE(after.exitCode, 3);
    QVERIFY(after.out.startsWith(QStringLiteral("state: not running")));
}

void tst_StationProgram::sigtermMidExchangeLosesNothing() {
    SimulatorProcess sim;
    // 30 ms between reply bytes: each reply takes about a fifth of a second.
    QVERIFY(
        sim.start(fixedReadings() + QStringList{QStringLiteral("--log"), QStringLiteral("--mode"),
                                                QStringLiteral("slow:30")}));
    StationProcess station;
    station.configure(sim.device(), "interval_ms = 300\n");
    QVERIFY(station.start());
    QTRY_VERIFY_WITH_TIMEOUT(repliesSent(sim) >= 4, 20000);
    // Signal just after a request arrived, while its reply is still coming.
    const qsizetype requests = sim.wireEvents().filter(QStringLiteral("rx ")).size();
    QTRY_VERIFY_WITH_TIMEOUT(sim.wireEvents().filter(QStringLiteral("rx ")).size() > requests,
                             10000);
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(station.signalAndWait(SIGTERM), 0);
    QVERIFY2(elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
    // Every reply sent belongs to a tick that reached the archive.
    QTRY_COMPARE_WITH_TIMEOUT(repliesSent(sim), station.archivedReadings().size() * 2, 5000);
    QCOMPARE(station.archivedFailures(), 0);
}

void tst_StationProgram::unplugAndReplugAreLoggedOnceEach() {
    QTemporaryDir links;
    const QString link = links.filePath(QStringLiteral("station"));
    auto sim = std::make_unique<SimulatorProcess>();
    QVERIFY(sim->start({QStringLiteral("--link"), link}));
    StationProcess station;
    station.configure(link, "interval_ms = 200\n");
    QVERIFY(station.start());
    QVERIFY(station.waitForLog(QStringLiteral("port %1 opened").arg(link)));
    QCOMPARE(sim->terminate(), 0); // the adapter is pulled out
    QVERIFY2(station.waitForLog(QStringLiteral("<4>port %1 lost").arg(link)),
             qPrintable(station.log()));
    sim = std::make_unique<SimulatorProcess>();
    QVERIFY(sim->start({QStringLiteral("--link"), link})); // and plugged in again
    QVERIFY2(station.waitForLog(QStringLiteral("<6>port %1 reopened").arg(link), 30000),
             qPrintable(station.log()));
    QTest::qWait(1000);
    QCOMPARE(station.countInLog(QStringLiteral(" lost ")), 1);
    QCOMPARE(station.countInLog(QStringLiteral("reopened")), 1);
    const int before = static_cast<int>(station.archivedReadings().size());
    QCOMPARE(station.signalAndWait(SIGTERM), 0);
    QVERIFY(station.archivedReadings().size() > before || before > 0);
}

void tst_StationProgram::systemdHearsReadyThenTheWatchdog() {
    SimulatorProcess sim;
    QVERIFY(sim.start({}));
    StationProcess station;
    station.configure(sim.device(), "interval_ms = 200\n");
    const QString socketPath = station.folder() + QStringLiteral("/notify");
    NotifySocket socket(socketPath);
    QVERIFY(socket.isBound());
    station.setVariable(QStringLiteral("NOTIFY_SOCKET"), socketPath);
    station.setVariable(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("3000000"));
    QVERIFY(station.start());
    QList<QByteArray> messages;
    int watchdogs = 0;
    QDeadlineTimer deadline(20000);
    while (watchdogs < 4 && !deadline.hasExpired()) {
        const QByteArray m = socket.next(500);
        if (!m.isEmpty()) {
            messages << m;
            watchdogs += m == "WATCHDOG=1" ? 1 : 0;
        }
    }
    QCOMPARE(watchdogs, 4);
    const qsizetype ready = messages.indexOf("READY=1");
    QVERIFY(ready >= 0);
    QVERIFY(ready < messages.indexOf("WATCHDOG=1"));
    QVERIFY(std::any_of(messages.begin(), messages.end(), [](const QByteArray& m) {
        return m.startsWith("STATUS=port open; last reading ");
    }));
    QCOMPARE(station.signalAndWait(SIGTERM), 0);
    bool stopping = false;
    for (QByteArray m = socket.next(200); !m.isEmpty(); m = socket.next(200)) {
        stopping = stopping || m == "STOPPING=1";
    }
    QVERIFY(stopping);
}

void tst_StationProgram::secondProgramWaitsForTheFirst() {
    SimulatorProcess sim;
    QVERIFY(sim.start({}));
    StationProcess first;
    first.configure(sim.device(), "interval_ms = 200\n");
    QVERIFY(first.start());
    QVERIFY(first.waitForLog(QStringLiteral("opened")));
    StationProcess second;
    second.configure(sim.device(), "interval_ms = 200\n");
    QVERIFY(second.start());
    const QString holder =
        QStringLiteral("el puerto lo usa brisora-station (pid %1)").arg(first.pid());
    QVERIFY2(second.waitForLog(holder), qPrintable(second.log()));
    // Killed outright: its lock file stays, naming it, and is taken over.
    first.kill();
    QVERIFY2(second.waitForLog(QStringLiteral("<6>port %1 reopened").arg(sim.device()), 30000),
             qPrintable(second.log()));
    QCOMPARE(second.signalAndWait(SIGTERM), 0);
    QVERIFY(!second.archivedReadings().isEmpty());
}

void tst_StationProgram::reloadKeepsTheOldSettingsOnABadFile() {
    SimulatorProcess sim;
    QVERIFY(sim.start({}));
    StationProcess station;
    station.configure(sim.device(), "interval_ms = 200\n");
    QVERIFY(station.start());
    QVERIFY(station.waitForLog(QStringLiteral("opened")));
    station.configure(sim.device(), "interval_ms = 200\nbogus = 1\n");
    QVERIFY(testsupport::signalPid(station.pid(), SIGHUP));
    QVERIFY2(station.waitForLog(QStringLiteral(
                 "<3>configuration not reloaded, the running settings stay: bogus: unknown key")),
             qPrintable(station.log()));
    station.configure(sim.device(), "interval_ms = 300\n");
    QVERIFY(testsupport::signalPid(station.pid(), SIGHUP));
    QVERIFY(station.waitForLog(QStringLiteral("configuration reloaded, restarting")));
    QVERIFY(station.waitForLog(QStringLiteral("interval_ms = 300")));
    QTRY_COMPARE_WITH_TIMEOUT(
        station.countInLog(QStringLiteral("port %1 opened").arg(sim.device())), 2, 20000);
    QCOMPARE(station.signalAndWait(SIGTERM), 0);
}

void tst_StationProgram::badConfigurationExitsTwoNamingTheKey_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown key") << QByteArray("colour = red\n") << QStringList()
                                 << "colour: unknown key";
    QTest::newRow("bad port path") << QByteArray("port = dev/ttyUSB0\n") << QStringList()
                                   << "port: must be an absolute device path";
    QTest::newRow("interval too short")
        << QByteArray() << QStringList{QStringLiteral("--interval_ms"), QStringLiteral("10")}
        << "interval_ms: 10 ms is shorter";
    QTest::newRow("unreadable file")
        << QByteArray()
        << QStringList{QStringLiteral("--config"), QStringLiteral("/nonexistent/x.conf")}
        << "config: cannot read /nonexistent/x.conf";
}

void tst_StationProgram::badConfigurationExitsTwoNamingTheKey() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    StationProcess station;
    station.configure(QStringLiteral("/dev/null"), file);
    for (const QString& mode : {QStringLiteral("--check-config"), QString()}) {
        QStringList args{QStringLiteral("--config"), station.configPath()};
        args << arguments;
        if (!mode.isEmpty()) {
            args << mode;
        }
        const auto run = station.runOnce(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }
}

void tst_StationProgram::checkConfigHelpAndVersion() {
    StationProcess station;
    station.configure(QStringLiteral("/dev/null"), "token = hush\n");
    const auto check = station.runOnce({QStringLiteral("--config"), station.configPath(),
                                        QStringLiteral("--check-config"),
                                        QStringLiteral("--station"), QStringLiteral("shed")});
    QCOMPARE(check.exitCode, 0);
    QVERIFY2(check.out.startsWith(QStringLiteral("port = /dev/null\nstation = shed\n")),
             qPrintable(check.out));
    QVERIFY(!check.out.contains(QStringLiteral("hush")));
    const auto help = station.runOnce({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(QStringLiteral("--check-config")));
    QVERIFY(help.out.contains(QStringLiteral("--mqtt.url")));
    const auto version = station.runOnce({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith(QStringLiteral("brisora-station ")));
}

QTEST_GUILESS_MAIN(tst_StationProgram)
#include "tst_StationProgram.moc"
