// The console end to end: the main window with the real child windows and the real frame
// server, against the station simulator over a pseudo-terminal: a few ticks and out, the
// station unplugged and plugged in again, and Stop against a station that only answers with
// error frames.

#include "clsAreaHijas.h"
#include "ctlBarraEstado.h"
#include "frmAbout.h"
#include "frmHijoSimulacion.h"
#include "frmHijoValoresInstantaneos.h"
#include "frmMDIPrincipal.h"

#include "link/frmServidorTramas.h"
#include "link/modGlobal.h"

#include "ModulosRegistrados.h"
#include "SimulatorProcess.h"
#include "forms/MessageBox.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int kEsperaMs = 30000;

// The registered modules and the main window with the real children, against the device
// behind strEnlace.
struct Consola {
    explicit Consola(const QString& strEnlace) {
        qputenv("BRISORA_COM2", strEnlace.toLocal8Bit());
        frmMDIPrincipal::stFabricas f;
        f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
        f.frmHijoValoresInstantaneos = [] {
            return std::make_unique<frmHijoValoresInstantaneos>();
        };
        f.frmHijoSimulacion = [] { return std::make_unique<frmHijoSimulacion>(); };
        principal = std::make_unique<frmMDIPrincipal>(std::move(f));
        principal->subMuestra();
    }
    ~Consola() {
        principal.reset();
        qunsetenv("BRISORA_COM2");
    }
    Consola(const Consola&) = delete;
    Consola& operator=(const Consola&) = delete;

    QString strEnlace() const { return principal->barraEstado()->lblEnlace()->text(); }
    // Leaves through the exit command; true when the program ended.
    bool bSale() {
        QSignalSpy terminado(principal.get(), &frmMDIPrincipal::programaTerminado);
        principal->menuArchivoOpciones_Click(6);
        if (terminado.isEmpty()) {
            terminado.wait(kEsperaMs); // a tick was waiting: the exit follows its end
        }
        return terminado.size() == 1;
    }

    ModulosRegistrados modulos;
    std::unique_ptr<frmMDIPrincipal> principal;
};

} // namespace

class tst_programa : public QObject {
    Q_OBJECT

private slots:
    void unasLecturasYSalir();
    void desenchufarYEnchufarLaEstacion();
    void detenerCallaLaLineaConTramasDeError();
};

void tst_programa::unasLecturasYSalir() {
    QTemporaryDir dirEnlace;
    const QString strEnlace = dirEnlace.filePath(QStringLiteral("com2"));
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512", "--link", strEnlace}));
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    Consola consola(strEnlace);
    QVERIFY(consola.modulos.bRegistrados());
    frmMDIPrincipal& principal = *consola.principal;
    QVERIFY(principal.objServidorTramas()->servidor().bfntPuertoAbierto());
    QCOMPARE(principal.areaHijas().frmsfntAbiertas().size(), 2);
    for (QWidget* frm : principal.areaHijas().frmsfntAbiertas()) {
        auto* marco = qobject_cast<QMdiSubWindow*>(frm->parentWidget());
        QVERIFY(marco != nullptr);
        QVERIFY2(!marco->isMinimized() && marco->height() > frm->height(),
                 qPrintable(frm->windowTitle()));
    }

    principal.menuAccionesOpciones_Click(0);
    QTRY_VERIFY_WITH_TIMEOUT(modGlobal::lNumeroMuestras >= 3, kEsperaMs);
    QVERIFY(mensajes.requests().isEmpty());
    subCaptura(principal, QStringLiteral("principal"));
    {
        frmAbout frm(&principal);
        subCaptura(frm, QStringLiteral("acercade"));
    }

    QVERIFY(consola.bSale());
    QCOMPARE(mensajes.requests().size(), 1);
    QVERIFY(principal.objServidorTramas() == nullptr);
    QVERIFY(principal.areaHijas().frmsfntAbiertas().isEmpty());
    QCOMPARE(sim.terminate(), 0);
}

void tst_programa::desenchufarYEnchufarLaEstacion() {
    QTemporaryDir dirEnlace;
    const QString strEnlace = dirEnlace.filePath(QStringLiteral("com2"));
    auto sim = std::make_unique<SimulatorProcess>();
    QVERIFY(sim->start({"--link", strEnlace}));
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    Consola consola(strEnlace);
    QVERIFY(consola.modulos.bRegistrados());
    const QString strPuerto = QStringLiteral("COM2 (%1): ").arg(strEnlace);
    QCOMPARE(consola.strEnlace(), strPuerto + QStringLiteral("abierto"));
    consola.principal->menuAccionesOpciones_Click(0);
    QTRY_VERIFY_WITH_TIMEOUT(modGlobal::lNumeroMuestras >= 2, kEsperaMs);

    // Unplugged: the simulator goes, and its device with it.
    QCOMPARE(sim->terminate(), 0);
    sim.reset();
    QTRY_COMPARE_WITH_TIMEOUT(consola.strEnlace(), strPuerto + QStringLiteral("desconectado"),
                              kEsperaMs);
    subCaptura(*consola.principal, QStringLiteral("desconectado"));
    const qint32 lAntes = modGlobal::lNumeroMuestras;

    // Plugged in again at the same place: the next request opens it and readings go on.
    sim = std::make_unique<SimulatorProcess>();
    QVERIFY(sim->start({"--link", strEnlace}));
    QTRY_VERIFY_WITH_TIMEOUT(modGlobal::lNumeroMuestras >= lAntes + 2, kEsperaMs);
    QCOMPARE(consola.strEnlace(), strPuerto + QStringLiteral("abierto"));
    for (const auto& m : mensajes.requests()) {
        QCOMPARE(m.text, QStringLiteral("Error de tiempo"));
    }
    QVERIFY(consola.bSale());
    QCOMPARE(sim->terminate(), 0);
}

void tst_programa::detenerCallaLaLineaConTramasDeError() {
    QTemporaryDir dirEnlace;
    const QString strEnlace = dirEnlace.filePath(QStringLiteral("com2"));
    SimulatorProcess sim;
    // Three bytes of each reply, then the error frame for every unlock message.
    QVERIFY(sim.start({"--link", strEnlace, "--mode", "stall:3", "--log"}));
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    Consola consola(strEnlace);
    QVERIFY(consola.modulos.bRegistrados());
    consola.principal->menuAccionesOpciones_Click(0);
    // The tick sends its request again after every error frame, about every two seconds, all
    // inside one tick: Stop is pressed from the message loop, as a user would.
    bool bDetenido = false;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (!bDetenido && sim.wireEvents().count(QStringLiteral("rx 40")) >= 4) {
            bDetenido = true;
            consola.principal->menuAccionesOpciones_Click(1);
        }
    });
    vigia.start(100);
    // The exchange under way ends with its error frame; after it the line stays quiet.
    QTRY_VERIFY_WITH_TIMEOUT(bDetenido && !consola.principal->bfntTickEnCurso(), kEsperaMs);
    // The simulator logs the last reply after sending it, so its log can reach the test after
    // the tick has ended: take the count once the log has been still for a second.
    qsizetype iTrafico = sim.wireEvents().size();
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(1000);
        const qsizetype iAhora = sim.wireEvents().size();
        if (iAhora == iTrafico)
            break;
        iTrafico = iAhora;
    }
    QTest::qWait(3000);
    QCOMPARE(sim.wireEvents().size(), iTrafico);
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
    QVERIFY(consola.bSale());
    QCOMPARE(sim.terminate(), 0);
}

QTEST_MAIN(tst_programa)
#include "tst_programa.moc"
