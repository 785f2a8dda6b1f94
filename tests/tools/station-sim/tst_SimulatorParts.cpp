// The simulator's readings, fault names, command lines and output pacing.

#include "Fault.h"
#include "OutputSchedule.h"
#include "SimCommand.h"
#include "SimOptions.h"
#include "StationReadings.h"

#include <QTest>

using namespace stationsim;

namespace {

// The console's conversions, which the station's raw values must survive.
double consoleHumidity(std::uint16_t raw) {
    return ((raw * 50.0) / 39936) * 100 - 20.5;
}
double consolePressure(std::uint16_t raw) {
    return (raw * 500.0) / 4710.4 + 10.6521;
}

} // namespace

class SimulatorPartsTest : public QObject {
    Q_OBJECT

private slots:
    void rawValuesInvertTheConsoleConversions();
    void driftingReadingsStayPlausible();
    void seedMakesReadingsRepeatable();
    void faultTexts_data();
    void faultTexts();
    void signalCycleVisitsEveryFault();
    void commands_data();
    void commands();
    void options_data();
    void options();
    void scheduleUnpaced();
    void schedulePacedAndGaps();
    void unlockAnswerSupersedesPendingBytes();
};

void SimulatorPartsTest::rawValuesInvertTheConsoleConversions() {
    QCOMPARE(StationReadings::humidityToRaw(43.6025641025641), std::uint16_t(512));
    QCOMPARE(StationReadings::pressureToRaw(64.99992607), std::uint16_t(512));
    QCOMPARE(StationReadings::humidityToRaw(107.5799278), std::uint16_t(1023));
    QCOMPARE(StationReadings::pressureToRaw(119.2416040), std::uint16_t(1023));
    // Out of the 16-bit range: clamped rather than wrapped.
    QCOMPARE(StationReadings::humidityToRaw(-50), std::uint16_t(0));
    QCOMPARE(StationReadings::pressureToRaw(1e6), std::uint16_t(65535));
}

void SimulatorPartsTest::driftingReadingsStayPlausible() {
    StationReadings readings(42);
    // One raw step is about 0.125 % and 0.106 kPa, so allow one step beyond the band.
    double lowH = 1e9, highH = -1e9;
    for (int i = 0; i < 20000; ++i) {
        const double h = consoleHumidity(readings.nextHumidityRaw());
        const double p = consolePressure(readings.nextPressureRaw());
        QVERIFY2(h >= 29.8 && h <= 90.2, qPrintable(QString::number(h)));
        QVERIFY2(p >= 94.9 && p <= 103.1, qPrintable(QString::number(p)));
        lowH = std::min(lowH, h);
        highH = std::max(highH, h);
    }
    // It does drift, slowly: consecutive samples are close, but it wanders over time.
    QVERIFY(highH - lowH > 5);
    const double a = consoleHumidity(readings.nextHumidityRaw());
    const double b = consoleHumidity(readings.nextHumidityRaw());
    QVERIFY(std::abs(a - b) < 0.5);
}

void SimulatorPartsTest::seedMakesReadingsRepeatable() {
    StationReadings a(5), b(5), c(6);
    bool differs = false;
    for (int i = 0; i < 50; ++i) {
        const std::uint16_t ra = a.nextHumidityRaw();
        QCOMPARE(ra, b.nextHumidityRaw());
        differs = differs || ra != c.nextHumidityRaw();
    }
    QVERIFY(differs);
}

void SimulatorPartsTest::faultTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical"); // empty: refused
    QTest::newRow("normal") << "normal"
                            << "normal";
    QTest::newRow("stall default") << "stall"
                                   << "stall:0";
    QTest::newRow("stall 7") << "stall:7"
                             << "stall:7";
    QTest::newRow("stall 8") << "stall:8"
                             << "";
    QTest::newRow("stray default") << "stray"
                                   << "stray:3";
    QTest::newRow("stray 0") << "stray:0"
                             << "";
    QTest::newRow("slow") << "slow:2000"
                          << "slow:2000";
    QTest::newRow("slow negative") << "slow:-5"
                                   << "";
    QTest::newRow("slow junk") << "slow:5x"
                               << "";
    QTest::newRow("slow empty") << "slow:"
                                << "";
    QTest::newRow("arg where none") << "silent:1"
                                    << "";
    QTest::newRow("unknown") << "sleepy"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
}

void SimulatorPartsTest::faultTexts() {
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    const std::optional<Fault> fault = Fault::parse(text.toStdString());
    QCOMPARE(fault.has_value(), !canonical.isEmpty());
    if (fault) {
        QCOMPARE(QString::fromStdString(fault->toString()), canonical);
        QCOMPARE(Fault::parse(fault->toString()), fault);
    }
}

void SimulatorPartsTest::signalCycleVisitsEveryFault() {
    QStringList seen;
    Fault f;
    do {
        seen << QString::fromStdString(f.toString());
        f = f.next();
    } while (!(f == Fault{}) && seen.size() < 20);
    QCOMPARE(seen, (QStringList{"normal", "silent", "stall:0", "checksum", "data40", "stray:3",
                                "unlock-data:0", "slow:100"}));
}

