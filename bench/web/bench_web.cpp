// The station's web server over the loopback address, with the server in a thread of its own
// as in the service and the clients in the benchmark's thread:
// - /api/readings of a whole year of 1 Hz readings in 2,000 buckets, and /api/current, each a
//   GET on a kept-alive connection (real time per request);
// - one reading broadcast to 200 clients of /api/live: the worst delivery latency (from the
//   tick handed to the server until the last client has it) and the server thread's CPU time
//   per reading, also as a share of one core at one reading a second.

#include "YearArchive.h"

#include "http/WebServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include <benchmark/benchmark.h>

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using benchweb::YearArchive;

// A WebServer living in its own thread; calls are made in that thread and waited for.
class ServerThread {
public:
    explicit ServerThread(http::WebOptions options) {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        run([&] {
            m_server = std::make_unique<http::WebServer>(std::move(options));
            m_started = m_server->start();
            m_error = m_server->errorString();
            m_port = m_server->port();
            m_id = pthread_self();
        });
    }
    ~ServerThread() {
        run([&] { m_server.reset(); });
        m_thread.quit();
        m_thread.wait();
    }

    bool started() const { return m_started; }
    QString error() const { return m_error; }
    quint16 port() const { return m_port; }
    http::WebServer& server() { return *m_server; }

    template <typename F>
    void run(F f) {
        QMetaObject::invokeMethod(&m_context, std::move(f), Qt::BlockingQueuedConnection);
    }
    template <typename F>
    void post(F f) {
        QMetaObject::invokeMethod(&m_context, std::move(f), Qt::QueuedConnection);
    }

    // CPU time the server's thread has used, in milliseconds.
    double cpuMs() const {
        clockid_t clock{};
        timespec ts{};
        if (pthread_getcpuclockid(m_id, &clock) != 0 || clock_gettime(clock, &ts) != 0) {
            return -1;
        }
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    }

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<http::WebServer> m_server;
    bool m_started = false;
    QString m_error;
    quint16 m_port = 0;
    pthread_t m_id{};
};

// A plain HTTP/1.1 client on one kept-alive connection, blocking, every wait bounded.
class HttpClient {
public:
    explicit HttpClient(quint16 port)
        : m_port(port) {}

    // The status of GET `target` (0 on failure), its body in `body`.
    int get(const QByteArray& target, QByteArray& body) {
        if (m_socket.state() != QAbstractSocket::ConnectedState) {
            m_socket.abort();
            m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), m_port);
            if (!m_socket.waitForConnected(5000)) {
                return 0;
            }
        }
        m_socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray in;
        qsizetype headerEnd = -1;
        while ((headerEnd = in.indexOf("\r\n\r\n")) < 0) {
            if (!m_socket.waitForReadyRead(10000)) {
                return 0;
            }
            in += m_socket.readAll();
        }
        const QByteArray head = in.left(headerEnd).toLower();
        const qsizetype at = head.indexOf("\r\ncontent-length:");
        if (at < 0) {
            return 0;
        }
        const qsizetype end = head.indexOf("\r\n", at + 2);
        const qint64 length =
            head.mid(at + 17, end < 0 ? -1 : end - at - 17).trimmed().toLongLong();
        body = in.mid(headerEnd + 4);
        while (body.size() < length) {
            if (!m_socket.waitForReadyRead(10000)) {
                return 0;
            }
            body += m_socket.readAll();
        }
        if (head.contains("\r\nconnection: close")) {
            m_socket.abort();
        }
        return head.mid(9, 3).toInt();
    }

private:
    quint16 m_port;
    QTcpSocket m_socket;
};

http::WebOptions loopbackOptions(const QString& archivePath) {
    http::WebOptions o;
    o.port = 0;
    o.station = QStringLiteral("bench");
    o.archivePath = archivePath;
    o.zone = QTimeZone("Europe/Madrid"); // offsets to look up, as at a real station
    return o;
}

// CPU time of the whole program but the calling thread: the server's thread and the threads it
// runs (the archive's worker).
double cpuOfOthersMs() {
    timespec all{};
    timespec mine{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &all) != 0 ||
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &mine) != 0) {
        return -1;
    }
    return static_cast<double>(all.tv_sec - mine.tv_sec) * 1e3 +
           static_cast<double>(all.tv_nsec - mine.tv_nsec) / 1e6;
}

// Real time per GET of `target`, and the server's CPU time per request (its thread and the
// archive's worker); the first request (opening the archive) is not measured.
void getRepeatedly(benchmark::State& state, ServerThread& server, const QByteArray& target,
                   qint64 minimumBody) {
    HttpClient client(server.port());
    QByteArray body;
    if (client.get(target, body) != 200 || body.size() < minimumBody) {
        state.SkipWithError(("the first answer was wrong: " + body.left(200)).constData());
        return;
    }
    const double cpu0 = cpuOfOthersMs();
    for (auto _ : state) {
        if (client.get(target, body) != 200) {
            state.SkipWithError("a request failed");
            break;
        }
    }
    // The server's own time, which a loaded machine stretches less than the real time.
    state.counters["server_cpu_ms"] =
        benchmark::Counter(cpuOfOthersMs() - cpu0, benchmark::Counter::kAvgIterations);
    state.counters["body_bytes"] = static_cast<double>(body.size());
}

