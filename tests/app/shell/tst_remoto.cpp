// The console following a station service instead of owning the port: the main window with the
// real child windows against brisora-station fed by the station simulator. The meters and the
// statistics show the service's readings; the service stopped is shown as an unplugged port
// is, and followed again when it is back on its address.

#include "clsMenuPrincipal.h"
#include "clsSeguimientoRemoto.h"
#include "ctlBarraEstado.h"
#include "frmHijoSimulacion.h"
#include "frmHijoValoresInstantaneos.h"
#include "frmMDIPrincipal.h"

#include "archive/ArchiveWriter.h"
#include "link/modGlobal.h"
#include "remoto/clsFuenteRemota.h"

#include "ModulosRegistrados.h"
#include "SimulatorProcess.h"
#include "StationProcess.h"
#include "forms/MessageBox.h"

#include <QAction>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>
#include <QtTest>

#include <csignal>

namespace {

constexpr int kEsperaMs = 30000;

// The readings the service counts since it started (since_start.count of /api/current); -1
// without an answer.
qint64 lLecturasDelServicio(quint16 iPuerto) {
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    std::unique_ptr<QNetworkReply> respuesta(nam.get(
        QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/api/current").arg(iPuerto)))));
    QEventLoop bucle;
    QObject::connect(respuesta.get(), &QNetworkReply::finished, &bucle, &QEventLoop::quit);
    QTimer::singleShot(5000, &bucle, &QEventLoop::quit);
    bucle.exec();
    if (!respuesta->isFinished() || respuesta->error() != QNetworkReply::NoError) {
        return -1;
    }
    return QJsonDocument::fromJson(respuesta->readAll())
        .object()
        .value("since_start")
        .toObject()
        .value("count")
        .toInteger(-1);
}

quint16 puertoLibre() {
    QTcpServer sonda;
    return sonda.listen(QHostAddress::LocalHost, 0) ? sonda.serverPort() : 0;
}

} // namespace

class tst_remoto : public QObject {
    Q_OBJECT

private slots:
    void sigueAlServicioYLoRecupera();
};

void tst_remoto::sigueAlServicioYLoRecupera() {
    // Raw 512 on both: 43.6 % and 65.0 kPa.
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512"}));
    const quint16 iPuerto = puertoLibre();
    QVERIFY(iPuerto != 0);
    StationProcess estacion;
    estacion.configure(
        sim.device(), "interval_ms = 250\nlisten = 127.0.0.1:" + QByteArray::number(iPuerto) + "\n",
        true);
    QVERIFY(estacion.start());
    QVERIFY2(estacion.waitForLog(QStringLiteral("web page at")), qPrintable(estacion.log()));
    // Readings the console never sees as ticks: it takes them from the service's figures.
    QTRY_VERIFY_WITH_TIMEOUT(lLecturasDelServicio(iPuerto) >= 4, kEsperaMs);

    ModulosRegistrados modulos;
    QVERIFY(modulos.bRegistrados());
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    const QUrl url(QStringLiteral("http://127.0.0.1:%1").arg(iPuerto));
    frmMDIPrincipal::stFabricas f;
    f.frmHijoValoresInstantaneos = [] { return std::make_unique<frmHijoValoresInstantaneos>(); };
    f.frmHijoSimulacion = [] { return std::make_unique<frmHijoSimulacion>(); };
    f.archivo = []() -> std::unique_ptr<archive::ArchiveWriter> {
        qFatal("a console following a service keeps no archive");
    };
    f.remota = [url] {
        auto fuente = std::make_unique<clsFuenteRemota>(url, QByteArray());
        clsFuenteRemota::stEsperas esperas;
        esperas.iEsperaInicialMs = 100;
        esperas.iEsperaMaximaMs = 500;
        fuente->setEsperas(esperas);
        return fuente;
    };
    frmMDIPrincipal principal(std::move(f));
    principal.subMuestra();
    const auto enlace = [&] { return principal.barraEstado()->lblEnlace()->text(); };
    const QString strServicio =
        QStringLiteral("http://127.0.0.1:%1 (%2): ").arg(iPuerto).arg(sim.device());

    // No port of its own, and nothing here drives the service's.
    QVERIFY(principal.objServidorTramas() == nullptr);
    QVERIFY(principal.objSeguimientoRemoto() != nullptr);
    QVERIFY(!principal.menus().menuAcciones->menuAction()->isEnabled());
    QVERIFY(!principal.menus().btnfntBoton(QStringLiteral("inicio"))->isEnabled());
    QVERIFY(!principal.menus().btnfntBoton(QStringLiteral("pausa"))->isEnabled());
    principal.menuAccionesOpciones_Click(1);
    QCOMPARE(principal.iEstadoSimulacion, 1);

    QTRY_COMPARE_WITH_TIMEOUT(enlace(), strServicio + QStringLiteral("abierto"), kEsperaMs);
    QTRY_VERIFY_WITH_TIMEOUT(modGlobal::lNumeroMuestras >= 3, kEsperaMs);
    // Counted as the service counts, each reading once: both counts go on moving, so the
    // console's reaches what the service had counted and never passes what it counts next.
    const qint64 lServicio = lLecturasDelServicio(iPuerto);
    QTRY_VERIFY_WITH_TIMEOUT(qint64(modGlobal::lNumeroMuestras) >= lServicio, kEsperaMs);
    QVERIFY(qint64(modGlobal::lNumeroMuestras) <= lLecturasDelServicio(iPuerto));
    auto* valores = static_cast<frmHijoValoresInstantaneos*>(principal.objValoresInstantaneos());
    QCOMPARE(valores->lblMaximoHumedad->text(), QStringLiteral("Máximo: 043.6"));
    QCOMPARE(valores->lblMinimoHumedad->text(), QStringLiteral("Mínimo: 043.6"));
    QCOMPARE(valores->lblMedioPresion->text(), QStringLiteral("V. Medio: 065.0"));
    QCOMPARE(valores->hrUltimoResultado(), com::S_OK);
    // The status bar counts the ticks that arrived here.
    QTRY_VERIFY_WITH_TIMEOUT(principal.barraEstado()->estado().lfntLecturas() >= 3, kEsperaMs);

    // The service stops: shown as an unplugged port.
    QCOMPARE(estacion.signalAndWait(SIGTERM), 0);
    QTRY_COMPARE_WITH_TIMEOUT(enlace(), strServicio + QStringLiteral("desconectado"), kEsperaMs);
    const qint32 lAntes = modGlobal::lNumeroMuestras;
    QTest::qWait(1000);
    QCOMPARE(enlace(), strServicio + QStringLiteral("desconectado"));

    // Started again on the same address: followed again, the readings go on.
    QVERIFY(estacion.start());
    QTRY_COMPARE_WITH_TIMEOUT(enlace(), strServicio + QStringLiteral("abierto"), kEsperaMs);
    QTRY_VERIFY_WITH_TIMEOUT(modGlobal::lNumeroMuestras >= lAntes + 3, kEsperaMs);
    // The new run's figures add to the first run's.
    const qint64 lNuevoServicio = lLecturasDelServicio(iPuerto);
    QTRY_VERIFY_WITH_TIMEOUT(qint64(modGlobal::lNumeroMuestras) >= lAntes + lNuevoServicio,
                             kEsperaMs);
    QVERIFY(qint64(modGlobal::lNumeroMuestras) <= lAntes + lLecturasDelServicio(iPuerto));
    QCOMPARE(valores->lblMaximoHumedad->text(), QStringLiteral("Máximo: 043.6"));
    QCOMPARE(valores->lblMedioPresion->text(), QStringLiteral("V. Medio: 065.0"));
    QVERIFY(mensajes.requests().isEmpty());

    principal.subSalirSinPreguntar();
    QVERIFY(principal.bfntTerminado());
    QCOMPARE(estacion.signalAndWait(SIGTERM), 0);
    QCOMPARE(sim.terminate(), 0);
}

QTEST_MAIN(tst_remoto)
#include "tst_remoto.moc"
