// The status bar's texts: the link's state through port trouble and silences, the counters
// and the notices other parts of the program put up.

#include "clsBarraEstado.h"
#include "ctlBarraEstado.h"

#include <QLabel>
#include <QtTest>

#include <functional>

namespace {
using Paso = std::function<void(clsBarraEstado&)>;
const QTime kDiez(10, 0, 5);
} // namespace

class tst_barraestado : public QObject {
    Q_OBJECT

private slots:
    void enlace_data();
    void enlace();
    void contadores();
    void avisosPorClave();
    void laBarraSigueCadaCambio();
};

void tst_barraestado::enlace_data() {
    QTest::addColumn<QList<Paso>>("pasos");
    QTest::addColumn<QString>("texto");
    const Paso abre = [](clsBarraEstado& e) { e.subPuertoAbierto(); };
    const Paso calla = [](clsBarraEstado& e) { e.subSinRespuesta(kDiez); };
    const Paso callaOtraVez = [](clsBarraEstado& e) { e.subSinRespuesta(kDiez.addSecs(9)); };
    const Paso responde = [](clsBarraEstado& e) { e.subRespuesta(); };
    const Paso pierde = [](clsBarraEstado& e) { e.subPuertoPerdido(); };
    const Paso noAbre = [](clsBarraEstado& e) { e.subPuertoNoSeAbre("el dispositivo no existe"); };
    const Paso sinLecturas = [](clsBarraEstado& e) { e.subSinLecturas(kDiez); };
    const Paso sinLecturasOtraVez = [](clsBarraEstado& e) { e.subSinLecturas(kDiez.addSecs(10)); };
    const Paso lee = [](clsBarraEstado& e) { e.subLectura(); };
    const QString com2 = QStringLiteral("COM2 (/dev/pts/7): ");
    QTest::newRow("abierto") << QList<Paso>{abre} << com2 + "abierto";
    QTest::newRow("sin respuesta")
        << QList<Paso>{abre, calla} << com2 + "sin respuesta desde 10:00:05";
    QTest::newRow("el silencio empieza en la primera petición")
        << QList<Paso>{abre, calla, callaOtraVez} << com2 + "sin respuesta desde 10:00:05";
    QTest::newRow("la estación vuelve") << QList<Paso>{abre, calla, responde} << com2 + "abierto";
    QTest::newRow("desconectado") << QList<Paso>{abre, pierde} << com2 + "desconectado";
    QTest::newRow("desconectado y sin respuesta")
        << QList<Paso>{abre, pierde, calla} << com2 + "desconectado";
    QTest::newRow("sigue desconectado mientras no se abre")
        << QList<Paso>{abre, pierde, noAbre} << com2 + "desconectado";
    QTest::newRow("vuelve a abrirse")
        << QList<Paso>{abre, pierde, noAbre, abre} << com2 + "abierto";
    // Regression guard: the hour is told on the 24-hour clock.
    QTest::newRow("sin respuesta por la tarde")
        << QList<Paso>{abre, [](clsBarraEstado& e) { e.subSinRespuesta(QTime(15, 4, 9)); }}
        << com2 + "sin respuesta desde 15:04:09";
    QTest::newRow("sin lecturas") << QList<Paso>{abre, sinLecturas}
                                  << com2 + "sin lecturas desde 10:00:05";
    QTest::newRow("sin lecturas desde el primer tick estancado")
        << QList<Paso>{abre, sinLecturas, sinLecturasOtraVez}
        << com2 + "sin lecturas desde 10:00:05";
    // Error frames are answers, not readings: only a reading ends it.
    QTest::newRow("las tramas de error no son lecturas")
        << QList<Paso>{abre, sinLecturas, responde} << com2 + "sin lecturas desde 10:00:05";
    QTest::newRow("una lectura acaba la racha")
        << QList<Paso>{abre, sinLecturas, lee} << com2 + "abierto";
    QTest::newRow("tras un silencio, sin lecturas")
        << QList<Paso>{abre, calla, sinLecturasOtraVez} << com2 + "sin lecturas desde 10:00:15";
    QTest::newRow("desconectado sigue desconectado")
        << QList<Paso>{abre, pierde, sinLecturas} << com2 + "desconectado";
    QTest::newRow("no se puede abrir")
        << QList<Paso>{noAbre, calla} << com2 + "no se puede abrir: el dispositivo no existe";
}

void tst_barraestado::enlace() {
    QFETCH(QList<Paso>, pasos);
    QFETCH(QString, texto);
    clsBarraEstado e;
    e.subPuerto("COM2", "/dev/pts/7");
    for (const Paso& paso : pasos) {
        paso(e);
    }
    QCOMPARE(e.strfntEnlace(), texto);
}

void tst_barraestado::contadores() {
    clsBarraEstado e;
    QCOMPARE(e.strfntContadores(),
             QStringLiteral("Lecturas: 0 · Errores de tiempo: 0 · Desbloqueos: 0"));
    e.subSinRespuesta(kDiez);
    e.subSinRespuesta(kDiez);
    e.subDesbloqueo();
    e.subLectura();
    QCOMPARE(e.strfntContadores(),
             QStringLiteral("Lecturas: 1 · Errores de tiempo: 2 · Desbloqueos: 1"));
    e.subErrorSumaLogica();
    e.subErrorSumaLogica();
    QCOMPARE(e.strfntContadores(), QStringLiteral("Lecturas: 1 · Errores de tiempo: 2 · "
                                                  "Desbloqueos: 1 · Errores de suma: 2"));
    // A reading is an answer: the silence is over.
    QCOMPARE(e.enfntEnlace(), clsBarraEstado::enEnlace::Abierto);
}

void tst_barraestado::avisosPorClave() {
    clsBarraEstado e;
    e.subAviso("impresion", "Gráfico guardado en /tmp/a.pdf");
    e.subAviso("archivo", "No se puede escribir");
    e.subAviso("impresion", "Gráfico guardado en /tmp/b.pdf");
    QCOMPARE(e.strfntAvisos(),
             QStringLiteral("Gráfico guardado en /tmp/b.pdf · No se puede escribir"));
    e.subQuitaAviso("impresion");
    e.subQuitaAviso("nadie");
    QCOMPARE(e.strfntAvisos(), QStringLiteral("No se puede escribir"));
}

void tst_barraestado::laBarraSigueCadaCambio() {
    ctlBarraEstado barra;
    barra.estado().subPuerto("COM2", "/dev/ttyS1");
    barra.estado().subPuertoNoSeAbre("no hay permiso para usar el dispositivo");
    barra.estado().subAviso("impresion", "Gráfico guardado en /tmp/a.pdf");
    barra.estado().subLectura();
    QCOMPARE(barra.lblEnlace()->text(),
             QStringLiteral("COM2 (/dev/ttyS1): no se puede abrir: no hay permiso para usar el "
                            "dispositivo"));
    QCOMPARE(barra.lblContadores()->text(),
             QStringLiteral("Lecturas: 1 · Errores de tiempo: 0 · Desbloqueos: 0"));
    QCOMPARE(barra.lblAvisos()->text(), QStringLiteral("Gráfico guardado en /tmp/a.pdf"));
}

QTEST_MAIN(tst_barraestado)
#include "tst_barraestado.moc"
