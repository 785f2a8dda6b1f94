// The publisher against a real mosquitto broker on the loopback address, watched by a
// subscriber of the test's own.

#include "MosquittoBroker.h"
#include "PublisherRig.h"
#include "TestFiles.h"
#include "TestSubscriber.h"
#include "mqtt/MqttPublisher.h"

#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using mqtttest::failure;
using mqtttest::json;
using mqtttest::LogSink;
using mqtttest::reading;
using testsupport::MosquittoBroker;
using testsupport::ReceivedMessage;
using testsupport::TestSubscriber;

namespace {

constexpr char kStateTopic[] = "brisora/roof/state";
constexpr char kEventTopic[] = "brisora/roof/event";
constexpr char kLinkTopic[] = "brisora/roof/link";
constexpr char kAvailabilityTopic[] = "brisora/roof/availability";

mqtt::MqttOptions optionsFor(const MosquittoBroker& broker) {
    mqtt::MqttOptions o;
    o.url = broker.url();
    o.station = QStringLiteral("roof");
    return o;
}

TestSubscriber::Settings watching(const MosquittoBroker& broker, const QByteArray& filter) {
    TestSubscriber::Settings s;
    s.port = broker.port();
    s.filter = filter;
    return s;
}

QList<qint64> stateTimes(const TestSubscriber& subscriber) {
    QList<qint64> times;
    for (const ReceivedMessage& m : subscriber.on(kStateTopic)) {
        times.append(json(m.payload).value(QLatin1String("time_ms")).toInteger());
    }
    return times;
}

QList<qint64> tickTimes(int first, int last) {
    QList<qint64> times;
    for (int i = first; i <= last; ++i) {
        times.append(reading(i).timeMs);
    }
    return times;
}

QByteArrayList payloads(const QList<ReceivedMessage>& messages) {
    QByteArrayList list;
    for (const ReceivedMessage& m : messages) {
        list.append(m.payload);
    }
    return list;
}

// A broker that takes only the user "station" with the password "right horse".
MosquittoBroker::Settings passwordBroker() {
    MosquittoBroker::Settings settings;
    settings.user = QStringLiteral("station");
    settings.password = QStringLiteral("right horse");
    return settings;
}

// Options that log in as "station" with the password read from a file holding \a content.
mqtt::MqttOptions loggingInWith(const MosquittoBroker& broker, const QTemporaryDir& dir,
                                const QByteArray& content) {
    const QString passwordFile = dir.filePath(QStringLiteral("password"));
    QFile file(passwordFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
    mqtt::MqttOptions options = optionsFor(broker);
    options.username = QStringLiteral("station");
    options.passwordFile = passwordFile;
    return options;
}

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// The field a discovery template such as "{{ value_json.humidity_pct }}" takes from the state.
QString templateField(const QString& valueTemplate) {
    static const QRegularExpression re(QStringLiteral(R"(^\{\{\s*value_json\.(\w+)\s*\}\}$)"));
    const QRegularExpressionMatch m = re.match(valueTemplate);
    return m.hasMatch() ? m.captured(1) : QString();
}

// A self-signed certificate for 127.0.0.1 and its key, <name>.pem and <name>.key in `dir`;
// false when openssl is missing or fails.
bool makeCertificate(const QString& dir, const QString& name) {
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty()) {
        return false;
    }
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(openssl,
            {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
             "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
             "-keyout", dir + "/" + name + ".key", "-out", dir + "/" + name + ".pem"});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class tst_MqttPublisher : public QObject {
    Q_OBJECT

private slots:
    void discoveryDescribesTheStateMessages();
    void eachTickGivesOneMessage();
    void shutdownPublishesOfflineAfterTheQueue();
    void killedPublisherLeavesOffline();
    void brokerRestartLosesAndRepeatsNothing();
    void queueLimitDropsTheOldest();
    void wrongPasswordLoggedOnceWithoutBusyLoop();
    void rightPasswordConnects();
    void tlsChecksTheBrokersCertificate();
};

void tst_MqttPublisher::discoveryDescribesTheStateMessages() {
    MosquittoBroker broker;
    START_BROKER(broker);
    TestSubscriber states(watching(broker, kStateTopic));
    QVERIFY(states.start());
    LogSink log;
    mqtt::MqttPublisher publisher(optionsFor(broker), log.function());
    QString error;
    QCOMPARE(publisher.start(&error), com::S_OK);
    const archive::Entry tick = reading(1);
    publisher.publish(tick);
    QVERIFY(states.waitForCount(kStateTopic, 1));
    const QJsonObject state = json(states.on(kStateTopic).first().payload);

    // A client that comes later still finds the configurations: they are retained.
    TestSubscriber late(watching(broker, "homeassistant/#"));
    QVERIFY(late.start());
    QVERIFY(late.waitUntil([](const auto& all) { return all.size() >= 3; }));
    QTest::qWait(200);
    const QList<ReceivedMessage> configs = late.messages();
    QCOMPARE(configs.size(), 3);

    struct Expected {
        QByteArray topic;
        QString name;
        QString deviceClass;
        QString unit;
        QString stateTopic;
        double value;
    };
    const QList<Expected> expected{
        {"homeassistant/sensor/brisora_roof/humidity/config", "Humidity", "humidity", "%",
         kStateTopic, tick.humidityPct},
        {"homeassistant/sensor/brisora_roof/pressure/config", "Pressure", "atmospheric_pressure",
         "kPa", kStateTopic, tick.pressureKpa},
        {"homeassistant/binary_sensor/brisora_roof/link/config", "Station link", "connectivity",
         QString(), kLinkTopic, 0},
    };
    QJsonObject firstDevice;
    for (const Expected& e : expected) {
        const auto it = std::find_if(configs.begin(), configs.end(),
                                     [&](const ReceivedMessage& m) { return m.topic == e.topic; });
        QVERIFY2(it != configs.end(), e.topic.constData());
        QVERIFY2(it->retained, e.topic.constData());
        QJsonParseError parseError{};
        const QJsonObject c = QJsonDocument::fromJson(it->payload, &parseError).object();
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QCOMPARE(c.value("name").toString(), e.name);
        QCOMPARE(c.value("unique_id").toString(), "brisora_roof_" + e.topic.split('/').at(3));
        QCOMPARE(c.value("device_class").toString(), e.deviceClass);
        QCOMPARE(c.value("state_topic").toString(), e.stateTopic);
        QCOMPARE(c.value("availability_topic").toString(), QString(kAvailabilityTopic));
        const QJsonObject device = c.value("device").toObject();
        QCOMPARE(device.value("identifiers").toArray(), QJsonArray{"brisora_roof"});
        QCOMPARE(device.value("sw_version").toString(), QString(BRISORA_VERSION));
        QVERIFY(!device.value("name").toString().isEmpty());
        QVERIFY(!device.value("model").toString().isEmpty());
        if (firstDevice.isEmpty()) {
            firstDevice = device;
        }
        QCOMPARE(device, firstDevice); // one device for all three
        if (e.unit.isEmpty()) {
            QCOMPARE(c.value("payload_on").toString(), "ON");
            QCOMPARE(c.value("payload_off").toString(), "OFF");
            continue;
        }
        QCOMPARE(c.value("unit_of_measurement").toString(), e.unit);
        QCOMPARE(c.value("state_class").toString(), "measurement");
        const QString field = templateField(c.value("value_template").toString());
        QVERIFY2(state.contains(field), qPrintable(c.value("value_template").toString()));
        QCOMPARE(state.value(field).toDouble(), e.value);
    }

    TestSubscriber retained(watching(broker, "brisora/roof/#"));
    QVERIFY(retained.start());
    QVERIFY(retained.waitForLast(kAvailabilityTopic, "online"));
    QVERIFY(retained.waitForLast(kLinkTopic, "ON"));
    QVERIFY(retained.on(kAvailabilityTopic).first().retained);
    QVERIFY(retained.on(kStateTopic).isEmpty()); // states are not retained
}

void tst_MqttPublisher::eachTickGivesOneMessage() {
    MosquittoBroker broker;
    START_BROKER(broker);
    TestSubscriber sub(watching(broker, "brisora/roof/#"));
    QVERIFY(sub.start());
    LogSink log;
    mqtt::MqttPublisher publisher(optionsFor(broker), log.function());
    QString error;
    QCOMPARE(publisher.start(&error), com::S_OK);

    // A kind this build has no name for stands for those added later.
    const auto laterKind = static_cast<archive::EntryKind>(0xEE);
    const QList<archive::Entry> ticks{reading(1),
                                      reading(2),
                                      failure(3, archive::EntryKind::Timeout),
                                      failure(4, archive::EntryKind::PortLost),
                                      reading(5),
                                      failure(6, laterKind),
                                      failure(7, archive::EntryKind::PortCannotOpen),
                                      reading(8)};
    for (const archive::Entry& e : ticks) {
        publisher.publish(e);
    }
    QVERIFY(sub.waitForCount(kStateTopic, 4));
    QVERIFY(sub.waitForCount(kEventTopic, 4));
    QVERIFY(sub.waitForCount(kLinkTopic, 5));
    QTest::qWait(300); // nothing more comes

    const QList<ReceivedMessage> states = sub.on(kStateTopic);
    QCOMPARE(states.size(), 4);
    QCOMPARE(states.at(0).payload,
             QByteArray(R"({"humidity_pct":40.5,"pressure_kpa":101.01,"raw_humidity":401,)"
                        R"("raw_pressure":801,"time":"2023-11-14T22:13:21.000Z",)"
                        R"("time_ms":1700000001000})"));
    const QList<int> readingTicks{1, 2, 5, 8};
    for (int i = 0; i < readingTicks.size(); ++i) {
        const archive::Entry e = reading(readingTicks.at(i));
        const QJsonObject s = json(states.at(i).payload);
        QCOMPARE(s.value("time_ms").toInteger(), e.timeMs);
        QCOMPARE(s.value("humidity_pct").toDouble(), e.humidityPct);
        QCOMPARE(s.value("pressure_kpa").toDouble(), e.pressureKpa);
        QCOMPARE(s.value("raw_humidity").toInt(), e.rawHumidity);
        QCOMPARE(s.value("raw_pressure").toInt(), e.rawPressure);
        QVERIFY(!states.at(i).retained);
    }
    QCOMPARE(
        payloads(sub.on(kEventTopic)),
        (QByteArrayList{
            R"({"kind":"timeout","time":"2023-11-14T22:13:23.000Z","time_ms":1700000003000})",
            R"({"kind":"port_lost","time":"2023-11-14T22:13:24.000Z","time_ms":1700000004000})",
            R"({"kind":"unknown","time":"2023-11-14T22:13:26.000Z","time_ms":1700000006000})",
            R"({"kind":"port_cannot_open","time":"2023-11-14T22:13:27.000Z",)"
            R"("time_ms":1700000007000})"}));
    QCOMPARE(payloads(sub.on(kLinkTopic)), (QByteArrayList{"ON", "OFF", "ON", "OFF", "ON"}));
}

void tst_MqttPublisher::shutdownPublishesOfflineAfterTheQueue() {
    MosquittoBroker broker;
    START_BROKER(broker);
    TestSubscriber sub(watching(broker, "brisora/roof/#"));
    QVERIFY(sub.start());
    LogSink log;
    mqtt::MqttPublisher publisher(optionsFor(broker), log.function());
    QString error;
    QCOMPARE(publisher.start(&error), com::S_OK);
    QVERIFY(sub.waitForLast(kAvailabilityTopic, "online"));
    for (int i = 1; i <= 20; ++i) {
        publisher.publish(reading(i));
    }
    publisher.shutdown();

    QVERIFY(sub.waitForLast(kAvailabilityTopic, "offline"));
    QCOMPARE(stateTimes(sub), tickTimes(1, 20));
    const QList<ReceivedMessage> all = sub.messages();
    QCOMPARE(all.last().topic, QByteArray(kAvailabilityTopic)); // after every state
    TestSubscriber late(watching(broker, kAvailabilityTopic));
    QVERIFY(late.start());
    QVERIFY(late.waitForLast(kAvailabilityTopic, "offline"));
    QVERIFY(late.on(kAvailabilityTopic).first().retained);
}

void tst_MqttPublisher::killedPublisherLeavesOffline() {
    MosquittoBroker broker;
    START_BROKER(broker);
    TestSubscriber sub(watching(broker, kAvailabilityTopic));
    QVERIFY(sub.start());
    QProcess helper;
    const auto stopHelper = qScopeGuard([&] {
        helper.kill();
        helper.waitForFinished();
    });
    const QString program = testsupport::built(QStringLiteral("mqtt_publisher_helper"));
    helper.start(program, {broker.url(), QStringLiteral("roof")});
    QVERIFY2(helper.waitForStarted(), qPrintable(helper.errorString()));
    QVERIFY(sub.waitForLast(kAvailabilityTopic, "online"));

    helper.kill(); // SIGKILL: no chance to say goodbye; the broker publishes the last will
    QVERIFY(helper.waitForFinished());
    QVERIFY(sub.waitForLast(kAvailabilityTopic, "offline"));

    helper.start(program, {broker.url(), QStringLiteral("roof")});
    QVERIFY(sub.waitForLast(kAvailabilityTopic, "online"));
    helper.terminate(); // SIGTERM: the publisher's own shutdown
    QVERIFY(helper.waitForFinished());
    QCOMPARE(helper.exitCode(), 0);
    QVERIFY(sub.waitForLast(kAvailabilityTopic, "offline"));
}

void tst_MqttPublisher::brokerRestartLosesAndRepeatsNothing() {
    // The outage is 5 s rather than the 20 s of a real broker restart: with the back-off capped
    // at 1 s for the test, a longer outage only makes the run longer. Ticks come every 100 ms
    // before, during and after it.
    MosquittoBroker::Settings settings;
    settings.persistence = true; // keeps the subscriber's session over the restart
    MosquittoBroker broker(settings);
    START_BROKER(broker);
    TestSubscriber::Settings s = watching(broker, kStateTopic);
    s.persistentId = "restart-watcher";
    TestSubscriber sub(s);
    QVERIFY(sub.start());
    LogSink log;
    mqtt::MqttOptions options = optionsFor(broker);
    options.reconnectMinMs = 250;
    options.reconnectMaxMs = 1000;
    mqtt::MqttPublisher publisher(options, log.function());
    QString error;
    QCOMPARE(publisher.start(&error), com::S_OK);

    int tick = 0;
    const auto tickFor = [&](int ms) {
        for (int elapsed = 0; elapsed < ms; elapsed += 100) {
            publisher.publish(reading(++tick));
            QTest::qWait(100);
        }
    };
    tickFor(1000);
    broker.stop();
    tickFor(5000);
    QVERIFY2(broker.start(), qPrintable(broker.errorString()));
    tickFor(1000);

    QVERIFY2(sub.waitForCount(kStateTopic, tick, 30000), qPrintable(log.lines().join('\n')));
    QTest::qWait(300);
    QCOMPARE(stateTimes(sub), tickTimes(1, tick));
    QCOMPARE(log.count("lost the connection"), 1);
}

void tst_MqttPublisher::queueLimitDropsTheOldest() {
    MosquittoBroker::Settings settings;
    settings.persistence = true;
    MosquittoBroker broker(settings);
    START_BROKER(broker);
    TestSubscriber::Settings s = watching(broker, kStateTopic);
    s.persistentId = "queue-watcher";
    TestSubscriber sub(s);
    QVERIFY(sub.start());
    broker.stop();

    LogSink log;
    mqtt::MqttOptions options = optionsFor(broker);
    options.queueLimit = 5;
    options.reconnectMinMs = 100;
    options.reconnectMaxMs = 200;
    mqtt::MqttPublisher publisher(options, log.function());
    QString error;
    QCOMPARE(publisher.start(&error), com::S_OK);
    for (int i = 1; i <= 12; ++i) {
        publisher.publish(reading(i));
    }
    QCOMPARE(publisher.droppedCount(), quint64(7));
    QCOMPARE(publisher.queuedCount(), 5);

    QVERIFY2(broker.start(), qPrintable(broker.errorString()));
    QVERIFY(sub.waitForCount(kStateTopic, 5, 15000));
    QTest::qWait(300);
    QCOMPARE(stateTimes(sub), tickTimes(8, 12));
    QCOMPARE(log.count("7 ticks were dropped"), 1);
    QCOMPARE(log.count("dropping the oldest"), 1);
}

void tst_MqttPublisher::wrongPasswordLoggedOnceWithoutBusyLoop() {
    MosquittoBroker broker(passwordBroker());
    START_BROKER(broker);
    QTemporaryDir dir;
    LogSink log;
    mqtt::MqttPublisher publisher(loggingInWith(broker, dir, "wrong horse\n"), log.function());
    QString error;
    const double cpuBefore = processCpuSeconds();
    QCOMPARE(publisher.start(&error), com::S_OK);
    for (int i = 1; i <= 35; ++i) { // 3.5 s of ticks
        publisher.publish(reading(i));
        QTest::qWait(100);
    }
    const double cpuUsed = processCpuSeconds() - cpuBefore;

    QCOMPARE(log.count("refused the connection"), 1);
    QVERIFY2(!log.lines().join('\n').contains("wrong horse"), "the password is never logged");
    // Attempts at 0, 1 and 3 s: retried, with back-off.
    QVERIFY2(publisher.connectAttempts() >= 2 && publisher.connectAttempts() <= 4,
             qPrintable(QString::number(publisher.connectAttempts())));
    QCOMPARE(publisher.queuedCount(), 35); // every tick still taken
    QVERIFY2(cpuUsed < 0.5, qPrintable(QString::number(cpuUsed)));
}

void tst_MqttPublisher::rightPasswordConnects() {
    MosquittoBroker broker(passwordBroker());
    START_BROKER(broker);
    TestSubscriber::Settings s = watching(broker, kStateTopic);
    s.user = "station";
    s.password = "right horse";
    TestSubscriber sub(s);
    QVERIFY(sub.start());
    QTemporaryDir dir;
    LogSink log;
    mqtt::MqttPublisher publisher(loggingInWith(broker, dir, "right horse\r\n"), log.function());
    QString error;
    QCOMPARE(publisher.start(&error), com::S_OK);
    publisher.publish(reading(1));
    QVERIFY2(sub.waitForCount(kStateTopic, 1), qPrintable(log.lines().join('\n')));
    QCOMPARE(log.count("refused"), 0);
}

void tst_MqttPublisher::tlsChecksTheBrokersCertificate() {
    QTemporaryDir dir;
    if (!makeCertificate(dir.path(), "broker") || !makeCertificate(dir.path(), "stranger")) {
        QSKIP("openssl cannot make test certificates");
    }
    MosquittoBroker::Settings settings;
    settings.certFile = dir.filePath("broker.pem");
    settings.keyFile = dir.filePath("broker.key");
    MosquittoBroker broker(settings);
    START_BROKER(broker);
    mqtt::MqttOptions options = optionsFor(broker);
    QString error;
    {
        LogSink log;
        options.caFile = dir.filePath("stranger.pem"); // did not sign the broker's certificate
        mqtt::MqttPublisher publisher(options, log.function());
        QCOMPARE(publisher.start(&error), com::S_OK);
        QTRY_VERIFY_WITH_TIMEOUT(publisher.connectAttempts() >= 2, 10000);
        QCOMPARE(log.count("TLS with the broker"), 1);
        QCOMPARE(log.count("connected to the broker"), 0);
    }
    LogSink log;
    options.caFile = dir.filePath("broker.pem");
    mqtt::MqttPublisher publisher(options, log.function());
    QCOMPARE(publisher.start(&error), com::S_OK);
    QTRY_COMPARE_WITH_TIMEOUT(log.count("connected to the broker"), 1, 10000);
    QCOMPARE(log.count("TLS"), 0);
}

QTEST_GUILESS_MAIN(tst_MqttPublisher)
#include "tst_MqttPublisher.moc"