void ReadingsOfAYear(benchmark::State& state) {
    QString error;
    const QString path = YearArchive::ensure(error);
    if (path.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    ServerThread server(loopbackOptions(path));
    if (!server.started()) {
        state.SkipWithError(qPrintable(server.error()));
        return;
    }
    const QByteArray target = "/api/readings?from=" + QByteArray::number(YearArchive::kStartMs) +
                              "&to=" + QByteArray::number(YearArchive::kEndMs) +
                              "&points=" + QByteArray::number(state.range(0));
    getRepeatedly(state, server, target, 100 * state.range(0));
}

void Current(benchmark::State& state) {
    ServerThread server(loopbackOptions({}));
    if (!server.started()) {
        state.SkipWithError(qPrintable(server.error()));
        return;
    }
    server.run([&] {
        server.server().setPortState(QStringLiteral("/dev/ttyS0"), QStringLiteral("open"));
        for (int i = 0; i < 3600; ++i) {
            server.server().addTick(archive::Entry::reading(
                YearArchive::kStartMs + i * 1000LL, 40 + i % 30, 100 + (i % 7) * 0.1, 900, 9100));
        }
    });
    getRepeatedly(state, server, "/api/current", 200);
}

// The live feed's clients, counting what each has received and when the last one arrived.
class LiveClients {
public:
    LiveClients(int n, quint16 port) {
        m_clock.start();
        const QUrl url(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port));
        for (int i = 0; i < n; ++i) {
            auto c = std::make_unique<QWebSocket>();
            QObject::connect(c.get(), &QWebSocket::textMessageReceived, c.get(),
                             [this](const QString& m) { received(m); });
            c->open(url);
            m_clients.push_back(std::move(c));
        }
    }

    // Runs the event loop until `messages` have arrived in all or `timeoutMs` passed.
    bool waitFor(qint64 messages, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (m_received < messages * static_cast<qint64>(m_clients.size())) {
            if (t.elapsed() > timeoutMs) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return true;
    }
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }
    qint64 lastArrivalNs() const { return m_lastArrivalNs; }

private:
    void received(const QString&) {
        ++m_received;
        m_lastArrivalNs = m_clock.nsecsElapsed();
    }

    QElapsedTimer m_clock;
    std::vector<std::unique_ptr<QWebSocket>> m_clients;
    qint64 m_received = 0;
    qint64 m_lastArrivalNs = 0;
};

void LiveFeedFanOut(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    http::WebOptions options = loopbackOptions({});
    options.maxConnections = n + 16;
    ServerThread server(options);
    if (!server.started()) {
        state.SkipWithError(qPrintable(server.error()));
        return;
    }
    LiveClients clients(n, server.port());
    if (!clients.waitFor(1, 30000)) { // each has its greeting
        state.SkipWithError("the clients did not all connect");
        return;
    }
    qint64 sent = 1;
    double cpuTotal = 0;
    double worstMs = 0;
    double sumWorstMs = 0;
    for (auto _ : state) {
        const double cpu0 = server.cpuMs();
        const qint64 t0 = clients.nowNs();
        const qint64 i = sent;
        server.post([&server, i] {
            server.server().addTick(archive::Entry::reading(YearArchive::kStartMs + i * 1000,
                                                            40 + static_cast<double>(i % 30), 101.2,
                                                            900, 9100));
        });
        ++sent;
        if (!clients.waitFor(sent, 10000)) {
            state.SkipWithError("a reading did not reach every client");
            break;
        }
        const double latencyMs = static_cast<double>(clients.lastArrivalNs() - t0) / 1e6;
        server.run([] {}); // the server has finished with this reading's writes
        cpuTotal += server.cpuMs() - cpu0;
        worstMs = std::max(worstMs, latencyMs);
        sumWorstMs += latencyMs;
    }
    const auto readings = static_cast<double>(state.iterations());
    state.counters["clients"] = n;
    state.counters["worst_latency_ms"] = worstMs;
    state.counters["mean_latency_ms"] = readings > 0 ? sumWorstMs / readings : 0;
    state.counters["server_cpu_ms_per_reading"] = readings > 0 ? cpuTotal / readings : 0;
    // At one reading a second, the share of one core is the CPU milliseconds per reading / 10.
    state.counters["core_percent_at_1Hz"] = readings > 0 ? cpuTotal / readings / 10.0 : 0;
}

} // namespace

BENCHMARK(ReadingsOfAYear)->Arg(2000)->Arg(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Current)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(LiveFeedFanOut)->Arg(200)->Iterations(60)->UseRealTime()->Unit(benchmark::kMillisecond);