void SimulatorPartsTest::commands_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind"); // -1: refused
    QTest::addColumn<QString>("fault");
    using K = SimCommand::Kind;
    QTest::newRow("blank") << "  " << int(K::Empty) << "normal";
    QTest::newRow("mode") << "mode silent" << int(K::Mode) << "silent";
    QTest::newRow("mode, arg after colon") << "mode stall:4" << int(K::Mode) << "stall:4";
    QTest::newRow("mode, arg as a word") << "mode stall 4" << int(K::Mode) << "stall:4";
    QTest::newRow("once") << "once checksum" << int(K::Once) << "checksum";
    QTest::newRow("status") << "status" << int(K::Status) << "normal";
    QTest::newRow("quit") << "quit" << int(K::Quit) << "normal";
    QTest::newRow("mode missing") << "mode" << -1 << "";
    QTest::newRow("bad fault") << "once stall 9" << -1 << "";
    QTest::newRow("extra words") << "quit now" << -1 << "";
    QTest::newRow("unknown verb") << "reboot" << -1 << "";
}

void SimulatorPartsTest::commands() {
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, fault);
    std::string error;
    const std::optional<SimCommand> command = SimCommand::parse(line.toStdString(), error);
    QCOMPARE(command.has_value(), kind >= 0);
    if (command) {
        QCOMPARE(int(command->kind), kind);
        QCOMPARE(QString::fromStdString(command->fault.toString()), fault);
    } else {
        QVERIFY(!error.empty());
    }
}

void SimulatorPartsTest::options_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error"); // substring of the complaint; empty: accepted
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("all") << QStringList{"--device",
                                        "/dev/ttyUSB0",
                                        "--link",
                                        "/tmp/com2",
                                        "--mode",
                                        "slow:300",
                                        "--paced",
                                        "--humidity-raw",
                                        "512",
                                        "--pressure-raw",
                                        "0",
                                        "--seed",
                                        "9",
                                        "--log",
                                        "--exit-on-eof"}
                         << "";
    QTest::newRow("raw too big") << QStringList{"--humidity-raw", "65536"} << "0-65535";
    QTest::newRow("raw negative") << QStringList{"--pressure-raw", "-1"} << "0-65535";
    QTest::newRow("bad mode") << QStringList{"--mode", "stall:99"} << "unknown mode";
    QTest::newRow("value missing") << QStringList{"--seed"} << "needs a value";
    QTest::newRow("unknown") << QStringList{"--turbo"} << "unknown argument";
}

void SimulatorPartsTest::options() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    std::vector<std::string> argv;
    for (const QString& a : args) {
        argv.push_back(a.toStdString());
    }
    std::string complaint;
    const std::optional<SimOptions> o = SimOptions::parse(argv, complaint);
    QCOMPARE(o.has_value(), error.isEmpty());
    QVERIFY2(QString::fromStdString(complaint).contains(error), complaint.c_str());
    if (o && args.size() > 2) {
        QCOMPARE(o->device, std::string("/dev/ttyUSB0"));
        QCOMPARE(o->link, std::string("/tmp/com2"));
        QCOMPARE(o->mode.toString(), std::string("slow:300"));
        QVERIFY(o->paced && o->log && o->exitOnEof && !o->help);
        QCOMPARE(o->humidityRaw, std::optional<std::uint16_t>(512));
        QCOMPARE(o->pressureRaw, std::optional<std::uint16_t>(0));
        QCOMPARE(o->seed, 9U);
    }
}

void SimulatorPartsTest::scheduleUnpaced() {
    OutputSchedule schedule(false);
    schedule.enqueue({{1, 2, 3}, 0, false}, 1000);
    QCOMPARE(schedule.takeDue(999), std::vector<std::uint8_t>{});
    QCOMPARE(schedule.takeDue(1000), (std::vector<std::uint8_t>{1, 2, 3}));
    QVERIFY(schedule.empty());
}

void SimulatorPartsTest::schedulePacedAndGaps() {
    const std::int64_t byte = OutputSchedule::kByteTimeNs;
    const std::int64_t ms = 1'000'000;
    OutputSchedule paced(true);
    paced.enqueue({{1, 2}, 0, false}, 0);
    // A byte is handed over once its ten bits would have arrived.
    QCOMPARE(paced.nextDueNs(), std::optional<std::int64_t>(byte));
    QCOMPARE(paced.takeDue(byte), std::vector<std::uint8_t>{1});
    QCOMPARE(paced.nextDueNs(), std::optional<std::int64_t>(2 * byte));
    // A transmission queued behind another starts after it, not before.
    paced.enqueue({{3}, 0, false}, 0);
    QCOMPARE(paced.takeDue(3 * byte), (std::vector<std::uint8_t>{2, 3}));

    OutputSchedule slow(false);
    slow.enqueue({{1, 2, 3}, 250, false}, 0);
    QCOMPARE(slow.takeDue(0), std::vector<std::uint8_t>{1});
    QCOMPARE(slow.takeDue(250 * ms - 1), std::vector<std::uint8_t>{});
    QCOMPARE(slow.takeDue(250 * ms), std::vector<std::uint8_t>{2});
    // A line that took only part of a write gets the rest first, at once.
    slow.putBack({7, 8, 9}, 1, 250 * ms);
    QCOMPARE(slow.takeDue(250 * ms), (std::vector<std::uint8_t>{8, 9}));
    QCOMPARE(slow.nextDueNs(), std::optional<std::int64_t>(500 * ms));
}

void SimulatorPartsTest::unlockAnswerSupersedesPendingBytes() {
    OutputSchedule schedule(false);
    schedule.enqueue({{1, 2, 3}, 3000, false}, 0);
    QCOMPARE(schedule.takeDue(0), std::vector<std::uint8_t>{1});
    schedule.enqueue({{9, 9}, 0, true}, 2000);
    QCOMPARE(schedule.takeDue(10'000'000'000), (std::vector<std::uint8_t>{9, 9}));
}

QTEST_GUILESS_MAIN(SimulatorPartsTest)
#include "tst_SimulatorParts.moc"
