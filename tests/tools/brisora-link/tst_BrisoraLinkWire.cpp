// brisora-link against the station simulator, over a real pseudo-terminal: what the console
// sends, how it recovers a stalled station and what it makes of the replies.

#include "ProgramRun.h"
#include "SimulatorProcess.h"
#include "TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

constexpr int kRunLimitMs = 60000;
const QString kHumidityRequest = QStringLiteral("40 01 00 40 02 04 00 87");
const QString kPressureRequest = QStringLiteral("40 01 00 40 02 03 00 86");
const QString kReply512 = QStringLiteral("40 00 01 40 02 02 00 85");
const QString kErrorFrame = QStringLiteral("40 00 01 FF 02 00 00 42");

// The console's conversions of a raw reading, computed the same way it must compute them.
double humidityOf(int raw) {
    return ((raw * 50.0) / 39936) * 100 - 20.5;
}
double pressureOf(int raw) {
    return (raw * 500.0) / 4710.4 + 10.6521;
}

struct LinkRun {
    int exitCode = -1;
    QList<QJsonObject> lines;
    QString errors;

    QList<QJsonObject> exchanges() const {
        QList<QJsonObject> found;
        for (const QJsonObject& o : lines) {
            if (o.contains(QLatin1String("request"))) {
                found << o;
            }
        }
        return found;
    }
    QList<QJsonObject> ticks() const {
        QList<QJsonObject> found;
        for (const QJsonObject& o : lines) {
            if (o.contains(QLatin1String("tick"))) {
                found << o;
            }
        }
        return found;
    }
};

LinkRun runLink(const QString& port, int ticks) {
    QProcess link;
    link.start(testsupport::built(QStringLiteral("brisora-link")),
               {"--port", port, "--ticks", QString::number(ticks)});
    const testsupport::ProgramRun done = testsupport::finishRun(link, kRunLimitMs);
    LinkRun run;
    run.exitCode = done.exitCode;
    run.errors = done.err;
    for (const QString& line : done.out.split(u'\n')) {
        if (!line.trimmed().isEmpty()) {
            run.lines << QJsonDocument::fromJson(line.toUtf8()).object();
        }
    }
    return run;
}

// An exchange line's fields, in a form that compares readably.
QString describe(const QJsonObject& e) {
    QStringList flags;
    for (const char* flag : {"timeout", "transmission", "checksum", "unknown"}) {
        if (e.value(QLatin1String(flag)).toBool()) {
            flags << QLatin1String(flag);
        }
    }
    return e.value(QLatin1String("request")).toString() + QLatin1Char('|') +
           e.value(QLatin1String("sent")).toString() + QLatin1Char('|') +
           e.value(QLatin1String("received")).toString() + QLatin1Char('|') +
           flags.join(QLatin1Char(','));
}

double logTime(const QString& logLine) {
    return logLine.section(QLatin1Char(' '), 0, 0).toDouble();
}

} // namespace

class BrisoraLinkWireTest : public QObject {
    Q_OBJECT

private slots:
    void readingsOverTheWire_data();
    void readingsOverTheWire();
    void wrongCheckSumIsNotAReading_data();
    void wrongCheckSumIsNotAReading();
    void stationThatStallsOnEveryRequest();
    void stalledStationRecoveredWithinTheTick();
    void silentStationEndsTheTickWithTimeOut();
    void portThatCannotBeOpened();
    void interruptedTickIsNotSuccess();
};

void BrisoraLinkWireTest::readingsOverTheWire_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QStringList>("exchanges");
    QTest::addColumn<QList<double>>("values"); // humidity, pressure, per tick

    const QString ok = QStringLiteral("|");
    QTest::newRow("normal, two ticks")
        << "normal" << 2
        << QStringList{"humidity|" + kHumidityRequest + ok + kReply512 + ok,
                       "pressure|" + kPressureRequest + ok + kReply512 + ok,
                       "humidity|" + kHumidityRequest + ok + kReply512 + ok,
                       "pressure|" + kPressureRequest + ok + kReply512 + ok}
        << QList<double>{humidityOf(512), pressureOf(512), humidityOf(512), pressureOf(512)};
    // Data bytes equal to the start byte are data, not the start of a new frame.
    const QString at40 = QStringLiteral("40 00 01 40 02 40 40 03");
    QTest::newRow("data bytes 0x40") << "data40" << 1
                                     << QStringList{"humidity|" + kHumidityRequest + ok + at40 + ok,
                                                    "pressure|" + kPressureRequest + ok + at40 + ok}
                                     << QList<double>{humidityOf(0x4040), pressureOf(0x4040)};
    // Stray bytes on the line before a reply never shift it, not even the first reply after
    // start-up: each exchange collects its reply from the start byte.
    QTest::newRow("stray bytes before replies")
        << "stray:3" << 2
        << QStringList{"humidity|" + kHumidityRequest + ok + kReply512 + ok,
                       "pressure|" + kPressureRequest + ok + kReply512 + ok,
                       "humidity|" + kHumidityRequest + ok + kReply512 + ok,
                       "pressure|" + kPressureRequest + ok + kReply512 + ok}
        << QList<double>{humidityOf(512), pressureOf(512), humidityOf(512), pressureOf(512)};
}

