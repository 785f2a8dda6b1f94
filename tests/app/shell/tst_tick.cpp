// The acquisition tick in virtual time against a scripted station: the beat, the counter,
// time-outs and their message, repeated requests, stopping or leaving while an exchange
// waits, and the status bar that follows the link.

#include "ShellRig.h"
#include "clsSenalTerminacion.h"
#include "ctlBarraEstado.h"

#include "archive/ArchiveReader.h"
#include "archive/DatabaseSink.h"

#include <QLabel>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

namespace {
constexpr int kHumedad = 4;
constexpr int kPresion = 3;

// A readings archive in strArchivo, written on the rig's clock.
ShellRig::FabricaArchivo archivoEn(const QString& strArchivo) {
    return [strArchivo](forms::Scheduler& reloj) {
        return std::make_unique<archive::ArchiveWriter>(
            std::make_unique<archive::DatabaseSink>(strArchivo), reloj);
    };
}

// What the archive in strArchivo holds, once the program has ended.
archive::ArchiveReader::Summary resumenDe(const QString& strArchivo) {
    archive::ArchiveDatabase db(strArchivo);
    archive::ArchiveReader::Summary resumen;
    if (com::succeeded(db.open(archive::ArchiveDatabase::Mode::Read))) {
        [[maybe_unused]] const auto hr = archive::ArchiveReader(db).summary(60000, resumen);
    }
    return resumen;
}

// Leaves through the exit command, answering its question with Yes.
void sale(ShellRig& rig) {
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    rig.principal->menuArchivoOpciones_Click(6);
    rig.reloj.advanceBy(20000);
}
} // namespace

class tst_tick : public QObject {
    Q_OBJECT

private slots:
    void cadaSegundoUnaLectura();
    void conversiones_data();
    void conversiones();
    void silencioDaErrorDeTiempo();
    void ningunTickMientrasElMensajeEstaAbierto();
    void tramaDeErrorRepiteLaPeticion();
    void detenerDuranteLaEspera();
    void detenerEIniciarDuranteLaEspera();
    void detenerDuranteLaEsperaDejaLaMediaEntreMinimoYMaximo();
    void detenerCallaLaLineaAunqueLaEstacionSoloDeError();
    void laBarraDeEstadoSigueAlEnlace();
    void salirDuranteLaEspera();
    void salirDuranteLaEsperaNoArchivaUnFallo();
    void laSimulacionCerradaVuelveConElTick();
    void estacionQueSoloSeQuejaNoPareceSana();
    void sumaErroneaNoEsLectura();
    void laBarraSigueAlPuertoConElMensajeAbierto();
    void salirSinPreguntarGuardaLoPendiente();
    void senalDeTerminacionSaleSinPreguntar();
};

void tst_tick::cadaSegundoUnaLectura() {
    ShellRig rig;
    rig.inicia();
    rig.reloj.advanceBy(5000);
    QCOMPARE(modGlobal::lNumeroMuestras, 5);
    QCOMPARE(rig.valores->valores.size(), 5);
    QCOMPARE(rig.simulacion->valores.size(), 5);
    // The counter already counts the tick the children are shown.
    QCOMPARE(rig.valores->muestras, QList<qint32>({1, 2, 3, 4, 5}));
    // Humidity then pressure, each tick on the one-second beat although each takes a while.
    const auto peticiones = rig.peticiones();
    QCOMPARE(peticiones.size(), 10);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(peticiones[2 * i].first, kHumedad);
        QCOMPARE(peticiones[2 * i + 1].first, kPresion);
        QCOMPARE(peticiones[2 * i].second, 1000 * (i + 1));
    }
    // Stopped: no further tick, the counter starts over.
    rig.detiene();
    rig.reloj.advanceBy(5000);
    QCOMPARE(rig.peticiones().size(), 10);
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
}

void tst_tick::conversiones_data() {
    QTest::addColumn<int>("lectura");
    QTest::addColumn<double>("humedad");
    QTest::addColumn<double>("presion");
    QTest::newRow("0x0200") << 0x200 << 43.6025641025641 << 64.9999260869565;
    QTest::newRow("cero") << 0 << -20.5 << 10.6521;
}

