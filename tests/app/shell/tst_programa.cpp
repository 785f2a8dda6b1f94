// The console end to end: the main window with the real child windows and the real frame
// server, against the station simulator over a pseudo-terminal, for a few ticks and out.

#include "clsAreaHijas.h"
#include "frmAbout.h"
#include "frmHijoSimulacion.h"
#include "frmHijoValoresInstantaneos.h"
#include "frmMDIPrincipal.h"

#include "link/frmServidorTramas.h"
#include "link/modGlobal.h"

#include "SimulatorProcess.h"
#include "com/ObjectLoader.h"
#include "forms/MessageBox.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kEsperaMs = 30000;

QString strfntModulo(const char* strNombre) {
    return QDir(qEnvironmentVariable("BRISORA_BIN_DIR")).filePath(QString::fromLatin1(strNombre));
}

// Saves a picture of the widget when BRISORA_CAPTURAS names a folder, to look at by eye.
void subCaptura(QWidget& w, const QString& strNombre) {
    const QString strCarpeta = qEnvironmentVariable("BRISORA_CAPTURAS");
    if (!strCarpeta.isEmpty()) {
        w.grab().save(QDir(strCarpeta).filePath(strNombre + QStringLiteral(".png")));
    }
}

} // namespace

class tst_programa : public QObject {
    Q_OBJECT

private slots:
    void unasLecturasYSalir();
};

void tst_programa::unasLecturasYSalir() {
    QTemporaryDir dir;
    qputenv("BRISORA_REGISTRY", dir.filePath(QStringLiteral("registry.json")).toLocal8Bit());
    QCOMPARE(com::loader::registerModule(strfntModulo("GAUGEKIT.so")), com::S_OK);
    QCOMPARE(com::loader::registerModule(strfntModulo("TRAZOPLOT.so")), com::S_OK);
    const QString strEnlace = dir.filePath(QStringLiteral("com2"));
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512", "--link", strEnlace}));
    qputenv("BRISORA_COM2", strEnlace.toLocal8Bit());

    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    frmMDIPrincipal::stFabricas f;
    f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
    f.frmHijoValoresInstantaneos = [] { return std::make_unique<frmHijoValoresInstantaneos>(); };
    f.frmHijoSimulacion = [] { return std::make_unique<frmHijoSimulacion>(); };
    frmMDIPrincipal principal(std::move(f));
    QSignalSpy terminado(&principal, &frmMDIPrincipal::programaTerminado);
    principal.subMuestra();
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

    principal.menuArchivoOpciones_Click(6);
    QTRY_COMPARE_WITH_TIMEOUT(terminado.size(), 1, kEsperaMs);
    QCOMPARE(mensajes.requests().size(), 1);
    QVERIFY(principal.objServidorTramas() == nullptr);
    QVERIFY(principal.areaHijas().frmsfntAbiertas().isEmpty());
    QCOMPARE(sim.terminate(), 0);
    qunsetenv("BRISORA_COM2");
    qunsetenv("BRISORA_REGISTRY");
}

QTEST_MAIN(tst_programa)
#include "tst_programa.moc"