void BrisoraLinkWireTest::readingsOverTheWire() {
    QFETCH(QString, mode);
    QFETCH(int, ticks);
    QFETCH(QStringList, exchanges);
    QFETCH(QList<double>, values);
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512", "--mode", mode}));

    const LinkRun run = runLink(sim.device(), ticks);
    QCOMPARE(run.exitCode, 0);
    QStringList seen;
    for (const QJsonObject& e : run.exchanges()) {
        seen << describe(e);
    }
    QCOMPARE(seen, exchanges);
    const QList<QJsonObject> tickLines = run.ticks();
    QCOMPARE(tickLines.size(), ticks);
    for (int i = 0; i < ticks; ++i) {
        QCOMPARE(tickLines[i].value(QLatin1String("tick")).toInt(), i + 1);
        // Printed with full round-trip precision: exactly the console's double.
        QCOMPARE(tickLines[i].value(QLatin1String("humidity")).toDouble(), values[2 * i]);
        QCOMPARE(tickLines[i].value(QLatin1String("pressure")).toDouble(), values[2 * i + 1]);
    }
}

void BrisoraLinkWireTest::wrongCheckSumIsNotAReading_data() {
    QTest::addColumn<QString>("fault"); // sent to the simulator before the run
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("exchanges");
    QTest::addColumn<QString>("tick");
    const QString badSum = QStringLiteral("40 00 01 40 02 02 00 86");
    // Regression: the spoilt frame was flagged but used as a reading.
    QTest::newRow("on every request")
        << "mode checksum" << 1
        << QStringList{"humidity|" + kHumidityRequest + "|" + badSum + "|checksum",
                       "humidity|" + kHumidityRequest + "|" + badSum + "|checksum"}
        << R"({"error":"Error de suma lógica","tick":1})";
    QTest::newRow("on one request only")
        << "once checksum" << 0
        << QStringList{"humidity|" + kHumidityRequest + "|" + badSum + "|checksum",
                       "humidity|" + kHumidityRequest + "|" + kReply512 + "|",
                       "pressure|" + kPressureRequest + "|" + kReply512 + "|"}
        << QString();
}

void BrisoraLinkWireTest::wrongCheckSumIsNotAReading() {
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    QFETCH(QStringList, exchanges);
    QFETCH(QString, tick);
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512"}));
    QVERIFY(sim.command(fault));

    const LinkRun run = runLink(sim.device(), 1);
    QCOMPARE(run.exitCode, exitCode);
    QStringList seen;
    for (const QJsonObject& e : run.exchanges()) {
        seen << describe(e);
    }
    QCOMPARE(seen, exchanges);
    QCOMPARE(run.ticks().size(), 1);
    if (tick.isEmpty()) {
        QCOMPARE(run.ticks()[0].value(QLatin1String("humidity")).toDouble(), humidityOf(512));
        QCOMPARE(run.ticks()[0].value(QLatin1String("pressure")).toDouble(), pressureOf(512));
    } else {
        QCOMPARE(QString::fromUtf8(QJsonDocument(run.ticks()[0]).toJson(QJsonDocument::Compact)),
                 tick);
    }
}

// Regression: a station that stalls on every request kept the tick asking for ever.
void BrisoraLinkWireTest::stationThatStallsOnEveryRequest() {
    SimulatorProcess sim;
    QVERIFY(sim.start({"--mode", "stall"}));

    const LinkRun run = runLink(sim.device(), 1);
    QCOMPARE(run.exitCode, 1);
    // About 2 s of silence and an error frame per request: the request goes out again until
    // the tick has gone 8 s without a reading. A slow machine may fit fewer in.
    const QList<QJsonObject> exchanges = run.exchanges();
    QVERIFY2(exchanges.size() >= 2 && exchanges.size() <= 5,
             qPrintable(QString::number(exchanges.size())));
    for (const QJsonObject& e : exchanges) {
        QCOMPARE(describe(e), "humidity|" + kHumidityRequest + "|" + kErrorFrame + "|transmission");
    }
    QCOMPARE(QJsonDocument(run.lines.last()).toJson(QJsonDocument::Compact),
             QByteArray(R"({"error":"Sin lecturas","tick":1})"));
}