void tst_tick::conversiones() {
    QFETCH(int, lectura);
    QFETCH(double, humedad);
    QFETCH(double, presion);
    ShellRig rig;
    rig.estacion.iLectura = lectura;
    rig.inicia();
    rig.reloj.advanceBy(1000);
    QCOMPARE(rig.simulacion->valores.size(), 1);
    QVERIFY(qAbs(rig.simulacion->valores[0].first - humedad) < 1e-9);
    QVERIFY(qAbs(rig.simulacion->valores[0].second - presion) < 1e-9);
}

void tst_tick::silencioDaErrorDeTiempo() {
    ShellRig rig;
    forms::MessageBoxRecorder mensajes;
    rig.estacion.bCallada = true;
    rig.inicia();
    rig.reloj.advanceBy(1000 + 8000);
    QCOMPARE(mensajes.requests().size(), 1);
    const auto& m = mensajes.requests().first();
    QCOMPARE(m.text, QStringLiteral("Error de tiempo"));
    QCOMPARE(m.caption, QStringLiteral("Brisora"));
    QCOMPARE(m.buttons, forms::MsgButtons::Ok);
    QCOMPARE(m.icon, forms::MsgIcon::None);
    QVERIFY(rig.valores->valores.isEmpty());
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
    QCOMPARE(rig.principal->iEstadoSimulacion, qint16(1));
    // A time-out on the pressure request drops that tick's humidity as well; the next tick
    // starts again from humidity.
    rig.estacion.bCallada = false;
    rig.estacion.plan = {EstacionDoble::Paso::Responde, EstacionDoble::Paso::Calla};
    rig.reloj.advanceBy(1000 + 8000);
    QCOMPARE(mensajes.requests().size(), 2);
    QVERIFY(rig.valores->valores.isEmpty());
    rig.reloj.advanceBy(1000);
    QCOMPARE(rig.valores->valores.size(), 1);
    QCOMPARE(modGlobal::lNumeroMuestras, 1);
    const auto peticiones = rig.peticiones();
    QCOMPARE(peticiones.last().first, kPresion);
    QCOMPARE(peticiones[peticiones.size() - 2].first, kHumedad);
}

void tst_tick::ningunTickMientrasElMensajeEstaAbierto() {
    ShellRig rig;
    rig.estacion.bCallada = true;
    qsizetype iPeticionesAlAbrir = -1;
    qsizetype iPeticionesAlCerrar = -1;
    // The message stays open for 5 s, while the message loop keeps running timers.
    const auto anterior = forms::MessageBox::setHandler([&](const forms::MessageRequest&) {
        iPeticionesAlAbrir = rig.peticiones().size();
        rig.reloj.advanceBy(5000);
        iPeticionesAlCerrar = rig.peticiones().size();
        return forms::MsgAnswer::Ok;
    });
    rig.inicia();
    rig.reloj.advanceBy(1000 + 8000);
    forms::MessageBox::setHandler(anterior);
    QCOMPARE(iPeticionesAlAbrir, 1);
    QCOMPARE(iPeticionesAlCerrar, 1);
    QVERIFY(rig.principal->tmrSegundo().Enabled());
}

void tst_tick::tramaDeErrorRepiteLaPeticion() {
    ShellRig rig;
    forms::MessageBoxRecorder mensajes;
    rig.estacion.plan = {EstacionDoble::Paso::TrabaYError};
    rig.inicia();
    rig.reloj.advanceBy(1000 + 2000 + 500);
    QCOMPARE(mensajes.requests().size(), 0);
    QCOMPARE(rig.valores->valores.size(), 1);
    QList<int> lecturas;
    for (const auto& p : rig.peticiones()) {
        lecturas << p.first;
    }
    QCOMPARE(lecturas, QList<int>({kHumedad, kHumedad, kPresion}));
}

void tst_tick::detenerDuranteLaEspera() {
    ShellRig rig;
    rig.estacion.iDemoraMs = 1500;
    rig.inicia();
    rig.reloj.post([&rig] { rig.detiene(); }, 1500);
    rig.reloj.advanceBy(10000);
    // The running tick completes and reaches the children; no tick follows.
    QCOMPARE(rig.valores->valores.size(), 1);
    QCOMPARE(rig.simulacion->valores.size(), 1);
    QCOMPARE(rig.peticiones().size(), 2);
    QVERIFY(!rig.principal->tmrSegundo().Enabled());
    // The next run counts from zero.
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
    rig.inicia();
    rig.reloj.advanceBy(1000 + 3000);
    QCOMPARE(rig.valores->muestras.last(), 1);
}

