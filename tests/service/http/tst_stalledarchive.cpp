// An archive that stops answering (a PostgreSQL server frozen with SIGSTOP, a file held by
// another connection's write lock) holds up only the requests that read it: the live routes and
// the live feed keep going, a waiting request ends with a clear error once its time is up, too
// many waiting ones are refused at once, stopping does not hang, and once the archive answers
// again so do the routes.

#include "WebRig.h"

#include "ChildSignal.h"
#include "PostgresServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QWebSocket>

#include <csignal>
#include <sys/types.h>

using webtest::kBaseMs;
using webtest::Response;
using webtest::Rig;

namespace {

constexpr int kServerLimitMs = 1500;
// Shorter than the file's own wait for a lock (2 s), so the lock outlasts it.
constexpr int kFileLimitMs = 600;

// Stops a process and all its descendants with SIGSTOP; SIGCONT when it goes, also when a check
// failed.
class Freeze {
public:
    explicit Freeze(qint64 root) {
        if (root <= 0) {
            return; // no server running: nothing to freeze (processes() says 0)
        }
        std::vector<qint64> found{root};
        for (std::size_t i = 0; i < found.size(); ++i) {
            for (qint64 child : childrenOf(found[i])) {
                found.push_back(child);
            }
        }
        for (qint64 pid : found) {
            if (testsupport::signalPid(pid, SIGSTOP)) {
                m_stopped.push_back(pid);
            }
        }
    }
    ~Freeze() { thaw(); }
    Freeze(const Freeze&) = delete;
    Freeze& operator=(const Freeze&) = delete;

    int processes() const { return static_cast<int>(m_stopped.size()); }
    void thaw() {
        for (qint64 pid : m_stopped) {
            testsupport::signalPid(pid, SIGCONT);
        }
        m_stopped.clear();
    }

private:
    // From /proc/<pid>/stat: "pid (name) state ppid ...", the name possibly holding spaces.
    static std::vector<qint64> childrenOf(qint64 parent) {
        std::vector<qint64> out;
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& entry : entries) {
            bool numeric = false;
            const qint64 pid = entry.toLongLong(&numeric);
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!numeric || !stat.open(QIODevice::ReadOnly)) {
                continue;
            }
            const QByteArray line = stat.readAll();
            const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (rest.size() > 1 && rest.at(1).toLongLong() == parent) {
                out.push_back(pid);
            }
        }
        return out;
    }

    std::vector<qint64> m_stopped;
};

// A request left running while the test goes on.
struct Pending {
    std::unique_ptr<QNetworkReply> reply;
    QElapsedTimer clock;
    qint64 tookMs = -1;

    bool done() const { return tookMs >= 0; }
    int status() const {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }
};

std::unique_ptr<Pending> send(QNetworkAccessManager& nam, const QUrl& url) {
    auto p = std::make_unique<Pending>();
    p->clock.start();
    p->reply.reset(nam.get(QNetworkRequest(url)));
    Pending* raw = p.get();
    QObject::connect(raw->reply.get(), &QNetworkReply::finished,
                     [raw] { raw->tookMs = raw->clock.elapsed(); });
    return p;
}

std::vector<archive::Entry> someReadings(int count) {
    std::vector<archive::Entry> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(archive::Entry::reading(kBaseMs - 60000 + i * 1000, 40 + i, 95, 400, 9500));
    }
    return out;
}

QString errorOf(const QByteArray& body) {
    return QJsonDocument::fromJson(body).object().value("error").toString();
}

} // namespace

class tst_StalledArchive : public QObject {
    Q_OBJECT
private slots:
    void frozenDatabaseServerHoldsUpOnlyItsQueries();
    void lockedFileHoldsUpOnlyItsQueries();

private:
    // While the archive is stalled: ticks keep reaching the live feed and /api/current, the
    // waiting request ends with 504 after the limit, and one past the bound is refused at once.
    void checkStalled(Rig& rig, const QString& readingsPath, int limitMs);
};

