// Brisora: the weather-station console. Shows the splash for two seconds, then the main window;
// the program ends through the main window's exit command, or through SIGTERM or SIGHUP, which
// run that command without its question. "Brisora --setup" records an
// installed system-information program for the about box and ends.

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

frmMDIPrincipal::stFabricas fabricas() {
    frmMDIPrincipal::stFabricas f;
    f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
    f.frmHijoValoresInstantaneos = [] { return std::make_unique<frmHijoValoresInstantaneos>(); };
    f.frmHijoSimulacion = [] { return std::make_unique<frmHijoSimulacion>(); };
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

    std::unique_ptr<frmMDIPrincipal> frmPrincipal;
    frmInicio frmSplash([&frmPrincipal] {
        if (!frmPrincipal) {
            frmPrincipal = std::make_unique<frmMDIPrincipal>(fabricas());
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
