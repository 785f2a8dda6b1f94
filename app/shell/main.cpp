// Brisora: the weather-station console. Shows the splash for two seconds, then the main window;
// the program ends through the main window's exit command, or through SIGTERM or SIGHUP, which
// run that command without its question. "Brisora --setup" records an
// installed system-information program for the about box and ends. "Brisora --remote
// http://host:8470 [--token-file <file>]" follows that station service's readings instead of
// owning the serial port, and keeps no archive of its own (the service keeps it).

#include "clsArte.h"
#include "clsInfoSistema.h"
#include "clsSenalTerminacion.h"
#include "frmInicio.h"
#include "frmMDIPrincipal.h"
#include "modIdioma.h"

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveWriter.h"
#include "archive/ThreadedSink.h"

#include "link/frmServidorTramas.h"
#include "link/modGlobal.h"
#include "remoto/clsFuenteRemota.h"
#include "remoto/clsOpcionesRemoto.h"

#include "frmHijoSimulacion.h"
#include "frmHijoValoresInstantaneos.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstring>
#include <memory>

namespace {

int iPreparaPrograma(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream salida(stdout);
    const QString strRuta = clsInfoSistema::strfntBuscaHerramienta();
    if (strRuta.isEmpty()) {
        salida << "No system-information program found (hardinfo, gnome-system-monitor, "
                  "kinfocenter); the about box will say it is not available.\n";
        return 0;
    }
    clsInfoSistema objInfo;
    if (com::failed(objInfo.hrRegistraHerramienta(strRuta))) {
        QTextStream(stderr) << "Cannot write the registry " << com::Registry::defaultPath() << "\n";
        return 1;
    }
    salida << "System-information program recorded: " << strRuta << "\n";
    return 0;
}

// The factories of the main window: the local port and archive, or the service to follow.
frmMDIPrincipal::stFabricas fabricas(const clsOpcionesRemoto& opciones,
                                     const QByteArray& bytToken) {
    frmMDIPrincipal::stFabricas f;
    f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
    f.frmHijoValoresInstantaneos = [] { return std::make_unique<frmHijoValoresInstantaneos>(); };
    f.frmHijoSimulacion = [] { return std::make_unique<frmHijoSimulacion>(); };
    if (opciones.bRemoto) {
        f.remota = [url = opciones.urlServicio, bytToken] {
            return std::make_unique<clsFuenteRemota>(url, bytToken);
        };
        return f;
    }
    f.archivo = []() -> std::unique_ptr<archive::ArchiveWriter> {
        const auto lugar = archive::ArchiveLocation::fromEnvironment();
        if (!lugar.enabled) {
            return nullptr;
        }
        if (!lugar.error.isEmpty()) {
            // A URL that cannot be used (one with a password, say): said, never repeated.
            qWarning("%s: %s", archive::ArchiveLocation::kVariable, qPrintable(lugar.error));
            return nullptr;
        }
        return std::make_unique<archive::ArchiveWriter>(
            std::make_unique<archive::ThreadedSink>(lugar), forms::Scheduler::instance());
    };
    return f;
}

// Reads the remote options and the token; false, having said why, when they cannot be used.
bool bfntOpcionesRemoto(clsOpcionesRemoto& opciones, QByteArray& bytToken, int& iSalida) {
    opciones = clsOpcionesRemoto::opcfntDeArgumentos(QCoreApplication::arguments());
    QString strError = opciones.strError;
    iSalida = clsOpcionesRemoto::iSALIDA_USO;
    if (strError.isEmpty() && !opciones.strArchivoToken.isEmpty() &&
        !clsOpcionesRemoto::bfntLeeToken(opciones.strArchivoToken, &bytToken, &strError)) {
        iSalida = clsOpcionesRemoto::iSALIDA_SIN_ENTRADA;
    }
    if (strError.isEmpty()) {
        return true;
    }
    QTextStream(stderr) << "Brisora: " << strError << "\n";
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--setup") == 0) {
        return iPreparaPrograma(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(modGlobal::strTituloAplicacion);
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(modGlobal::iVersionMayor)
                                            .arg(modGlobal::iVersionMenor)
                                            .arg(modGlobal::iVersionRevision));
    QApplication::setWindowIcon(clsArte::icofntAplicacion());
    modIdioma::bfntCargaTraduccionesQt(app);
    clsOpcionesRemoto opciones;
    QByteArray bytToken;
    if (int iSalida = 0; !bfntOpcionesRemoto(opciones, bytToken, iSalida)) {
        return iSalida;
    }

    std::unique_ptr<frmMDIPrincipal> frmPrincipal;
    frmInicio frmSplash([&frmPrincipal, &opciones, &bytToken] {
        if (!frmPrincipal) {
            frmPrincipal = std::make_unique<frmMDIPrincipal>(fabricas(opciones, bytToken));
            QObject::connect(frmPrincipal.get(), &frmMDIPrincipal::programaTerminado, qApp,
                             &QCoreApplication::quit, Qt::QueuedConnection);
        }
        frmPrincipal->subMuestra();
    });
    // Shutdown or the end of the session: out as through "&Salir", without the question.
    const clsSenalTerminacion objSenales({SIGTERM, SIGHUP}, [&frmPrincipal](int) {
        if (frmPrincipal) {
            frmPrincipal->subSalirSinPreguntar();
        } else {
            QCoreApplication::quit(); // still on the splash: nothing to close yet
        }
    });
    frmSplash.subMuestra();
    const int iResultado = QApplication::exec();
    frmPrincipal.reset();
    return iResultado;
}
