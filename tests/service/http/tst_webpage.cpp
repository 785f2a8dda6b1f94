// The page in a real browser: headless Chromium, driven by Playwright, against a server fed a
// tick every 200 ms over an archive of two days.

#include "WebRig.h"

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>

using webtest::Rig;

class tst_WebPage : public QObject {
    Q_OBJECT
private slots:
    void pageShowsLiveValuesChartAndCsv();
};

void tst_WebPage::pageShowsLiveValuesChartAndCsv() {
    const QString source = qEnvironmentVariable("BRISORA_SOURCE_DIR");
    const QString script = source + QStringLiteral("/tests/service/http/page.test.mjs");
    QVERIFY2(QFileInfo::exists(source + QStringLiteral("/node_modules/playwright-core")),
             "playwright-core is missing: run scripts/setup-deps.sh");
    Rig rig;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    std::vector<archive::Entry> past;
    for (qint64 t = now - 2 * 86400000LL; t < now - 60000; t += 60000) {
        const double phase = double(t % 86400000) / 86400000.0 * 6.283;
        past.push_back(archive::Entry::reading(t, 55 + 20 * std::sin(phase),
                                               101 + 1.5 * std::cos(phase), 1000, 9000));
    }
    QVERIFY(rig.archive(past));
    QVERIFY(rig.start());
    rig.server->setClock([] { return QDateTime::currentMSecsSinceEpoch(); });
    rig.server->setPortState(QStringLiteral("/dev/ttyS0"), QStringLiteral("open"));
    int n = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, this, [&] {
        ++n;
        rig.server->addTick(archive::Entry::reading(QDateTime::currentMSecsSinceEpoch(),
                                                    40 + n % 30, 100 + (n % 7) * 0.1, 900, 9100));
    });
    ticks.start(200);

    const QString shot = QDir(testsupport::built(QStringLiteral("..")))
                             .absoluteFilePath(QStringLiteral("web-page.png"));
    QFile::remove(shot);
    QProcess node;
    node.setProcessChannelMode(QProcess::SeparateChannels);
    node.start(QStringLiteral("node"), {script, rig.url(QStringLiteral("/")).toString(), shot});
    QVERIFY(node.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(node.state() == QProcess::NotRunning, 100000);
    const QByteArray out = node.readAllStandardOutput();
    QVERIFY2(node.exitStatus() == QProcess::NormalExit && node.exitCode() == 0,
             (out + node.readAllStandardError()).constData());
    const QJsonObject seen = QJsonDocument::fromJson(out.trimmed()).object();
    qInfo("browser: %s", out.trimmed().constData());
    QVERIFY(seen.value("points").toInt() > 1);
    QVERIFY(seen.value("csv_rows").toInt() > 1000);
    QCOMPARE(seen.value("days").toInt(), 3);
    QVERIFY(QFileInfo(shot).size() > 0);
}

QTEST_MAIN(tst_WebPage)
#include "tst_webpage.moc"