void tst_tick::detenerEIniciarDuranteLaEspera() {
    ShellRig rig;
    rig.estacion.iDemoraMs = 1500;
    rig.inicia();
    rig.reloj.post(
        [&rig] {
            rig.detiene();
            rig.inicia();
        },
        1500);
    rig.reloj.advanceBy(1000 + 1500 + 1500 + 100);
    // The waiting tick belonged to the stopped run, whose statistics the new start cleared: it
    // asks for nothing more and hands nothing on.
    QCOMPARE(rig.peticiones().first().first, kHumedad);
    QCOMPARE(rig.peticiones().at(1).first, kHumedad);
    rig.reloj.advanceBy(10000);
    QVERIFY(rig.valores->valores.size() >= 2);
    QCOMPARE(rig.valores->muestras.first(), 1);
    QCOMPARE(rig.valores->muestras.last(), rig.valores->valores.size());
    // Each request went out after the previous reply.
    const auto peticiones = rig.peticiones();
    for (qsizetype i = 1; i < peticiones.size(); ++i) {
        QVERIFY(peticiones[i].second - peticiones[i - 1].second >= rig.estacion.iDemoraMs);
    }
}

void tst_tick::detenerDuranteLaEsperaDejaLaMediaEntreMinimoYMaximo() {
    ShellRig rig;
    rig.inicia();
    for (const int iLectura : {300, 700, 500}) {
        rig.estacion.iLectura = iLectura;
        rig.reloj.advanceBy(1000);
    }
    // The fourth tick waits for a slow station when Stop is pressed.
    rig.estacion.iLectura = 600;
    rig.estacion.iDemoraMs = 1500;
    rig.reloj.post([&rig] { rig.detiene(); }, 1500);
    rig.reloj.advanceBy(10000);
    // Its readings reached the children counted in their own run, as the fourth of four.
    QCOMPARE(rig.valores->muestras, QList<qint32>({1, 2, 3, 4}));
    QCOMPARE(rig.simulacion->muestras.last(), 4);
    double dSuma = 0.0;
    double dMinimo = rig.valores->valores.first().first;
    double dMaximo = dMinimo;
    for (const auto& lectura : rig.valores->valores) {
        dSuma += lectura.first;
        dMinimo = qMin(dMinimo, lectura.first);
        dMaximo = qMax(dMaximo, lectura.first);
    }
    const double dMedia = dSuma / rig.valores->muestras.last();
    QVERIFY2(dMinimo <= dMedia && dMedia <= dMaximo, qPrintable(QString::number(dMedia)));
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
    QCOMPARE(rig.peticiones().size(), 8);
}

void tst_tick::detenerCallaLaLineaAunqueLaEstacionSoloDeError() {
    ShellRig rig;
    forms::MessageBoxRecorder mensajes;
    rig.estacion.plan = QList<EstacionDoble::Paso>(100, EstacionDoble::Paso::TrabaYError);
    rig.inicia();
    // Each exchange ends about 2 s after its request, with the station's error frame, and the
    // tick sends the request again: the second exchange waits when Stop is pressed.
    qsizetype iPeticionesAlDetener = 0;
    rig.reloj.post(
        [&rig, &iPeticionesAlDetener] {
            iPeticionesAlDetener = rig.peticiones().size();
            rig.detiene();
        },
        4000);
    const qint64 lDetenido = 4000;
    rig.reloj.advanceBy(30000);
    QCOMPARE(iPeticionesAlDetener, 2);
    // The exchange under way ends; nothing goes on the wire after it.
    const auto& escrituras = rig.fake->writes();
    QVERIFY(escrituras.last().atMs - lDetenido <= clsServidorTramas::iTIEMPO_DESBLOQUEO_MS + 100);
    QCOMPARE(rig.peticiones().size(), 2);
    QVERIFY(rig.valores->valores.isEmpty());
    QVERIFY(rig.simulacion->valores.isEmpty());
    QVERIFY(mensajes.requests().isEmpty());
    QVERIFY(!rig.principal->bfntTickEnCurso());
}

