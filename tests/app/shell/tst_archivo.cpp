// The console against the station simulator over a pseudo-terminal, with its readings
// archive in a file or in a PostgreSQL database: after a few seconds and the exit,
// brisora-archive exports exactly the readings the children were handed, in order, none
// missing and none doubled.

#include "ShellRig.h"
#include "ctlBarraEstado.h"

#include "archive/ArchiveWriter.h"
#include "archive/DatabaseSink.h"
#include "archive/ThreadedSink.h"

#include "PostgresServer.h"
#include "ProgramRun.h"
#include "SimulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kEsperaMs = 30000;

// The test's PostgreSQL server, started on first use; nullptr when it cannot run.
testsupport::PostgresServer* servidor() {
    static std::unique_ptr<testsupport::PostgresServer> objServidor = [] {
        auto s = std::make_unique<testsupport::PostgresServer>();
        if (!s->start()) {
            qWarning("%s", qPrintable(s->error()));
            s.reset();
        }
        return s;
    }();
    return objServidor.get();
}

QStringList exporta(const QString& strArchivo) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISORA_ARCHIVE"), strArchivo);
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    const testsupport::ProgramRun run =
        testsupport::runProgram(QStringLiteral("brisora-archive"), {QStringLiteral("export")}, env);
    return run.exitCode == 0 ? run.out.split(u'\n', Qt::SkipEmptyParts) : QStringList();
}

} // namespace

class tst_archivo : public QObject {
    Q_OBJECT

private slots:
    void lecturasArchivadasComoLlegaron_data();
    void lecturasArchivadasComoLlegaron();
    void ficheroAjenoAvisadoEnLaBarra();
};

void tst_archivo::lecturasArchivadasComoLlegaron_data() {
    QTest::addColumn<bool>("bServidor");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

void tst_archivo::lecturasArchivadasComoLlegaron() {
    QFETCH(bool, bServidor);
    QTemporaryDir dir;
    QString strArchivo = dir.filePath(QStringLiteral("archive.sqlite"));
    if (bServidor) {
        testsupport::PostgresServer* objServidor = servidor();
        if (!objServidor) {
            QSKIP("no PostgreSQL server");
        }
        QVERIFY(objServidor->createDatabase(QStringLiteral("consola")));
        strArchivo = objServidor->url(QStringLiteral("consola"), QStringLiteral("laboratorio"));
    }
    const QString strEnlace = dir.filePath(QStringLiteral("com2"));
    SimulatorProcess sim;
    QVERIFY(sim.start({"--link", strEnlace}));
    qputenv("BRISORA_COM2", strEnlace.toLocal8Bit());

    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    QStringList log;
    HijaDoble* valores = nullptr;
    frmMDIPrincipal::stFabricas f;
    f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
    f.frmHijoValoresInstantaneos = [&] {
        auto hija =
            std::make_unique<HijaDoble>(QStringLiteral("VI"), QStringLiteral("VI"), log, false);
        valores = hija.get();
        return hija;
    };
    f.frmHijoSimulacion = [&] {
        return std::make_unique<HijaDoble>(QStringLiteral("SIM"), QStringLiteral("SIM"), log, true);
    };
    // A short beat, so that batches go out during the run as well as at the exit.
    f.archivo = [&] {
        return std::make_unique<archive::ArchiveWriter>(
            std::make_unique<archive::ThreadedSink>(archive::ArchiveLocation::parse(strArchivo)),
            forms::Scheduler::instance(),
            archive::ArchiveWriter::Options{
                .flushIntervalMs = 1500, .capacity = 1000, .maxBatch = 1000});
    };
    frmMDIPrincipal principal(std::move(f));
    QSignalSpy terminado(&principal, &frmMDIPrincipal::programaTerminado);
    principal.show();
    principal.areaHijas().subMuestra(valores);
    principal.menuAccionesOpciones_Click(0);
    QTRY_VERIFY_WITH_TIMEOUT(valores->valores.size() >= 4, kEsperaMs);
    principal.menuArchivoOpciones_Click(6);
    QTRY_COMPARE_WITH_TIMEOUT(terminado.size(), 1, kEsperaMs);
    QCOMPARE(sim.terminate(), 0);
    qunsetenv("BRISORA_COM2");

    const QStringList filas = exporta(strArchivo);
    QCOMPARE(filas.value(0),
             QStringLiteral("time,humidity_pct,pressure_kpa,raw_humidity,raw_pressure"));
    QCOMPARE(filas.size() - 1, valores->valores.size());
    QString strAnterior;
    for (qsizetype i = 0; i < valores->valores.size(); ++i) {
        const QStringList campos = filas[i + 1].split(u',');
        QCOMPARE(campos.size(), 5);
        QVERIFY2(campos[0] > strAnterior, qPrintable(filas[i + 1]));
        strAnterior = campos[0];
        QCOMPARE(campos[1].toDouble(), valores->valores[i].first);
        QCOMPARE(campos[2].toDouble(), valores->valores[i].second);
    }
}

void tst_archivo::ficheroAjenoAvisadoEnLaBarra() {
    QTemporaryDir dir;
    const QString strArchivo = dir.filePath(QStringLiteral("notas.txt"));
    QFile ajeno(strArchivo);
    QVERIFY(ajeno.open(QIODevice::WriteOnly));
    ajeno.write("notas del operador\n");
    ajeno.close();

    ShellRig rig([&](forms::Scheduler& reloj) {
        return std::make_unique<archive::ArchiveWriter>(
            std::make_unique<archive::DatabaseSink>(strArchivo), reloj);
    });
    frmMDIPrincipal& principal = *rig.principal;
    const QString strAvisos = principal.barraEstado()->estado().strfntAvisos();
    QVERIFY2(
        strAvisos.contains(strArchivo + QStringLiteral(": el fichero no es un archivo de "
                                                       "lecturas; no se archivan las lecturas.")),
        qPrintable(strAvisos));
    QCOMPARE(principal.objArchivo()->state(), archive::ArchiveWriter::State::Off);
    QVERIFY(ajeno.open(QIODevice::ReadOnly));
    QCOMPARE(ajeno.readAll(), QByteArray("notas del operador\n"));
}

QTEST_MAIN(tst_archivo)
#include "tst_archivo.moc"
