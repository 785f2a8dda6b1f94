#include "core/StationConfig.h"

#include <QTemporaryDir>
#include <QtTest>

using service::ConfigError;
using service::StationConfig;

class tst_StationConfig : public QObject {
    Q_OBJECT

private slots:
    void init();
    void fileAndCommandLine();
    void refusedNamingTheKey_data();
    void refusedNamingTheKey();
    void archiveOnAServer();
    void unreadableFileIsRefused();
    void describeHidesTheToken();

private:
    QString write(const QByteArray& text);
    QTemporaryDir m_dir;
};

void tst_StationConfig::init() {
    QVERIFY(m_dir.isValid());
}

QString tst_StationConfig::write(const QByteArray& text) {
    const QString path = m_dir.filePath(QStringLiteral("station.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        return {};
    }
    return path;
}

void tst_StationConfig::fileAndCommandLine() {
    const QString path = write("port = /dev/ttyUSB3\nstation = roof_2\ninterval_ms = 2000\n"
                               "token = a,b,c\n[mqtt]\nurl = mqtt://broker.lan:1883\nqos = 2\n");
    ConfigError error;
    const auto config =
        StationConfig::load(path, {{QStringLiteral("interval_ms"), QStringLiteral("500")}}, &error);
    QVERIFY2(config, qPrintable(error.text()));
    QCOMPARE(config->port, QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(config->intervalMs, 500);                // the command line wins
    QCOMPARE(config->token, QStringLiteral("a,b,c")); // commas are text, not a list
    QCOMPARE(config->archive, QStringLiteral("/var/lib/brisora/archive.sqlite"));
    QCOMPARE(config->listen, QStringLiteral("127.0.0.1:8470"));
    QCOMPARE(config->mqtt.url, QStringLiteral("mqtt://broker.lan:1883"));
    QCOMPARE(config->mqtt.qos, 2);
    QCOMPARE(config->mqtt.clientId, QStringLiteral("brisora-roof_2"));
    QCOMPARE(config->mqtt.topicPrefix, QStringLiteral("brisora/roof_2"));
    QCOMPARE(config->mqtt.discoveryPrefix, QStringLiteral("homeassistant"));
}

void tst_StationConfig::refusedNamingTheKey_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown key") << QByteArray("port = /dev/ttyUSB0\nbaud = 9600\n") << "baud"
                                 << "unknown key";
    QTest::newRow("unknown key in a section") << QByteArray("[mqtt]\nhost = x\n") << "mqtt/host"
                                              << "unknown key";
    QTest::newRow("relative port") << QByteArray("port = ttyUSB0\n") << "port"
                                   << "absolute";
    QTest::newRow("port not a device") << QByteArray("port = /etc/hostname\n") << "port"
                                       << "not a character device";
    QTest::newRow("interval below one tick's exchanges")
        << QByteArray("interval_ms = 20\n") << "interval_ms"
        << "shorter than one tick";
    QTest::newRow("interval not a number") << QByteArray("interval_ms = fast\n") << "interval_ms"
                                           << "whole number";
    QTest::newRow("station with a space") << QByteArray("station = my station\n") << "station"
                                          << "letters";
    QTest::newRow("relative archive") << QByteArray("archive = a.sqlite\n") << "archive"
                                      << "absolute";
    QTest::newRow("password in the archive URL")
        << QByteArray("archive = postgresql://u:s3cret@db/brisora\n") << "archive"
        << "contraseña";
    QTest::newRow("archive URL without a database")
        << QByteArray("archive = postgresql://u@db/\n") << "archive"
        << "base de datos";
    QTest::newRow("open listener without a token")
        << QByteArray("listen = 0.0.0.0:8470\n") << "listen"
        << "token";
    QTest::newRow("listener without a port") << QByteArray("listen = 127.0.0.1\n") << "listen"
                                             << "host:port";
    QTest::newRow("mqtt over http")
        << QByteArray("[mqtt]\nurl = http://broker:1883\n") << "mqtt/url"
        << "mqtt://";
    QTest::newRow("qos 3") << QByteArray("[mqtt]\nurl = mqtt://b:1883\nqos = 3\n") << "mqtt/qos"
                           << "0, 1 or 2";
    QTest::newRow("wildcard in the topic")
        << QByteArray("[mqtt]\ntopic_prefix = a/#\n") << "mqtt/topic_prefix"
        << "wildcards";
}

void tst_StationConfig::refusedNamingTheKey() {
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, reason);
    ConfigError error;
    QVERIFY(!StationConfig::load(write(file), {}, &error));
    QCOMPARE(error.key, key);
    QVERIFY2(error.reason.contains(reason), qPrintable(error.reason));
}

// The archive may live on a PostgreSQL server, as the console's may.
void tst_StationConfig::archiveOnAServer() {
    ConfigError error;
    const auto config = StationConfig::load(
        write("archive = postgresql://brisora@db:5432/estaciones?station=norte\n"), {}, &error);
    QVERIFY2(config, qPrintable(error.text()));
    QCOMPARE(config->archive,
             QStringLiteral("postgresql://brisora@db:5432/estaciones?station=norte"));
}

void tst_StationConfig::unreadableFileIsRefused() {
    ConfigError error;
    QVERIFY(!StationConfig::load(m_dir.filePath(QStringLiteral("missing.conf")), {}, &error));
    QCOMPARE(error.key, QStringLiteral("config"));
    QVERIFY(!StationConfig::load(m_dir.path(), {}, &error)); // a folder
    QCOMPARE(error.key, QStringLiteral("config"));
    // An override of a key nobody knows is as wrong as one in the file.
    QVERIFY(
        !StationConfig::load(write(""), {{QStringLiteral("portt"), QStringLiteral("x")}}, &error));
    QCOMPARE(error.key, QStringLiteral("portt"));
}

void tst_StationConfig::describeHidesTheToken() {
    ConfigError error;
    const auto config =
        StationConfig::load(write("listen = 0.0.0.0:8470\ntoken = s3cret\n"), {}, &error);
    QVERIFY2(config, qPrintable(error.text()));
    const QString text = config->describe();
    QVERIFY(!text.contains(QStringLiteral("s3cret")));
    QVERIFY(text.contains(QStringLiteral("token = (set)\n")));
    QVERIFY(text.contains(QStringLiteral("listen = 0.0.0.0:8470\n")));
}

QTEST_GUILESS_MAIN(tst_StationConfig)
#include "tst_StationConfig.moc"
