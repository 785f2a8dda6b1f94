// The service's live feed followed over a WebSocket server of the test's own on the loopback
// address: the token goes out as a bearer, the ticks come in checked, hostile messages are
// dropped, and a service that goes away is shown lost and followed again when it is back.

#include "remoto/clsFuenteRemota.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>
#include <QtTest>

#include <memory>
#include <utility>

namespace {

constexpr int kEsperaMs = 20000;

// A feed on the loopback address that keeps its clients and what they sent.
class Servicio : public QObject {
public:
    Servicio() {
        connect(&m_servidor, &QWebSocketServer::newConnection, this, [this] {
            while (QWebSocket* c = m_servidor.nextPendingConnection()) {
                c->setParent(this);
                autorizaciones << c->request().rawHeader("Authorization");
                rutas << c->requestUrl().path();
                clientes << c;
                connect(c, &QWebSocket::disconnected, this, [this, c] { clientes.removeOne(c); });
                c->sendTextMessage(QStringLiteral(
                    R"({"type":"hello","station":"roof","port":{"device":"/dev/ttyS9","state":"open"}})"));
            }
        });
    }
    ~Servicio() override {
        // Gone before the list their farewells would be taken from.
        for (QWebSocket* c : std::exchange(clientes, {})) {
            c->disconnect(this);
            delete c;
        }
    }
    Servicio(const Servicio&) = delete;
    Servicio& operator=(const Servicio&) = delete;

    bool escucha(quint16 iPuerto = 0) {
        return m_servidor.listen(QHostAddress::LocalHost, iPuerto);
    }
    void cierra() {
        m_servidor.close();
        for (QWebSocket* c : std::as_const(clientes)) {
            c->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("server stopping"));
        }
    }
    quint16 puerto() const { return m_servidor.serverPort(); }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(puerto())); }
    void envia(const QString& strMensaje) {
        for (QWebSocket* c : std::as_const(clientes)) {
            c->sendTextMessage(strMensaje);
        }
    }

    QList<QByteArray> autorizaciones;
    QStringList rutas;
    QList<QWebSocket*> clientes;

private:
    QWebSocketServer m_servidor{QStringLiteral("feed"), QWebSocketServer::NonSecureMode};
};

QString lectura(int n, double dHumedad) {
    return QStringLiteral(R"({"type":"tick","kind":"reading","time_ms":%1,"humidity_pct":%2,)"
                          R"("pressure_kpa":65.5,"raw_humidity":512,"raw_pressure":513,"n":%1})")
        .arg(n)
        .arg(dHumedad);
}

clsFuenteRemota::stEsperas esperasCortas() {
    clsFuenteRemota::stEsperas e;
    e.iEsperaInicialMs = 50;
    e.iEsperaMaximaMs = 200;
    e.iSilencioMs = 10000;
    return e;
}

} // namespace

class tst_fuente : public QObject {
    Q_OBJECT

private slots:
    void sigueLosTicksConSuToken();
    void descartaLoQueNoEsUnMensaje();
    void perdidaYVuelta();
    void servicioQueNuncaResponde();
    void servicioQueCalla();
};

void tst_fuente::sigueLosTicksConSuToken() {
    Servicio servicio;
    QVERIFY(servicio.escucha());
    clsFuenteRemota fuente(servicio.url(), "s3cr3t");
    QList<archive::Entry> ticks;
    connect(&fuente, &clsFuenteRemota::tickRecibido, this,
            [&](const archive::Entry& e) { ticks << e; });
    QSignalSpy puerto(&fuente, &clsFuenteRemota::puertoCambiado);
    QCOMPARE(fuente.enfntEstado(), clsFuenteRemota::enEstado::Detenida);
    fuente.subInicia();
    QCOMPARE(fuente.enfntEstado(), clsFuenteRemota::enEstado::Conectando);
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Abierta, kEsperaMs);
    QCOMPARE(servicio.autorizaciones, QList<QByteArray>{"Bearer s3cr3t"});
    QCOMPARE(servicio.rutas, QStringList{QStringLiteral("/api/live")});
    QTRY_COMPARE_WITH_TIMEOUT(puerto.size(), 1, kEsperaMs);
    QCOMPARE(fuente.strfntEstacion(), QStringLiteral("roof"));
    QCOMPARE(fuente.strfntDispositivo(), QStringLiteral("/dev/ttyS9"));
    QCOMPARE(fuente.strfntEstadoPuerto(), QStringLiteral("open"));

    servicio.envia(lectura(1, 43.5));
    servicio.envia(QStringLiteral(R"({"type":"tick","kind":"timeout","time_ms":2,"n":2})"));
    servicio.envia(QStringLiteral(R"({"type":"tick","kind":"brownout","time_ms":3,"n":3})"));
    servicio.envia(lectura(6, 44.0)); // 4 and 5 never came
    servicio.envia(QStringLiteral(R"({"type":"port","device":"/dev/ttyS9","state":"lost"})"));
    QTRY_COMPARE_WITH_TIMEOUT(puerto.size(), 2, kEsperaMs);
    QCOMPARE(ticks.size(), 3);
    QCOMPARE(ticks.at(0), archive::Entry::reading(1, 43.5, 65.5, 512, 513));
    QCOMPARE(ticks.at(1), archive::Entry::failure(2, archive::EntryKind::Timeout));
    QCOMPARE(ticks.at(2).humidityPct, 44.0);
    QCOMPARE(fuente.lfntFallosDesconocidos(), 1);
    QCOMPARE(fuente.lfntTicksPerdidos(), 2);
    QCOMPARE(fuente.lfntDescartados(), 0);
    QCOMPARE(fuente.strfntEstadoPuerto(), QStringLiteral("lost"));

    fuente.subDetiene();
    QCOMPARE(fuente.enfntEstado(), clsFuenteRemota::enEstado::Detenida);
    QTRY_VERIFY_WITH_TIMEOUT(servicio.clientes.isEmpty(), kEsperaMs);
}

