// Brisora: the weather-station console. Shows the splash for two seconds, then the main window;
// the program ends through the main window's exit command. "Brisora --setup" records an
// installed system-information program for the about box and ends.

#include "clsArte.h"
#include "clsInfoSistema.h"
#include "frmInicio.h"
#include "frmMDIPrincipal.h"

#include "link/frmServidorTramas.h"
#include "link/modGlobal.h"

#ifdef BRISORA_CON_VENTANAS
#include "frmHijoSimulacion.h"
#include "frmHijoValoresInstantaneos.h"
#else
#include "forms/Form.h"
#endif

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

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

#ifndef BRISORA_CON_VENTANAS
// Stands in for a child window kind the build does not have.
class frmHijaVacia : public forms::Form, public clsVentanaHija {
public:
    explicit frmHijaVacia(const QString& strTitulo) {
        setWindowTitle(strTitulo);
        setClientSizeTwips(6000, 4000);
    }
    QWidget* frmVentana() override { return this; }
    void subCerrarVentana() override {
        if (auto* objPrincipal = clsVentanaPrincipal::objInstancia()) {
            objPrincipal->subHabilitaAcciones(false);
        }
        hide();
    }
    void evPreparaImpresora() override {}
    void evImprimeMuñeco() override {}
    void evPropiedadesMuñeco() override {}
    void evPintaMuñeco() override {}
    void evPintaValores(double&, double&) override {}
    void evValoresDefecto() override {}
};
#endif

frmMDIPrincipal::stFabricas fabricas() {
    frmMDIPrincipal::stFabricas f;
    f.frmServidorTramas = [] { return std::make_unique<frmServidorTramas>(); };
#ifdef BRISORA_CON_VENTANAS
    f.frmHijoValoresInstantaneos = [] { return std::make_unique<frmHijoValoresInstantaneos>(); };
    f.frmHijoSimulacion = [] { return std::make_unique<frmHijoSimulacion>(); };
#else
    f.frmHijoValoresInstantaneos = [] {
        return std::make_unique<frmHijaVacia>(QStringLiteral("Valores Instantáneos"));
    };
    f.frmHijoSimulacion = [] {
        return std::make_unique<frmHijaVacia>(QStringLiteral("Evolución Temporal"));
    };
#endif
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

    std::unique_ptr<frmMDIPrincipal> frmPrincipal;
    frmInicio frmSplash([&frmPrincipal] {
        if (!frmPrincipal) {
            frmPrincipal = std::make_unique<frmMDIPrincipal>(fabricas());
            QObject::connect(frmPrincipal.get(), &frmMDIPrincipal::programaTerminado, qApp,
                             &QCoreApplication::quit, Qt::QueuedConnection);
        }
        frmPrincipal->subMuestra();
    });
    frmSplash.subMuestra();
    const int iResultado = QApplication::exec();
    frmPrincipal.reset();
    return iResultado;
}
