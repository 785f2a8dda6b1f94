// The console against the station simulator over a pseudo-terminal, with its readings
// archive, in a file or in a PostgreSQL database: after a few seconds and the exit,
// brisora-archive exports exactly the readings the children were handed, in order, none
// missing and none doubled; a station that stalls or spoils its check sums, and an adapter
// unplugged while "Error de tiempo" is open, are told in the status bar and archived with their
// own kinds.

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
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
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

// The lines brisora-archive prints for strOrden on strArchivo.
QStringList archivo(const QString& strArchivo, const QString& strOrden) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISORA_ARCHIVE"), strArchivo);
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    const testsupport::ProgramRun run =
        testsupport::runProgram(QStringLiteral("brisora-archive"), {strOrden}, env);
    return run.exitCode == 0 ? run.out.split(u'\n', Qt::SkipEmptyParts) : QStringList();
}

QStringList exporta(const QString& strArchivo) {
    return archivo(strArchivo, QStringLiteral("export"));
}

// The failed ticks of each kind in the archive's summary.
QMap<QString, int> fallos(const QString& strArchivo) {
    QMap<QString, int> cuenta;
    for (const QString& linea : archivo(strArchivo, QStringLiteral("summary"))) {
        if (linea.startsWith(QStringLiteral("ticks fallidos:"))) {
            const QStringList partes = linea.section(u':', 1).split(u' ', Qt::SkipEmptyParts);
            for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
                cuenta[partes[i]] = partes[i + 1].toInt();
            }
        }
    }
    return cuenta;
}

// The console with recording children and a readings archive in dir, against the simulator
// behind the link dir/com2.
struct ConsolaArchivada {
    // The archive is strArchivoDado (a file or a PostgreSQL URL), else a file in dir.
    explicit ConsolaArchivada(const QTemporaryDir& dir, const QString& strArchivoDado = {})
        : strArchivo(strArchivoDado.isEmpty() ? dir.filePath(QStringLiteral("archive.sqlite"))
                                              : strArchivoDado)
        , strEnlace(strEnlaceEn(dir)) {
        qputenv("BRISORA_COM2", strEnlace.toLocal8Bit());
        frmMDIPrincipal::stFabricas f;
        f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
        f.frmHijoValoresInstantaneos = [this] {
            auto hija =
                std::make_unique<HijaDoble>(QStringLiteral("VI"), QStringLiteral("VI"), log, false);
            valores = hija.get();
            return hija;
        };
        f.frmHijoSimulacion = [this] {
            return std::make_unique<HijaDoble>(QStringLiteral("SIM"), QStringLiteral("SIM"), log,
                                               true);
        };
        // A short beat, so that batches go out during the run as well as at the exit.
        f.archivo = [this] {
            return std::make_unique<archive::ArchiveWriter>(
                std::make_unique<archive::ThreadedSink>(
                    archive::ArchiveLocation::parse(strArchivo)),
                forms::Scheduler::instance(),
                archive::ArchiveWriter::Options{
                    .flushIntervalMs = 1500, .capacity = 1000, .maxBatch = 1000});
        };
        principal = std::make_unique<frmMDIPrincipal>(std::move(f));
        terminado =
            std::make_unique<QSignalSpy>(principal.get(), &frmMDIPrincipal::programaTerminado);
        principal->show();
        principal->areaHijas().subMuestra(valores);
    }
    ~ConsolaArchivada() { qunsetenv("BRISORA_COM2"); }
    static QString strEnlaceEn(const QTemporaryDir& dir) {
        return dir.filePath(QStringLiteral("com2"));
    }
    ConsolaArchivada(const ConsolaArchivada&) = delete;
    ConsolaArchivada& operator=(const ConsolaArchivada&) = delete;

    QString strEnlaceBarra() const { return principal->barraEstado()->lblEnlace()->text(); }
    const clsBarraEstado& barra() const { return principal->barraEstado()->estado(); }
    // Leaves through the exit command (its question answered by the recorder in place).
    bool bSale() {
        principal->menuArchivoOpciones_Click(6);
        return QTest::qWaitFor([this] { return terminado->size() == 1; }, kEsperaMs);
    }

    QString strArchivo;
    QString strEnlace;
    QStringList log;
    HijaDoble* valores = nullptr;
    std::unique_ptr<frmMDIPrincipal> principal;
    std::unique_ptr<QSignalSpy> terminado;
};

} // namespace

class tst_archivo : public QObject {
    Q_OBJECT

private slots:
    void lecturasArchivadasComoLlegaron_data();
    void lecturasArchivadasComoLlegaron();
    void ficheroAjenoAvisadoEnLaBarra();
    void estacionTrabadaYSumasErroneas();
    void desenchufadaConElMensajeAbierto();
};

