#include "frmHijoSimulacion.h"

#include "clsAjustesGrafico.h"
#include "clsVentanaPrincipal.h"
#include "frmEscala.h"
#include "modFormatos.h"
#include "modRecursos.h"

#include "com/ControlSite.h"
#include "forms/DesignControls.h"
#include "forms/Twips.h"
#include "link/modGlobal.h"

#include <QDateTime>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScreen>

namespace {

// Overall window height and the frame an MDI child adds around its client area, in twips.
constexpr int kAltoVentana = 7480;
constexpr int kAnchoBordes = 120;
constexpr int kAltoBordes = 385;
// The window stands to the right of the instantaneous-values window.
constexpr int kIzquierda = 4680;
constexpr int kMargenPantalla = 4760;

frmHijoSimulacion::FuenteHistorial& fuenteHistorial() {
    static frmHijoSimulacion::FuenteHistorial objFuente;
    return objFuente;
}

int iAnchoPantallaTwips() {
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    const int iPixeles = pantalla ? pantalla->geometry().width() : 1024;
    return int(forms::twips::fromPixels(iPixeles, forms::twips::dpiX()));
}

} // namespace

frmHijoSimulacion::frmHijoSimulacion(QWidget* parent)
    : forms::Form(parent)
    , scrMuñecoSimulacion(new com::ControlSite(this)) {
    setWindowTitle(QStringLiteral("Evolución Temporal"));
    marMarco = new QGroupBox(this);
    marMarco->setAutoFillBackground(true); // an opaque panel over the chart
    placeTwips(marMarco, 180, 120, 5145, 525);
    lblHorasSimulacion = new QLabel(modFormatos::strfntTiempoActivo(0), marMarco);
    lblHorasSimulacion->setFont(forms::designFont(8.25));
    // As wide as the frame allows, so that hours of three digits and more still show.
    placeTwips(lblHorasSimulacion, 180, 210, 5145 - 2 * 180, 195);
    // What the operator chose in an earlier run.
    clsAjustesGrafico ajustes = clsAjustesGrafico::objActuales(lHorasMostradas, iMuestrasMostradas);
    if (ajustes.bLee()) {
        lHorasMostradas = ajustes.lHoras;
        iMuestrasMostradas = ajustes.iMuestras;
        dMuestrasMostradas = double(iMuestrasMostradas);
        ajustes.subPonLimites();
    }
    subCarga();
}

frmHijoSimulacion::FuenteHistorial
frmHijoSimulacion::setFuenteHistorial(FuenteHistorial objFuente) {
    FuenteHistorial anterior = std::move(fuenteHistorial());
    fuenteHistorial() = std::move(objFuente);
    return anterior;
}

void frmHijoSimulacion::subCarga() {
    bImpideCierre = true;
    setWindowTitle(QStringLiteral("Evolución Temporal"));
    const int iAncho = iAnchoPantallaTwips() - kMargenPantalla;
    setClientSizeTwips(qMax(iAncho - kAnchoBordes, 0), kAltoVentana - kAltoBordes);
    // Inside the main window's workspace it is the frame around the form that moves.
    const QPoint posicion = forms::twips::toPixels(this, kIzquierda, 0, 0, 0).topLeft();
    if (auto* marcoMdi = qobject_cast<QMdiSubWindow*>(parentWidget()))
        marcoMdi->move(posicion);
    else
        move(posicion);

    com::ControlSite* sitio = scrMuñecoSimulacion.objSitio();
    m_hrUltimo = scrMuñecoSimulacion.hrCrea(
        modRecursos::bytfntDiseno(QStringLiteral("scrMuñecoSimulacion.json")));
    // Without a title the report still prints, headed by the chart's own: no failure to show.
    if (com::succeeded(m_hrUltimo))
        (void)scrMuñecoSimulacion.hrTituloImpresion(strTITULO_IMPRESION);
    clsVentanaPrincipal::subAvisa(
        strCLAVE_AVISO_GRAFICO,
        modFormatos::strfntAvisoComponente(QStringLiteral("TRAZOPLOT"), m_hrUltimo));
    // A chart loaded from its design fills the window as the set-up would size it, whatever
    // screen the design was made on.
    subDimensionaGrafico();
    sitio->lower();
    marMarco->raise();
    m_bCargada = true;
    subCargaHistorial();
}

