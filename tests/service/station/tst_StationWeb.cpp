// brisora-station's web outlet against the simulator: a WebSocket client of /api/live gets
// every tick the service archives, in order, none lost or twice; the page's API answers with
// the station's own readings.

#include "StationProcess.h"

#include "SimulatorProcess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QWebSocket>
#include <QtTest>

#include <csignal>

namespace {

// A port free a moment ago on the loopback address.
quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

class tst_StationWeb : public QObject {
    Q_OBJECT
private slots:
    void liveFeedCarriesEveryArchivedTick();
};

void tst_StationWeb::liveFeedCarriesEveryArchivedTick() {
    SimulatorProcess sim;
    QVERIFY(sim.start({QStringLiteral("--humidity-raw"), QStringLiteral("20000"),
                       QStringLiteral("--pressure-raw"), QStringLiteral("30000")}));
    const quint16 port = freePort();
    QVERIFY(port != 0);
    StationProcess station;
    station.configure(
        sim.device(),
        "interval_ms = 200\nstation = roof\nlisten = 127.0.0.1:" + QByteArray::number(port) + "\n",
        true);
    QVERIFY(station.start());
    QVERIFY2(station.waitForLog(QStringLiteral("web page at")), qPrintable(station.log()));

    QWebSocket client;
    QList<QJsonObject> ticks;
    QJsonObject hello;
    connect(&client, &QWebSocket::textMessageReceived, this, [&](const QString& text) {
        const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
        if (m.value("type").toString() == u"hello") {
            hello = m;
        } else if (m.value("type").toString() == u"tick") {
            ticks << m;
        }
    });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port)));
    QTRY_VERIFY_WITH_TIMEOUT(!hello.isEmpty(), 20000);
    QCOMPARE(hello.value("station").toString(), QStringLiteral("roof"));
    QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 10, 30000);

    QCOMPARE(station.signalAndWait(SIGTERM), 0);
    QTRY_COMPARE_WITH_TIMEOUT(int(client.state()), int(QAbstractSocket::UnconnectedState), 10000);
    // The ticks counted since start, from where the client came in, one after another.
    const int first = ticks.first().value("n").toInt();
    for (int i = 0; i < ticks.size(); ++i) {
        QCOMPARE(ticks.at(i).value("n").toInt(), first + i);
    }
    const qint64 archived = station.archivedReadings().size() + station.archivedFailures();
    QCOMPARE(qint64(first - 1 + ticks.size()), archived);
    for (const QJsonObject& t : ticks) {
        if (t.value("kind").toString() == u"reading") {
            QCOMPARE(t.value("raw_humidity").toInt(), 20000);
            QCOMPARE(t.value("raw_pressure").toInt(), 30000);
        }
    }
}

QTEST_MAIN(tst_StationWeb)
#include "tst_StationWeb.moc"
