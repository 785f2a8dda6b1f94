// The page in a real browser: headless Chromium, driven by Playwright, against a server fed a
// tick every 200 ms over an archive of two days; and the station picker over a database that
// holds two stations.

#include "WebRig.h"

#include "PostgresServer.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <set>

using webtest::Rig;

namespace {

// Readings stepMs apart over the given days up to a minute ago, their humidity swinging by
// `swing` around `humidity` once a day.
std::vector<archive::Entry> pastDays(int days, qint64 stepMs, double humidity, double swing) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    std::vector<archive::Entry> past;
    for (qint64 t = now - days * 86400000LL; t < now - 60000; t += stepMs) {
        const double phase = double(t % 86400000) / 86400000.0 * 6.283;
        past.push_back(archive::Entry::reading(t, humidity + swing * std::sin(phase),
                                               101 + 1.5 * std::cos(phase), 1000, 9000));
    }
    return past;
}

// The local days the entries fall on.
int localDays(const std::vector<archive::Entry>& entries, const QTimeZone& zone) {
    std::set<QDate> days;
    for (const auto& e : entries) {
        days.insert(QDateTime::fromMSecsSinceEpoch(e.timeMs, zone).date());
    }
    return int(days.size());
}

} // namespace

class tst_WebPage : public QObject {
    Q_OBJECT
private slots:
    void pageShowsLiveValuesChartAndCsv();
    void pickerSwitchesTheHistory();

private:
    // Starts live ticks on the rig's server, every 200 ms.
    void tick(Rig& rig, QTimer& ticks);
    // Runs a browser script against the rig; its JSON line, or an empty object on failure.
    QJsonObject browse(const QString& script, const QStringList& args);
};

void tst_WebPage::tick(Rig& rig, QTimer& ticks) {
    rig.server->setClock([] { return QDateTime::currentMSecsSinceEpoch(); });
    rig.server->setPortState(QStringLiteral("/dev/ttyS0"), QStringLiteral("open"));
    connect(&ticks, &QTimer::timeout, this, [&rig, n = 0]() mutable {
        ++n;
        rig.server->addTick(archive::Entry::reading(QDateTime::currentMSecsSinceEpoch(),
                                                    40 + n % 30, 100 + (n % 7) * 0.1, 900, 9100));
    });
    ticks.start(200);
}

QJsonObject tst_WebPage::browse(const QString& script, const QStringList& args) {
    const QString source = qEnvironmentVariable("BRISORA_SOURCE_DIR");
    if (!QFileInfo::exists(source + QStringLiteral("/node_modules/playwright-core"))) {
        qWarning("playwright-core is missing: run scripts/setup-deps.sh");
        return {};
    }
    QProcess node;
    node.setProcessChannelMode(QProcess::SeparateChannels);
    node.start(QStringLiteral("node"),
               QStringList{source + QStringLiteral("/tests/service/http/") + script} + args);
    if (!node.waitForStarted(10000)) {
        qWarning("node does not start");
        return {};
    }
    [[maybe_unused]] const bool ended =
        QTest::qWaitFor([&] { return node.state() == QProcess::NotRunning; }, 100000);
    const QByteArray out = node.readAllStandardOutput();
    if (node.state() != QProcess::NotRunning || node.exitStatus() != QProcess::NormalExit ||
        node.exitCode() != 0) {
        node.kill();
        node.waitForFinished(5000);
        qWarning("%s", (out + node.readAllStandardError()).constData());
        return {};
    }
    qInfo("browser: %s", out.trimmed().constData());
    return QJsonDocument::fromJson(out.trimmed()).object();
}

void tst_WebPage::pageShowsLiveValuesChartAndCsv() {
    Rig rig;
    QVERIFY(rig.archive(pastDays(2, 60000, 55, 20)));
    QVERIFY(rig.start());
    QTimer ticks;
    tick(rig, ticks);

    const QString shot = QDir(testsupport::built(QStringLiteral("..")))
                             .absoluteFilePath(QStringLiteral("web-page.png"));
    QFile::remove(shot);
    const QJsonObject seen =
        browse(QStringLiteral("page.test.mjs"), {rig.url(QStringLiteral("/")).toString(), shot});
    QVERIFY(!seen.isEmpty());
    QVERIFY(seen.value("points").toInt() > 1);
    QVERIFY(seen.value("csv_rows").toInt() > 1000);
    QCOMPARE(seen.value("days").toInt(), 3);
    QVERIFY(seen.value("picker_hidden").toBool()); // a file holds one station: nothing to pick
    QVERIFY(QFileInfo(shot).size() > 0);
}

// Two stations in one database: the service's own (Cobertizo, a reading a minute for two days)
// and Era (a reading every ten minutes for four days, its humidity 80 % to 90 %).
void tst_WebPage::pickerSwitchesTheHistory() {
    testsupport::PostgresServer pg;
    REQUIRE_POSTGRES(pg.start(), QStringLiteral("no PostgreSQL server: ") + pg.error());
    QVERIFY2(pg.createDatabase(QStringLiteral("picker")), qPrintable(pg.error()));
    Rig rig;
    rig.options.archivePath = pg.url(QStringLiteral("picker"));
    const auto own = pastDays(2, 60000, 55, 20);
    const auto era = pastDays(4, 600000, 85, 5);
    QVERIFY(rig.archive(own));
    QVERIFY(rig.archive(era, QStringLiteral("Era")));
    QVERIFY(rig.start());
    QTimer ticks;
    tick(rig, ticks);

    const QJsonObject seen =
        browse(QStringLiteral("picker.test.mjs"),
               {rig.url(QStringLiteral("/")).toString(), QStringLiteral("Era")});
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.value("options").toArray(),
             (QJsonArray{QStringLiteral("Cobertizo (este servicio)"), QStringLiteral("Era")}));
    QVERIFY(seen.value("note").toString().contains(QStringLiteral("siempre los de Cobertizo")));
    QCOMPARE(seen.value("own_days").toInt(), localDays(own, rig.options.zone));
    QCOMPARE(seen.value("other_days").toInt(), localDays(era, rig.options.zone));
    QCOMPARE(seen.value("back_days").toInt(), localDays(own, rig.options.zone));
    // The live ticks are the service's own: they are not drawn into Era's chart.
    QVERIFY(seen.value("points_before").toInt() > 1);
    QCOMPARE(seen.value("points_after").toInt(), seen.value("points_before").toInt());
    for (const QJsonValue& heading : seen.value("headings").toArray()) {
        QVERIFY2(heading.toString().contains(u"Era"), qPrintable(heading.toString()));
    }
    QVERIFY(seen.value("csv_href").toString().contains(QStringLiteral("station=Era")));
    QVERIFY(seen.value("csv_rows").toInt() >= 140);           // a day of readings ten minutes apart
    QVERIFY(seen.value("csv_min_humidity").toDouble() >= 80); // Era's, not Cobertizo's
    QCOMPARE(seen.value("chart_station").toString(), QStringLiteral("Cobertizo"));
}

QTEST_MAIN(tst_WebPage)
#include "tst_webpage.moc"