void tst_fuente::descartaLoQueNoEsUnMensaje() {
    Servicio servicio;
    QVERIFY(servicio.escucha());
    clsFuenteRemota fuente(servicio.url(), {});
    QList<archive::Entry> ticks;
    connect(&fuente, &clsFuenteRemota::tickRecibido, this,
            [&](const archive::Entry& e) { ticks << e; });
    fuente.subInicia();
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Abierta, kEsperaMs);
    QCOMPARE(servicio.autorizaciones, QList<QByteArray>{QByteArray()});
    servicio.envia(QStringLiteral("not json"));
    servicio.envia(QStringLiteral(R"({"type":"tick","kind":"reading","time_ms":1})"));
    servicio.envia(QStringLiteral(R"({"type":"tick","kind":"reading","time_ms":1,)"
                                  R"("humidity_pct":1e400,"pressure_kpa":1,"raw_humidity":1,)"
                                  R"("raw_pressure":1})"));
    for (QWebSocket* c : std::as_const(servicio.clientes)) {
        c->sendBinaryMessage(QByteArray(16, '\0'));
    }
    servicio.envia(lectura(9, 50.0));
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 1, kEsperaMs);
    QCOMPARE(fuente.lfntDescartados(), 4);
    QCOMPARE(ticks.first().humidityPct, 50.0);
    // A message beyond the bound ends the connection rather than filling the memory; the
    // source comes back for the next ones.
    servicio.envia(QString(100 * 1024, u'x'));
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Perdida, kEsperaMs);
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Abierta, kEsperaMs);
    servicio.envia(lectura(10, 51.0));
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 2, kEsperaMs);
}

void tst_fuente::perdidaYVuelta() {
    auto servicio = std::make_unique<Servicio>();
    QVERIFY(servicio->escucha());
    const quint16 iPuerto = servicio->puerto();
    clsFuenteRemota fuente(servicio->url(), {});
    fuente.setEsperas(esperasCortas());
    QList<clsFuenteRemota::enEstado> estados;
    connect(&fuente, &clsFuenteRemota::estadoCambiado, this,
            [&](clsFuenteRemota::enEstado e) { estados << e; });
    QList<archive::Entry> ticks;
    connect(&fuente, &clsFuenteRemota::tickRecibido, this,
            [&](const archive::Entry& e) { ticks << e; });
    fuente.subInicia();
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Abierta, kEsperaMs);

    // The service stops: the loss is told once, and stays while it is tried again.
    servicio->cierra();
    servicio.reset();
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Perdida, kEsperaMs);
    QTest::qWait(1000); // a few attempts, each refused
    QCOMPARE(fuente.enfntEstado(), clsFuenteRemota::enEstado::Perdida);
    QVERIFY(!fuente.strfntMotivo().isEmpty());

    // Back on the same port: followed again.
    servicio = std::make_unique<Servicio>();
    QVERIFY(servicio->escucha(iPuerto));
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::Abierta, kEsperaMs);
    servicio->envia(lectura(1, 42.0));
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 1, kEsperaMs);
    using E = clsFuenteRemota::enEstado;
    QCOMPARE(estados, (QList<E>{E::Conectando, E::Abierta, E::Perdida, E::Abierta}));
}

void tst_fuente::servicioQueNuncaResponde() {
    // A port nobody listens on (free a moment ago).
    quint16 iPuerto = 0;
    {
        QTcpServer sonda;
        QVERIFY(sonda.listen(QHostAddress::LocalHost, 0));
        iPuerto = sonda.serverPort();
    }
    clsFuenteRemota fuente(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(iPuerto)), {});
    fuente.setEsperas(esperasCortas());
    QSignalSpy estados(&fuente, &clsFuenteRemota::estadoCambiado);
    fuente.subInicia();
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::NoSeConecta,
                              kEsperaMs);
    QVERIFY(!fuente.strfntMotivo().isEmpty());
    QTest::qWait(600);
    // Tried again and again, told once.
    QCOMPARE(estados.size(), 2);
}

void tst_fuente::servicioQueCalla() {
    // Accepts the connection and never answers the handshake.
    QTcpServer mudo;
    QVERIFY(mudo.listen(QHostAddress::LocalHost, 0));
    clsFuenteRemota fuente(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(mudo.serverPort())), {});
    auto esperas = esperasCortas();
    esperas.iSilencioMs = 500;
    fuente.setEsperas(esperas);
    fuente.subInicia();
    QTRY_VERIFY_WITH_TIMEOUT(mudo.hasPendingConnections(), kEsperaMs);
    QTRY_COMPARE_WITH_TIMEOUT(fuente.enfntEstado(), clsFuenteRemota::enEstado::NoSeConecta,
                              kEsperaMs);
}

QTEST_GUILESS_MAIN(tst_fuente)
#include "tst_fuente.moc"
