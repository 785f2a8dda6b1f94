// Clients that do not play by the rules: each gets a clear refusal or is closed within a
// bounded time, and the server keeps answering the others and taking ticks meanwhile.

#include "WebRig.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>
#include <list>

using webtest::Rig;

namespace {

// Everything the server sends until it closes the connection or `ms` pass. The server runs in
// this thread, so the wait turns the event loop rather than blocking in the socket.
QByteArray answerOf(QTcpSocket& s, int ms) {
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms && s.state() != QAbstractSocket::UnconnectedState) {
        QTest::qWait(20);
        got += s.readAll();
    }
    return got + s.readAll();
}

// Connects `s` to the rig's server; false when the connection is not taken in time.
bool connectTo(QTcpSocket& s, Rig& rig) {
    s.connectToHost(QHostAddress::LocalHost, rig.server->port());
    return s.waitForConnected(5000);
}

// Sends `request` as it is and returns the status line of the answer.
QByteArray rawStatus(quint16 port, const QByteArray& request) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(5000)) {
        return "no connection";
    }
    s.write(request);
    const QByteArray answer = answerOf(s, 5000);
    return answer.left(answer.indexOf("\r\n"));
}

} // namespace

class tst_Hostile : public QObject {
    Q_OBJECT
private slots:
    void hugeRequestLineIsRefused();
    void headerFloodIsRefused();
    void silentClientIsCut();
    void pathTricksFindNothing_data();
    void pathTricksFindNothing();
    void manyConnectionsAtOnce();
    void slowReaderHoldsNobodyUp();
    void backloggedLiveClientIsDropped();
};

void tst_Hostile::hugeRequestLineIsRefused() {
    Rig rig;
    QVERIFY(rig.start());
    QTcpSocket s;
    QVERIFY(connectTo(s, rig));
    s.write("GET /" + QByteArray(1 << 20, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n");
    const QByteArray answer = answerOf(s, 10000);
    QVERIFY2(answer.isEmpty() || answer.startsWith("HTTP/1.1 431"), answer.left(80));
    QTRY_COMPARE_WITH_TIMEOUT(int(s.state()), int(QAbstractSocket::UnconnectedState), 10000);
    QCOMPARE(rig.get(QStringLiteral("/api/health")).status, 200);
}

void tst_Hostile::headerFloodIsRefused() {
    Rig rig;
    QVERIFY(rig.start());
    QTcpSocket s;
    QVERIFY(connectTo(s, rig));
    QByteArray request = "GET /api/current HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 20000; ++i) {
        request += "X-Flood-" + QByteArray::number(i) + ": yes\r\n";
    }
    s.write(request + "\r\n");
    const QByteArray answer = answerOf(s, 10000);
    QVERIFY2(answer.isEmpty() || answer.startsWith("HTTP/1.1 431"), answer.left(80));
    QTRY_COMPARE_WITH_TIMEOUT(int(s.state()), int(QAbstractSocket::UnconnectedState), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.server->openConnections(), 0, 10000);
}

void tst_Hostile::silentClientIsCut() {
    Rig rig;
    rig.options.requestTimeoutMs = 300;
    QVERIFY(rig.start());
    QTcpSocket silent;
    QVERIFY(connectTo(silent, rig));
    // Half a request, then nothing.
    QTcpSocket half;
    QVERIFY(connectTo(half, rig));
    half.write("GET /api/current HTTP/1.1\r\nHost:");
    QVERIFY(answerOf(silent, 10000).startsWith("HTTP/1.1 408"));
    QVERIFY(answerOf(half, 10000).startsWith("HTTP/1.1 408"));
    QCOMPARE(int(silent.state()), int(QAbstractSocket::UnconnectedState));
    QTRY_COMPARE_WITH_TIMEOUT(rig.server->openConnections(), 0, 10000);
}

void tst_Hostile::pathTricksFindNothing_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("dot dot") << QByteArray("/../../../../etc/passwd");
    QTest::newRow("encoded dot dot") << QByteArray("/%2e%2e/%2e%2e/etc/passwd");
    QTest::newRow("encoded slash") << QByteArray("/..%2f..%2fetc%2fpasswd");
    QTest::newRow("double encoded") << QByteArray("/%252e%252e/etc/passwd");
    QTest::newRow("back into resources") << QByteArray("/api/../app.js%00");
    QTest::newRow("resource path") << QByteArray("/:/brisora/web/index.html");
    QTest::newRow("qrc scheme") << QByteArray("qrc:/brisora/web/index.html");
    QTest::newRow("overlong utf-8") << QByteArray("/%c0%ae%c0%ae/etc/passwd");
    QTest::newRow("absolute file") << QByteArray("file:///etc/passwd");
}