void frmHijoSimulacion::subCargaHistorial() {
    if (com::failed(m_hrUltimo))
        return;
    const qint64 lHastaMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 lDesdeMs = lHastaMs - qint64(lHorasMostradas) * 3600 * 1000;
    clsHistorialGrafico historial = fuenteHistorial()
                                        ? fuenteHistorial()(lDesdeMs, lHastaMs)
                                        : clsHistorialGrafico::objfntDelArchivo(lDesdeMs, lHastaMs);
    if (historial.bVacio())
        return;
    subAnota(
        scrMuñecoSimulacion.hrAnadeMuestras(clsTrazoPlot::iCanalHumedad, historial.darrHumedad));
    subAnota(
        scrMuñecoSimulacion.hrAnadeMuestras(clsTrazoPlot::iCanalPresion, historial.darrPresion));
}

void frmHijoSimulacion::resizeEvent(QResizeEvent* event) {
    forms::Form::resizeEvent(event);
    // The chart follows the window: enlarging the window enlarges the chart.
    if (m_bCargada)
        subDimensionaGrafico();
}

void frmHijoSimulacion::subAseguraCargada() {
    if (m_bCargada)
        return;
    subCarga();
    show();
    // Back with what the operator set, not with the chart's design.
    subConfiguraGrafico();
}

void frmHijoSimulacion::subAnota(com::HRESULT hr) {
    if (com::succeeded(m_hrUltimo))
        m_hrUltimo = hr;
}

void frmHijoSimulacion::evPintaMuñeco() {
    subAseguraCargada();
    m_hrUltimo = com::S_OK;
    subConfiguraGrafico();
}

void frmHijoSimulacion::subConfiguraGrafico() {
    clsTrazoPlot& g = scrMuñecoSimulacion;
    const std::int32_t iEjeTiempo = clsTrazoPlot::iEjeTiempo;
    subAnota(g.hrMuestraEje(iEjeTiempo, true));
    subAnota(g.hrInicioEje(iEjeTiempo, 0.0));
    subAnota(g.hrFinEje(iEjeTiempo, double(lHorasMostradas * 60)));
    subAnota(g.hrPasoEje(iEjeTiempo, 60.0));

    struct EjeValor {
        std::int32_t iEje;
        double dInicio;
        double dFin;
    };
    const EjeValor ejes[] = {
        {clsTrazoPlot::iEjeHumedad, modGlobal::dInicioHumedad, modGlobal::dFinHumedad},
        {clsTrazoPlot::iEjePresion, modGlobal::dInicioPresion, modGlobal::dFinPresion}};
    for (const EjeValor& eje : ejes) {
        subAnota(g.hrMuestraEje(eje.iEje, true));
        subAnota(g.hrInicioEje(eje.iEje, eje.dInicio));
        subAnota(g.hrFinEje(eje.iEje, eje.dFin));
        subAnota(g.hrPasoEje(eje.iEje, 20.0));
        // The humidity axis stands at the start of the time axis, the pressure axis at its end.
        double dPosicion = 0.0;
        if (eje.iEje == clsTrazoPlot::iEjePresion)
            subAnota(g.hrLeeFinEje(iEjeTiempo, &dPosicion));
        subAnota(g.hrPosicionEje(eje.iEje, dPosicion));
    }

    struct Apariencia {
        std::int32_t iEje;
        std::int32_t lColor;
        const char* strTitulo;
    };
    const Apariencia apariencias[] = {{iEjeTiempo, 0, "Tiempo (horas:minutos)"},
                                      {clsTrazoPlot::iEjeHumedad, 12, "Humedad (%)"},
                                      {clsTrazoPlot::iEjePresion, 1, "Presión (KPa)"}};
    for (const Apariencia& a : apariencias) {
        subAnota(g.hrColorEje(a.iEje, a.lColor));
        subAnota(g.hrTituloEje(a.iEje, QString::fromUtf8(a.strTitulo)));
    }
    subAnota(g.hrMuestrasCanal(clsTrazoPlot::iCanalHumedad, dMuestrasMostradas));
    subAnota(g.hrMuestrasCanal(clsTrazoPlot::iCanalPresion, dMuestrasMostradas));

    subDimensionaGrafico();
    subAnota(g.hrAplica());
}