void tst_StalledArchive::checkStalled(Rig& rig, const QString& readingsPath, int limitMs) {
    QWebSocket ws;
    int ticks = 0;
    connect(&ws, &QWebSocket::textMessageReceived, this, [&](const QString& m) {
        ticks += QJsonDocument::fromJson(m.toUtf8()).object().value("type").toString() == u"tick";
    });
    ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(rig.server->port())));
    QTimer ticker;
    int sent = 0;
    connect(&ticker, &QTimer::timeout, this, [&] {
        rig.now += 100;
        rig.server->addTick(archive::Entry::reading(rig.now, 50 + ++sent % 10, 95, 500, 9500));
    });
    ticker.start(100);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, 10000);

    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    const auto waiting = send(nam, rig.url(readingsPath));
    QTest::qWait(100);
    const Response live = rig.get(QStringLiteral("/api/current"));
    QCOMPARE(live.status, 200);
    QVERIFY(QJsonDocument::fromJson(live.body)
                .object()
                .value("since_start")
                .toObject()
                .value("ticks")
                .toInt() >= 2);
    QVERIFY2(!waiting->done(), "the history request should still be waiting");

    QTRY_VERIFY_WITH_TIMEOUT(waiting->done(), 4 * limitMs);
    QCOMPARE(waiting->status(), 504);
    QVERIFY(waiting->tookMs >= limitMs - 100);
    QVERIFY(errorOf(waiting->reply->readAll()).contains("did not answer"));
    QVERIFY(!waiting->reply->rawHeader("Retry-After").isEmpty());
    const int ticksAtTimeout = ticks;
    QTRY_VERIFY_WITH_TIMEOUT(ticks > ticksAtTimeout, 5000);

    // The stalled query still holds the worker (bound 2): one more waits, the next is refused.
    const auto queued = send(nam, rig.url(readingsPath));
    QTest::qWait(200);
    const Response busy = rig.get(readingsPath);
    QCOMPARE(busy.status, 503);
    QVERIFY(errorOf(busy.body).contains("too many"));
    QCOMPARE(busy.header("Retry-After"), QByteArray("5"));
    QTRY_VERIFY_WITH_TIMEOUT(queued->done(), 4 * limitMs);
    QCOMPARE(queued->status(), 504);
    ticker.stop();
}

void tst_StalledArchive::frozenDatabaseServerHoldsUpOnlyItsQueries() {
    testsupport::PostgresServer pg;
    REQUIRE_POSTGRES(pg.start(), QStringLiteral("no PostgreSQL server: ") + pg.error());
    QVERIFY2(pg.createDatabase(QStringLiteral("stalled")), qPrintable(pg.error()));
    Rig rig;
    rig.options.archivePath = pg.url(QStringLiteral("stalled"));
    rig.options.historyTimeoutMs = kServerLimitMs;
    rig.options.maxHistoryQueries = 2;
    rig.options.historyStopWaitMs = 500;
    QVERIFY(rig.archive(someReadings(20)));
    QVERIFY(rig.start());
    const QString readingsPath =
        QStringLiteral("/api/readings?from=%1&to=%2").arg(kBaseMs - 3600000).arg(kBaseMs);
    QCOMPARE(rig.get(readingsPath).status, 200); // the worker's connection is open

    {
        Freeze frozen(pg.pid());
        QVERIFY(frozen.processes() > 1);
        checkStalled(rig, readingsPath, kServerLimitMs);
    }
    // Answers again once the server does (the abandoned queries finish first).
    QTRY_COMPARE_WITH_TIMEOUT(rig.get(readingsPath).status, 200, 15000);
    QCOMPARE(QJsonDocument::fromJson(rig.get(readingsPath).body).object().value("count").toInt(),
             20);

    // Stopping with a query held by a frozen server leaves it behind instead of hanging.
    Freeze frozen(pg.pid());
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    const auto held = send(nam, rig.url(readingsPath));
    QTest::qWait(300);
    QElapsedTimer stopping;
    stopping.start();
    rig.server->stop();
    QVERIFY2(stopping.elapsed() < 3000, qPrintable(QString::number(stopping.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(held->done(), 5000);
    QVERIFY(held->status() != 200);
}

// A file held by another program's exclusive lock: reading it waits like a stalled server.
void tst_StalledArchive::lockedFileHoldsUpOnlyItsQueries() {
    Rig rig;
    rig.options.historyTimeoutMs = kFileLimitMs;
    rig.options.maxHistoryQueries = 2;
    QVERIFY(rig.archive(someReadings(20)));
    QVERIFY(rig.start());
    const QString readingsPath =
        QStringLiteral("/api/readings?from=%1&to=%2").arg(kBaseMs - 3600000).arg(kBaseMs);
    {
        // Taken before the server's first query: its connection then waits to open.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        db.setDatabaseName(rig.options.archivePath);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
        QVERIFY2(q.exec(QStringLiteral("BEGIN EXCLUSIVE")), qPrintable(q.lastError().text()));
        QVERIFY(q.exec(QStringLiteral("DELETE FROM readings WHERE time_ms < 0")));
        checkStalled(rig, readingsPath, kFileLimitMs);
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.get(readingsPath).status, 200, 15000);
}

QTEST_MAIN(tst_StalledArchive)
#include "tst_stalledarchive.moc"
