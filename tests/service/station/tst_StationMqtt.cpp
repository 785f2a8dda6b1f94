// brisora-station with an [mqtt] section, against the simulator on a pseudo-terminal and a
// mosquitto broker of the test's own.

#include "MosquittoBroker.h"
#include "MqttOutlet.h"
#include "SimulatorProcess.h"
#include "StationProcess.h"
#include "TestSubscriber.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <csignal>

using testsupport::MosquittoBroker;
using testsupport::ReceivedMessage;
using testsupport::TestSubscriber;

namespace {

constexpr int kHumidityRaw = 20000;
constexpr int kPressureRaw = 30000;
constexpr char kState[] = "brisora/roof/state";
constexpr char kAvailability[] = "brisora/roof/availability";

QByteArray mqttSection(const MosquittoBroker& broker) {
    return "interval_ms = 200\nstation = roof\n[mqtt]\nurl = " + broker.url().toUtf8() + "\n";
}

TestSubscriber::Settings watching(const MosquittoBroker& broker) {
    TestSubscriber::Settings s;
    s.port = broker.port();
    s.filter = "brisora/roof/#";
    return s;
}

} // namespace

class tst_StationMqtt : public QObject {
    Q_OBJECT

private slots:
    void configMapsOntoThePublisher();
    void eachTickGivesOneStateMessage();
    void killedStationGoesOffline();
};

void tst_StationMqtt::configMapsOntoThePublisher() {
    service::StationConfig config;
    config.station = QStringLiteral("roof");
    config.intervalMs = 500;
    config.mqtt.url = QStringLiteral("mqtts://broker:8883");
    config.mqtt.username = QStringLiteral("station");
    config.mqtt.passwordFile = QStringLiteral("/etc/brisora/mqtt-password");
    config.mqtt.caFile = QStringLiteral("/etc/brisora/ca.pem");
    config.mqtt.clientId = QStringLiteral("roof-client");
    config.mqtt.topicPrefix = QStringLiteral("home/roof");
    config.mqtt.discoveryPrefix = QStringLiteral("off");
    config.mqtt.qos = 2;
    const mqtt::MqttOptions o = service::mqttOptionsFrom(config);
    QCOMPARE(o.url, config.mqtt.url);
    QCOMPARE(o.username, config.mqtt.username);
    QCOMPARE(o.passwordFile, config.mqtt.passwordFile);
    QCOMPARE(o.caFile, config.mqtt.caFile);
    QCOMPARE(o.station, QStringLiteral("roof"));
    QCOMPARE(o.clientId, QStringLiteral("roof-client"));
    QCOMPARE(o.topicPrefix, QStringLiteral("home/roof"));
    QCOMPARE(o.discoveryPrefix, QStringLiteral("off"));
    QCOMPARE(o.qos, 2);
    QCOMPARE(o.queueLimit, 172800); // a day of ticks at 500 ms
}

void tst_StationMqtt::eachTickGivesOneStateMessage() {
    MosquittoBroker broker;
    START_BROKER(broker);
    TestSubscriber sub(watching(broker));
    QVERIFY(sub.start());
    SimulatorProcess sim;
    QVERIFY(sim.start({QStringLiteral("--humidity-raw"), QString::number(kHumidityRaw),
                       QStringLiteral("--pressure-raw"), QString::number(kPressureRaw)}));
    StationProcess station;
    station.configure(sim.device(), mqttSection(broker));
    QVERIFY(station.start());
    QVERIFY2(sub.waitForCount(kState, 5, 20000), qPrintable(station.log()));
    QCOMPARE(station.signalAndWait(SIGTERM), 0);
    QVERIFY2(sub.waitForLast(kAvailability, "offline"), qPrintable(station.log()));

    // Every archived tick, and only those, reached the broker, in order, before "offline".
    const QList<QPair<int, int>> archived = station.archivedReadings();
    const QList<ReceivedMessage> states = sub.on(kState);
    QCOMPARE(states.size(), archived.size());
    qint64 previous = 0;
    for (const ReceivedMessage& m : states) {
        const QJsonObject s = QJsonDocument::fromJson(m.payload).object();
        QCOMPARE(s.value("raw_humidity").toInt(), kHumidityRaw);
        QCOMPARE(s.value("raw_pressure").toInt(), kPressureRaw);
        QVERIFY(s.value("humidity_pct").isDouble());
        QVERIFY(s.value("pressure_kpa").isDouble());
        QVERIFY(s.value("time_ms").toInteger() > previous);
        previous = s.value("time_ms").toInteger();
    }
    QCOMPARE(sub.messages().last().payload, QByteArray("offline"));
    QVERIFY(station.log().contains("<6>MQTT: connected to the broker"));
}

void tst_StationMqtt::killedStationGoesOffline() {
    MosquittoBroker broker;
    START_BROKER(broker);
    TestSubscriber sub(watching(broker));
    QVERIFY(sub.start());
    SimulatorProcess sim;
    QVERIFY(sim.start({}));
    StationProcess station;
    station.configure(sim.device(), mqttSection(broker));
    QVERIFY(station.start());
    QVERIFY2(sub.waitForLast(kAvailability, "online", 20000), qPrintable(station.log()));
    station.kill(); // SIGKILL: the broker publishes the last will
    QVERIFY(sub.waitForLast(kAvailability, "offline"));

    QVERIFY(station.start());
    QVERIFY2(sub.waitForLast(kAvailability, "online", 20000), qPrintable(station.log()));
}

QTEST_GUILESS_MAIN(tst_StationMqtt)
#include "tst_StationMqtt.moc"