void frmHijoSimulacion::subDimensionaGrafico() {
    // The chart fills the client area: the set-up's "window less a margin" measured the window
    // with its frame, which left the chart taller than the client area and its bottom cut off.
    scrMuñecoSimulacion.objSitio()->setGeometry(rect());
}

void frmHijoSimulacion::evPintaValores(double& dHumedad, double& dPresion) {
    subAseguraCargada();
    m_hrUltimo = com::S_OK;
    double darrHumedad[2] = {dHumedad, -1.0};
    subAnota(scrMuñecoSimulacion.hrAnadeMuestra(clsTrazoPlot::iCanalHumedad, darrHumedad));
    double darrPresion[2] = {dPresion, -1.0};
    subAnota(scrMuñecoSimulacion.hrAnadeMuestra(clsTrazoPlot::iCanalPresion, darrPresion));
    lblHorasSimulacion->setText(modFormatos::strfntTiempoActivo(modGlobal::lNumeroMuestras));
}

void frmHijoSimulacion::evValoresDefecto() {
    // The chart is not cleared at a new start: the new run continues on it.
    subAseguraCargada();
}

void frmHijoSimulacion::evPreparaImpresora() {
    subAseguraCargada();
    m_hrUltimo = scrMuñecoSimulacion.hrPreparaImpresora();
}

void frmHijoSimulacion::evImprimeMuñeco() {
    subAseguraCargada();
    m_hrUltimo = scrMuñecoSimulacion.hrImprime();
    QString strDestino;
    if (com::failed(scrMuñecoSimulacion.hrDestinoImpresion(&strDestino)))
        return;
    // The status bar tells where the page went: without a printer it is a new file.
    clsVentanaPrincipal::subAvisa(strCLAVE_AVISO_IMPRESION,
                                  modFormatos::strfntAvisoImpresion(strDestino, m_hrUltimo));
}

void frmHijoSimulacion::evPropiedadesMuñeco() {
    subAseguraCargada();
    frmEscala dlgEscala(this);
    dlgEscala.iHoras = static_cast<qint16>(lHorasMostradas);
    dlgEscala.iMuestras = iMuestrasMostradas;
    dlgEscala.subMuestraModal();
    if (!dlgEscala.bSalida)
        return;
    lHorasMostradas = dlgEscala.iHoras;
    iMuestrasMostradas = dlgEscala.iMuestras;
    dMuestrasMostradas = double(iMuestrasMostradas);
    clsAjustesGrafico::objActuales(lHorasMostradas, iMuestrasMostradas).subGuarda();
    m_hrUltimo = com::S_OK;
    subConfiguraGrafico();
}

void frmHijoSimulacion::subCerrarVentana() {
    if (!m_bCargada)
        return;
    bImpideCierre = false;
    if (clsVentanaPrincipal* principal = clsVentanaPrincipal::objInstancia())
        principal->subHabilitaAcciones(false);
    unload();
}

void frmHijoSimulacion::queryUnload(bool& cancel) {
    cancel = bImpideCierre;
}

void frmHijoSimulacion::formUnload() {
    // An unloaded window keeps nothing of its chart: it comes back from the design.
    scrMuñecoSimulacion.objSitio()->close();
    m_bCargada = false;
}