void tst_tick::laBarraDeEstadoSigueAlEnlace() {
    ShellRig rig;
    forms::MessageBoxRecorder mensajes;
    rig.principal->setHora([&rig] { return QTime(10, 0, 0).addMSecs(int(rig.reloj.nowMs())); });
    const ctlBarraEstado& barra = *rig.principal->barraEstado();
    const auto enlace = [&barra] { return barra.lblEnlace()->text(); };
    QCOMPARE(enlace(), QStringLiteral("COM2 (/dev/ttyS1): abierto"));
    rig.inicia();
    rig.reloj.advanceBy(2000);

    rig.estacion.bCallada = true; // the tick at 3 s waits until 11 s
    rig.reloj.advanceBy(1000 + 8000);
    QCOMPARE(enlace(), QStringLiteral("COM2 (/dev/ttyS1): sin respuesta desde 10:00:03"));
    rig.estacion.bCallada = false;
    rig.reloj.advanceBy(1000);
    QCOMPARE(enlace(), QStringLiteral("COM2 (/dev/ttyS1): abierto"));
    QCOMPARE(barra.lblContadores()->text(),
             QStringLiteral("Lecturas: 3 · Errores de tiempo: 1 · Desbloqueos: 0"));

    // Unplugged: the port goes, and cannot be opened again while the device is away.
    rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
    rig.fake->loseDeviceAt(rig.reloj.nowMs() + 500);
    rig.reloj.advanceBy(600);
    QCOMPARE(enlace(), QStringLiteral("COM2 (/dev/ttyS1): desconectado"));
    rig.reloj.advanceBy(20000);
    QCOMPARE(enlace(), QStringLiteral("COM2 (/dev/ttyS1): desconectado"));
    // Plugged in again: the next request opens the port and the station answers.
    rig.fake->setOpenFailure(comm::CommError::None);
    rig.reloj.advanceBy(10000);
    QCOMPARE(enlace(), QStringLiteral("COM2 (/dev/ttyS1): abierto"));
    QVERIFY(rig.valores->valores.size() > 3);
    // The only boxes were the ticks' own time-outs.
    QVERIFY(!mensajes.requests().isEmpty());
    for (const auto& m : mensajes.requests()) {
        QCOMPARE(m.text, QStringLiteral("Error de tiempo"));
    }
}

void tst_tick::salirDuranteLaEspera() {
    ShellRig rig;
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
    rig.estacion.bCallada = true;
    rig.inicia();
    rig.reloj.post([&rig] { rig.principal->menuArchivoOpciones_Click(6); }, 1500);
    rig.reloj.advanceBy(1600);
    // The exit completes as soon as the waiting tick has returned, without "Error de tiempo".
    QCOMPARE(terminado.size(), 1);
    QCOMPARE(mensajes.requests().size(), 1);
    QCOMPARE(mensajes.requests().first().text, QStringLiteral("¿Deseas salir de la aplicación?"));
    QVERIFY(rig.principal->objServidorTramas() == nullptr);
    QVERIFY(!rig.principal->bfntTickEnCurso());
    QVERIFY(rig.valores->valores.isEmpty());
    QVERIFY(rig.principal->areaHijas().frmsfntAbiertas().isEmpty());
    rig.reloj.advanceBy(20000);
    QCOMPARE(terminado.size(), 1);
    QCOMPARE(rig.estacion.iPeticiones, 1);
}

// Regression: the exit ended the wait through the reply timer, and the tick it cut short was
// archived as a station time-out that never happened.
void tst_tick::salirDuranteLaEsperaNoArchivaUnFallo() {
    QTemporaryDir dir;
    const QString strArchivo = dir.filePath(QStringLiteral("archive.sqlite"));
    {
        ShellRig rig([&](forms::Scheduler& reloj) {
            return std::make_unique<archive::ArchiveWriter>(
                std::make_unique<archive::DatabaseSink>(strArchivo), reloj);
        });
        forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
        QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
        rig.inicia();
        rig.reloj.advanceBy(2500);
        rig.estacion.bCallada = true;
        rig.reloj.post([&rig] { rig.principal->menuArchivoOpciones_Click(6); }, 1500);
        rig.reloj.advanceBy(1600);
        QCOMPARE(terminado.size(), 1);
    }
    archive::ArchiveDatabase db(strArchivo);
    QCOMPARE(db.open(archive::ArchiveDatabase::Mode::Read), com::S_OK);
    archive::ArchiveReader::Summary resumen;
    QCOMPARE(archive::ArchiveReader(db).summary(60000, resumen), com::S_OK);
    QCOMPARE(resumen.count, 2);
    QCOMPARE(resumen.failures[archive::EntryKind::Timeout], 0);
}

