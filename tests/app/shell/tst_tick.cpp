// The acquisition tick in virtual time against a scripted station: the beat, the counter,
// time-outs and their message, repeated requests, and stopping or leaving while an exchange
// waits.

#include "ShellRig.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kHumedad = 4;
constexpr int kPresion = 3;
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
    void salirDuranteLaEspera();
    void laSimulacionCerradaVuelveConElTick();
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
    // The restarted timer fell due during the wait: still one exchange at a time.
    QCOMPARE(rig.peticiones().size(), 2);
    QCOMPARE(rig.valores->muestras, QList<qint32>{1});
    rig.reloj.advanceBy(10000);
    QVERIFY(rig.valores->valores.size() > 2);
    // Requests went out one exchange at a time: humidity and pressure alternate.
    const auto peticiones = rig.peticiones();
    for (qsizetype i = 0; i < peticiones.size(); ++i) {
        QCOMPARE(peticiones[i].first, i % 2 == 0 ? kHumedad : kPresion);
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

void tst_tick::laSimulacionCerradaVuelveConElTick() {
    ShellRig rig;
    rig.simulacion->subCerrarVentana();
    rig.activa(rig.valores);
    rig.inicia();
    rig.reloj.advanceBy(1000);
    QCOMPARE(rig.simulacion->valores.size(), 1);
    QVERIFY(rig.principal->areaHijas().frmsfntAbiertas().contains(rig.simulacion));
}

QTEST_MAIN(tst_tick)
#include "tst_tick.moc"