void BrisoraLinkWireTest::stalledStationRecoveredWithinTheTick() {
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512", "--log"}));
    QVERIFY(sim.command(QStringLiteral("once stall:3")));

    const LinkRun run = runLink(sim.device(), 1);
    QCOMPARE(run.exitCode, 0);
    QStringList seen;
    for (const QJsonObject& e : run.exchanges()) {
        seen << describe(e);
    }
    // The error frame ends the stalled exchange; the same request goes out again at once.
    QCOMPARE(seen,
             (QStringList{"humidity|" + kHumidityRequest + "|" + kErrorFrame + "|transmission",
                          "humidity|" + kHumidityRequest + "|" + kReply512 + "|",
                          "pressure|" + kPressureRequest + "|" + kReply512 + "|"}));
    QCOMPARE(run.ticks().size(), 1);
    QCOMPARE(run.ticks()[0].value(QLatin1String("humidity")).toDouble(), humidityOf(512));

    // On the wire: request, three reply bytes, then (after the console's silence limit) one
    // unlock byte, the error frame, the request again and the rest of the tick.
    sim.terminate();
    const QStringList events = sim.wireEvents();
    const QStringList expected = QStringList{
        "rx 40", "rx 01", "rx 00", "rx 40", "rx 02", "rx 04", "rx 00", "rx 87", "tx 40", "tx 00",
        "tx 01", "rx 01", "tx 40", "tx 00", "tx 01", "tx FF", "tx 02", "tx 00", "tx 00", "tx 42"};
    QCOMPARE(events.mid(0, expected.size()), expected);
    QCOMPARE(events.size(), expected.size() + 32);
    QCOMPARE(events.count(QStringLiteral("rx 01")), 1 + 3); // the unlock + three destinations

    // The unlock byte never comes early: about 2 s of silence after the last reply byte.
    QStringList byteLines = sim.log().split(QLatin1Char('\n')).filter(QStringLiteral(" tx "));
    QStringList rxLines = sim.log().split(QLatin1Char('\n')).filter(QStringLiteral(" rx "));
    const double lastStalledByte = logTime(byteLines.at(2));
    const double unlock = logTime(rxLines.at(8));
    QVERIFY2(unlock - lastStalledByte >= 1800,
             qPrintable(QString::number(unlock - lastStalledByte)));
}

void BrisoraLinkWireTest::silentStationEndsTheTickWithTimeOut() {
    SimulatorProcess sim;
    QVERIFY(sim.start({"--mode", "silent", "--log"}));

    const LinkRun run = runLink(sim.device(), 1);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.exchanges().size(), 1);
    QVERIFY(run.exchanges()[0].value(QLatin1String("timeout")).toBool());
    QCOMPARE(QJsonDocument(run.lines.last()).toJson(QJsonDocument::Compact),
             QByteArray(R"({"error":"Error de tiempo","tick":1})"));

    // The first unlock after 2 s of silence, then one every 150 ms until the 8 s limit: never
    // more than 41 of them, and with a slow machine still a good number.
    sim.terminate();
    const QStringList events = sim.wireEvents();
    const qsizetype unlocks = events.count(QStringLiteral("rx 01")) - 1;
    QVERIFY2(unlocks >= 10 && unlocks <= 42, qPrintable(QString::number(unlocks)));
    QCOMPARE(events.filter(QStringLiteral("tx")).size(), 0);
}

void BrisoraLinkWireTest::portThatCannotBeOpened() {
    const LinkRun run = runLink(QStringLiteral("/nonexistent/ttyBRISORA"), 1);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.errors.contains(QLatin1String("/nonexistent/ttyBRISORA")));
    QVERIFY(run.lines.isEmpty());
}

// Regression: a run stopped by a signal in the middle of its only tick exited with success.
void BrisoraLinkWireTest::interruptedTickIsNotSuccess() {
    SimulatorProcess sim;
    QVERIFY(sim.start({"--mode", "silent"}));
    QProcess link;
    link.start(testsupport::built(QStringLiteral("brisora-link")),
               {"--port", sim.device(), "--ticks", "1"});
    QVERIFY(link.waitForStarted(kRunLimitMs));
    // Well inside the 8 s the silent station's tick waits, even on a slow machine.
    QTest::qWait(1000);
    link.terminate();
    QVERIFY(link.waitForFinished(kRunLimitMs));
    QCOMPARE(link.exitStatus(), QProcess::NormalExit);
    QCOMPARE(link.exitCode(), 1);
}

QTEST_GUILESS_MAIN(BrisoraLinkWireTest)
#include "tst_BrisoraLinkWire.moc"