void tst_tick::laSimulacionCerradaVuelveConElTick() {
    ShellRig rig;
    rig.simulacion->subCerrarVentana();
    rig.activa(rig.valores);
    rig.inicia();
    rig.reloj.advanceBy(1000);
    QCOMPARE(rig.simulacion->valores.size(), 1);
    QVERIFY(rig.principal->areaHijas().frmsfntAbiertas().contains(rig.simulacion));
}

// Regression: a station that answered every request with its error frame kept the status bar
// on "abierto", counted nothing and archived nothing.
void tst_tick::estacionQueSoloSeQuejaNoPareceSana() {
    QTemporaryDir dir;
    const QString strArchivo = dir.filePath(QStringLiteral("archive.sqlite"));
    {
        ShellRig rig(archivoEn(strArchivo));
        forms::MessageBoxRecorder mensajes;
        rig.principal->setHora([&rig] { return QTime(14, 0, 0).addMSecs(int(rig.reloj.nowMs())); });
        const ctlBarraEstado& barra = *rig.principal->barraEstado();
        rig.estacion.plan = QList<EstacionDoble::Paso>(8, EstacionDoble::Paso::TrabaYError);
        rig.inicia();
        // The tick at 1 s: four exchanges of 2015 ms, each ended by the error frame.
        rig.reloj.advanceTo(1000 + 4 * 2015);
        QCOMPARE(barra.lblEnlace()->text(),
                 QStringLiteral("COM2 (/dev/ttyS1): sin lecturas desde 14:00:01"));
        QCOMPARE(barra.lblContadores()->text(),
                 QStringLiteral("Lecturas: 0 · Errores de tiempo: 0 · Desbloqueos: 4"));
        // The next tick asks again, and fails the same way; the time stays the first one.
        rig.reloj.advanceBy(1000 + 4 * 2015);
        QCOMPARE(barra.lblEnlace()->text(),
                 QStringLiteral("COM2 (/dev/ttyS1): sin lecturas desde 14:00:01"));
        QCOMPARE(barra.estado().lfntDesbloqueos(), 8);
        QVERIFY(rig.valores->valores.isEmpty());
        QVERIFY(mensajes.requests().isEmpty());
        // The station recovers.
        rig.reloj.advanceBy(1000);
        QCOMPARE(barra.lblEnlace()->text(), QStringLiteral("COM2 (/dev/ttyS1): abierto"));
        QCOMPARE(rig.valores->valores.size(), 1);
        sale(rig);
    }
    auto resumen = resumenDe(strArchivo);
    QCOMPARE(resumen.failures[archive::EntryKind::Stall], 2);
    QCOMPARE(resumen.failures[archive::EntryKind::Timeout], 0);
    QCOMPARE(resumen.count, 1);
}

void tst_tick::sumaErroneaNoEsLectura() {
    QTemporaryDir dir;
    const QString strArchivo = dir.filePath(QStringLiteral("archive.sqlite"));
    {
        ShellRig rig(archivoEn(strArchivo));
        forms::MessageBoxRecorder mensajes;
        using P = EstacionDoble::Paso;
        // First tick: the repeat is good. Second: spoilt twice.
        rig.estacion.plan = {P::SumaErronea, P::Responde, P::Responde, P::SumaErronea,
                             P::SumaErronea};
        rig.inicia();
        rig.reloj.advanceBy(3500);
        const ctlBarraEstado& barra = *rig.principal->barraEstado();
        QCOMPARE(barra.lblContadores()->text(),
                 QStringLiteral("Lecturas: 2 · Errores de tiempo: 0 · Desbloqueos: 0 · "
                                "Errores de suma: 1"));
        // Only good frames reached the windows: raw 512 each time, never the spoilt 1512.
        QCOMPARE(rig.valores->valores.size(), 2);
        QCOMPARE(rig.simulacion->valores.size(), 2);
        for (const auto& par : rig.valores->valores) {
            QCOMPARE(par.first, 43.6025641025641);
        }
        QCOMPARE(modGlobal::lNumeroMuestras, 2);
        QVERIFY(mensajes.requests().isEmpty());
        sale(rig);
    }
    auto resumen = resumenDe(strArchivo);
    QCOMPARE(resumen.failures[archive::EntryKind::Checksum], 1);
    QCOMPARE(resumen.count, 2);
}