void tst_Hostile::pathTricksFindNothing() {
    QFETCH(QByteArray, target);
    Rig rig;
    QVERIFY(rig.start());
    const QByteArray status =
        rawStatus(rig.server->port(), "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n");
    QVERIFY2(status.startsWith("HTTP/1.1 404") || status.startsWith("HTTP/1.1 400") ||
                 status.isEmpty(),
             status);
}

// A thousand connections at once against a bound of 100: the server never holds more than the
// bound, those past it are told 503 and closed, those let in and silent are cut at the request
// deadline, and a well-behaved client is answered meanwhile. (Connections the kernel keeps in
// the listen queue without the server taking them cost the server nothing.)
void tst_Hostile::manyConnectionsAtOnce() {
    Rig rig;
    rig.options.maxConnections = 100;
    rig.options.requestTimeoutMs = 1000;
    QVERIFY(rig.start());
    std::list<QTcpSocket> sockets;
    for (int i = 0; i < 1000; ++i) {
        sockets.emplace_back().connectToHost(QHostAddress::LocalHost, rig.server->port());
    }
    int most = 0;
    const auto closed = [&] {
        most = std::max(most, rig.server->openConnections());
        return std::count_if(sockets.begin(), sockets.end(), [](const QTcpSocket& s) {
            return s.state() == QAbstractSocket::UnconnectedState;
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(closed() >= 200, 30000);
    for (int i = 0; i < 50; ++i) {
        QTest::qWait(20);
        closed();
    }
    QVERIFY2(most <= 100, QByteArray::number(most).constData());
    QTRY_COMPARE_WITH_TIMEOUT(rig.server->openConnections(), 0, 20000);
    sockets.clear();
    QCOMPARE(rig.get(QStringLiteral("/api/health")).status, 200);
}

// One client asks for a long export and reads none of it; another client is answered at once
// and ticks keep reaching the server's state.
void tst_Hostile::slowReaderHoldsNobodyUp() {
    Rig rig;
    std::vector<archive::Entry> many;
    for (int i = 0; i < 200000; ++i) {
        many.push_back(archive::Entry::reading(webtest::kBaseMs + i * 1000LL, 50, 100, 1, 1));
    }
    QVERIFY(rig.archive(many));
    rig.options.maxBacklogBytes = 64 * 1024;
    QVERIFY(rig.start());
    QTcpSocket slow;
    slow.setReadBufferSize(4096);
    QVERIFY(connectTo(slow, rig));
    slow.write("GET /api/export.csv HTTP/1.1\r\nHost: x\r\n\r\n");
    QVERIFY(slow.waitForBytesWritten(5000));
    QTest::qWait(300);
    for (int i = 0; i < 20; ++i) {
        rig.server->addTick(archive::Entry::reading(webtest::kBaseMs + i, 40 + i, 100, 1, 1));
        QElapsedTimer t;
        t.start();
        const auto r = rig.get(QStringLiteral("/api/current"));
        QCOMPARE(r.status, 200);
        QVERIFY2(t.elapsed() < 5000, "a request waited behind the slow reader");
    }
    const auto r = rig.get(QStringLiteral("/api/current"));
    QCOMPARE(QJsonDocument::fromJson(r.body)
                 .object()
                 .value("since_start")
                 .toObject()
                 .value("ticks")
                 .toInt(),
             20);
}

void tst_Hostile::backloggedLiveClientIsDropped() {
    Rig rig;
    rig.options.maxBacklogBytes = 32 * 1024;
    QVERIFY(rig.start());
    QTcpSocket stuck;
    stuck.setReadBufferSize(1024);
    QVERIFY(connectTo(stuck, rig));
    stuck.write("GET /api/live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                "Sec-WebSocket-Version: 13\r\n\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(rig.server->liveClients(), 1, 10000);
    // Ticks pile up unread until the client passes the bound and is let go.
    for (int i = 0; i < 300000 && rig.server->liveClients() > 0; ++i) {
        rig.server->addTick(archive::Entry::reading(webtest::kBaseMs + i, 1, 1, 1, 1));
        if (i % 500 == 0) {
            QTest::qWait(1);
        }
    }
    QCOMPARE(rig.server->liveClients(), 0);
}

QTEST_MAIN(tst_Hostile)
#include "tst_hostile.moc"