void tst_archivo::lecturasArchivadasComoLlegaron_data() {
    QTest::addColumn<bool>("bServidor");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

void tst_archivo::lecturasArchivadasComoLlegaron() {
    QFETCH(bool, bServidor);
    QTemporaryDir dir;
    QString strArchivo;
    if (bServidor) {
        testsupport::PostgresServer* objServidor = servidor();
        REQUIRE_POSTGRES(objServidor, QStringLiteral("the PostgreSQL server did not start"));
        QVERIFY(objServidor->createDatabase(QStringLiteral("consola")));
        strArchivo = objServidor->url(QStringLiteral("consola"), QStringLiteral("laboratorio"));
    }
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    SimulatorProcess sim;
    QVERIFY(sim.start({"--link", ConsolaArchivada::strEnlaceEn(dir)}));
    ConsolaArchivada consola(dir, strArchivo);
    strArchivo = consola.strArchivo;
    consola.principal->menuAccionesOpciones_Click(0);
    QTRY_VERIFY_WITH_TIMEOUT(consola.valores->valores.size() >= 4, kEsperaMs);
    QVERIFY(consola.bSale());
    QCOMPARE(sim.terminate(), 0);
    HijaDoble* valores = consola.valores;

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

// Regression: a station stalling on every request showed as healthy and left nothing in the
// archive; a spoilt check sum became a reading.
void tst_archivo::estacionTrabadaYSumasErroneas() {
    QTemporaryDir dir;
    forms::MessageBoxRecorder mensajes(forms::MsgAnswer::Yes);
    SimulatorProcess sim;
    QVERIFY(sim.start({"--link", ConsolaArchivada::strEnlaceEn(dir), "--mode", "stall"}));
    ConsolaArchivada consola(dir);
    consola.principal->menuAccionesOpciones_Click(0);
    QTRY_VERIFY_WITH_TIMEOUT(
        consola.strEnlaceBarra().contains(QStringLiteral("sin lecturas desde")), kEsperaMs);
    QVERIFY(consola.barra().lfntDesbloqueos() >= 2);
    QVERIFY(consola.valores->valores.isEmpty());

    QVERIFY(sim.command(QStringLiteral("mode checksum")));
    QTRY_VERIFY_WITH_TIMEOUT(consola.barra().lfntErroresSumaLogica() >= 1, kEsperaMs);
    QVERIFY(consola.valores->valores.isEmpty());
    QVERIFY(sim.command(QStringLiteral("mode normal")));
    QTRY_VERIFY_WITH_TIMEOUT(consola.valores->valores.size() >= 2, kEsperaMs);
    QVERIFY(consola.strEnlaceBarra().endsWith(QStringLiteral(": abierto")));
    QVERIFY(mensajes.requests().size() == 0);
    QVERIFY(consola.bSale());
    QCOMPARE(sim.terminate(), 0);

    const auto cuenta = fallos(consola.strArchivo);
    QVERIFY2(cuenta.value(QStringLiteral("stall")) >= 1, qPrintable(cuenta.keys().join(u' ')));
    QVERIFY(cuenta.value(QStringLiteral("checksum")) >= 1);
    QCOMPARE(cuenta.value(QStringLiteral("timeout"), -1), 0);
    // Only the readings the windows were handed: none from a spoilt frame.
    QCOMPARE(exporta(consola.strArchivo).size() - 1, consola.valores->valores.size());
}

// Regression: with "Error de tiempo" open after an unplug, the status bar stayed on
// "desconectado" once the adapter was back; the unplugged ticks were archived as a port that
// never opened.
void tst_archivo::desenchufadaConElMensajeAbierto() {
    QTemporaryDir dir;
    forms::MessageBoxRecorder respuestas(forms::MsgAnswer::Yes);
    auto sim = std::make_unique<SimulatorProcess>();
    QVERIFY(sim->start({"--link", ConsolaArchivada::strEnlaceEn(dir)}));
    ConsolaArchivada consola(dir);
    QStringList enlaces; // what the bar said while the box was open
    const auto anterior = forms::MessageBox::setHandler([&](const forms::MessageRequest& m) {
        if (m.text != QStringLiteral("Error de tiempo") || !enlaces.isEmpty()) {
            return forms::MsgAnswer::Yes;
        }
        enlaces << consola.strEnlaceBarra();
        // Plugged in again while the box stays open; the box's own loop runs meanwhile.
        sim = std::make_unique<SimulatorProcess>();
        const bool bArranca = sim->start({"--link", consola.strEnlace});
        const bool bAbierto = QTest::qWaitFor(
            [&] { return consola.strEnlaceBarra().endsWith(u": abierto"); }, kEsperaMs);
        enlaces << (bArranca && bAbierto ? consola.strEnlaceBarra()
                                         : consola.strEnlaceBarra() + QStringLiteral(" (tarde)"));
        return forms::MsgAnswer::Ok;
    });
    const auto restaura = qScopeGuard([&] { forms::MessageBox::setHandler(anterior); });
    consola.principal->menuAccionesOpciones_Click(0);
    QTRY_VERIFY_WITH_TIMEOUT(consola.valores->valores.size() >= 2, kEsperaMs);
    QCOMPARE(sim->terminate(), 0); // unplugged
    QTRY_VERIFY_WITH_TIMEOUT(enlaces.size() == 2, kEsperaMs);
    const QString strPuerto = QStringLiteral("COM2 (%1): ").arg(consola.strEnlace);
    QCOMPARE(enlaces, (QStringList{strPuerto + "desconectado", strPuerto + "abierto"}));
    const qsizetype iAntes = consola.valores->valores.size();
    QTRY_VERIFY_WITH_TIMEOUT(consola.valores->valores.size() >= iAntes + 2, kEsperaMs);
    QVERIFY(consola.bSale());
    QCOMPARE(sim->terminate(), 0);

    const auto cuenta = fallos(consola.strArchivo);
    QVERIFY(cuenta.value(QStringLiteral("port_lost")) >= 1);
    QCOMPARE(cuenta.value(QStringLiteral("port_cannot_open"), -1), 0);
}

QTEST_MAIN(tst_archivo)
#include "tst_archivo.moc"