// Regression: while "Error de tiempo" was open after an unplug the status bar stayed on
// "desconectado" with the adapter back, and the ticks of the unplugged adapter were archived
// as a port that never opened.
void tst_tick::laBarraSigueAlPuertoConElMensajeAbierto() {
    QTemporaryDir dir;
    const QString strArchivo = dir.filePath(QStringLiteral("archive.sqlite"));
    {
        ShellRig rig(archivoEn(strArchivo));
        const ctlBarraEstado& barra = *rig.principal->barraEstado();
        QStringList enlaces; // what the bar said while the box was open
        const auto anterior = forms::MessageBox::setHandler([&](const forms::MessageRequest& m) {
            if (m.text == QStringLiteral("Error de tiempo") && enlaces.isEmpty()) {
                enlaces << barra.lblEnlace()->text();
                rig.fake->setOpenFailure(comm::CommError::None); // plugged in again
                rig.reloj.advanceBy(2500);                       // the operator reads the box
                enlaces << barra.lblEnlace()->text();
            }
            return forms::MsgAnswer::Ok;
        });
        const auto restaura = qScopeGuard([&] { forms::MessageBox::setHandler(anterior); });
        rig.inicia();
        rig.reloj.advanceBy(1500);
        rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
        rig.fake->loseDeviceAt(rig.reloj.nowMs() + 100); // unplugged between ticks
        rig.reloj.advanceBy(500 + 8000 + 100);
        QCOMPARE(enlaces,
                 (QStringList{"COM2 (/dev/ttyS1): desconectado", "COM2 (/dev/ttyS1): abierto"}));
        rig.reloj.advanceBy(3000);
        QVERIFY(rig.valores->valores.size() >= 2);
        QCOMPARE(barra.lblEnlace()->text(), QStringLiteral("COM2 (/dev/ttyS1): abierto"));
        sale(rig);
    }
    auto resumen = resumenDe(strArchivo);
    QCOMPARE(resumen.failures[archive::EntryKind::PortLost], 1);
    QCOMPARE(resumen.failures[archive::EntryKind::PortCannotOpen], 0);
}

// Shutdown while a tick waits: no question, the tick is let return, and the readings still
// queued for the archive (its batch is written every five seconds) are all written.
void tst_tick::salirSinPreguntarGuardaLoPendiente() {
    QTemporaryDir dir;
    const QString strArchivo = dir.filePath(QStringLiteral("archive.sqlite"));
    {
        ShellRig rig(archivoEn(strArchivo));
        forms::MessageBoxRecorder mensajes;
        QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
        rig.inicia();
        rig.reloj.advanceBy(3500);
        QCOMPARE(rig.principal->objArchivo()->queued(), std::size_t(3));
        rig.estacion.bCallada = true;
        rig.reloj.post([&rig] { rig.principal->subSalirSinPreguntar(); }, 1000);
        rig.reloj.advanceBy(1100);
        QCOMPARE(terminado.size(), 1);
        QVERIFY(mensajes.requests().isEmpty());
        QVERIFY(rig.principal->objServidorTramas() == nullptr);
        QVERIFY(!rig.principal->bfntTickEnCurso());
        rig.principal->subSalirSinPreguntar(); // a second signal changes nothing
        QCOMPARE(terminado.size(), 1);
    }
    auto resumen = resumenDe(strArchivo);
    QCOMPARE(resumen.count, 3);
    QCOMPARE(resumen.failures[archive::EntryKind::Timeout], 0);
}

void tst_tick::senalDeTerminacionSaleSinPreguntar() {
    for (const int iSenal : {SIGTERM, SIGHUP}) {
        ShellRig rig;
        forms::MessageBoxRecorder mensajes;
        QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
        QList<int> recibidas;
        const clsSenalTerminacion objSenales({SIGTERM, SIGHUP}, [&](int iRecibida) {
            recibidas << iRecibida;
            rig.principal->subSalirSinPreguntar();
        });
        QVERIFY(objSenales.bfntActiva());
        rig.inicia();
        rig.reloj.advanceBy(1500);
        QCOMPARE(::raise(iSenal), 0);
        QTRY_COMPARE(terminado.size(), 1);
        QCOMPARE(recibidas, QList<int>{iSenal});
        QVERIFY(mensajes.requests().isEmpty());
    }
}

QTEST_MAIN(tst_tick)
#include "tst_tick.moc"
