#include "frmHijoValoresInstantaneos.h"

#include "clsVentanaPrincipal.h"
#include "modFormatos.h"
#include "modRecursos.h"

#include "com/ControlSite.h"
#include "forms/DesignControls.h"
#include "forms/Twips.h"
#include "link/modGlobal.h"

#include <QGroupBox>
#include <QLabel>

namespace {

// Design sizes in twips: the client area, and the window overall with its frame.
constexpr int kAnchoCliente = 4560;
constexpr int kAltoCliente = 7095;

const QColor kRojo(255, 0, 0);
const QColor kAzulOscuro(0, 0, 192);

} // namespace

frmHijoValoresInstantaneos::frmHijoValoresInstantaneos(QWidget* parent)
    : forms::Form(parent)
    , rtmHumedad(new com::ControlSite(this))
    , rtmPresion(new com::ControlSite(this)) {
    setWindowTitle(QStringLiteral("Valores Instantáneos"));
    setClientSizeTwips(kAnchoCliente, kAltoCliente);
    setFixedSize(size());
    move(0, 0);

    QGroupBox* marHumedad = marMarco(QStringLiteral("Valor Instantáneo de la Humedad"), 240);
    QGroupBox* marPresion = marMarco(QStringLiteral("Valor Instantáneo de la Presión"), 3630);
    m_filHumedad = filCreaEtiquetas(marHumedad, QStringLiteral("%"), kRojo);
    m_filPresion = filCreaEtiquetas(marPresion, QStringLiteral("KPa"), kAzulOscuro);
    lblMaximoHumedad = m_filHumedad.lblMaximo;
    lblMinimoHumedad = m_filHumedad.lblMinimo;
    lblMedioHumedad = m_filHumedad.lblMedio;
    lblMaximoPresion = m_filPresion.lblMaximo;
    lblMinimoPresion = m_filPresion.lblMinimo;
    lblMedioPresion = m_filPresion.lblMedio;

    const std::pair<clsMedidor*, QGroupBox*> medidores[] = {{&rtmHumedad, marHumedad},
                                                            {&rtmPresion, marPresion}};
    const QString disenos[] = {QStringLiteral("rtmHumedad.ser"), QStringLiteral("rtmPresion.ser")};
    m_hrUltimo = com::S_OK;
    for (int i = 0; i < 2; ++i) {
        com::ControlSite* sitio = medidores[i].first->objSitio();
        sitio->setParent(medidores[i].second);
        subAnota(medidores[i].first->hrCrea(modRecursos::bytfntDiseno(disenos[i])));
        sitio->setGeometry(forms::twips::toPixels(this, 90, 360, 3885, 2415));
    }
    clsVentanaPrincipal::subAvisa(
        strCLAVE_AVISO_MEDIDORES,
        modFormatos::strfntAvisoComponente(QStringLiteral("GAUGEKIT"), m_hrUltimo));
    for (QLabel* lbl : m_etiquetasUnidad)
        lbl->raise();
}

QGroupBox* frmHijoValoresInstantaneos::marMarco(const QString& strTitulo, int iTop) {
    auto* marco = new QGroupBox(strTitulo, this);
    marco->setFont(forms::designFont(12, true));
    placeTwips(marco, 150, iTop, 4095, 3255);
    return marco;
}

frmHijoValoresInstantaneos::Fila
frmHijoValoresInstantaneos::filCreaEtiquetas(QGroupBox* marco, const QString& strUnidad,
                                             const QColor& color) {
    QPalette paleta = marco->palette();
    paleta.setColor(QPalette::WindowText, color);
    const auto etiqueta = [&](const QString& strTexto, int iLeft, int iTop, int iAncho, int iAlto) {
        auto* lbl = new QLabel(strTexto, marco);
        lbl->setFont(forms::designFont(9));
        lbl->setPalette(paleta);
        placeTwips(lbl, iLeft, iTop, iAncho, iAlto);
        return lbl;
    };
    // The unit stands in the top-left corner of the meter, clear of the frame's caption.
    QLabel* lblEtiqueta = etiqueta(strUnidad, 150, 420, 405, 315);
    lblEtiqueta->setFont(forms::designFont(9, true));
    m_etiquetasUnidad.append(lblEtiqueta);
    const Fila fila{etiqueta(QStringLiteral("Máximo: 000.0"), 60, 2910, 1305, 225),
                    etiqueta(QStringLiteral("Mínimo: 000.0"), 1380, 2910, 1305, 225),
                    etiqueta(QStringLiteral("V. Medio: 000.0"), 2700, 2910, 1305, 225)};
    subAjustaFila(fila);
    return fila;
}

void frmHijoValoresInstantaneos::subAjustaFila(const Fila& fila) {
    // Readings of four integer digits (1013.3 kPa) must show whole: the row takes the largest
    // size up to the designed one at which every label fits a value of "0000.0".
    const QString strCifras = QStringLiteral("0000") + QLocale().decimalPoint() + u'0';
    const QString strMuestras = QStringList{QStringLiteral("Máximo: "), QStringLiteral("Mínimo: "),
                                            QStringLiteral("V. Medio: ")}
                                    .join(strCifras + u'\n') +
                                strCifras;
    const QFont fuente = forms::fittedFont(fila.lblMedio, strMuestras, fila.lblMedio->width());
    for (QLabel* lbl : {fila.lblMaximo, fila.lblMinimo, fila.lblMedio})
        lbl->setFont(fuente);
}

void frmHijoValoresInstantaneos::subAnota(com::HRESULT hr) {
    if (com::succeeded(m_hrUltimo))
        m_hrUltimo = hr;
}

void frmHijoValoresInstantaneos::evPintaMuñeco() {
    m_hrUltimo = com::S_OK;
    subAnota(rtmHumedad.hrConfigura({objHumedad.dMinimo, objHumedad.dMaximo, 12}));
    subAnota(rtmPresion.hrConfigura({objPresion.dMinimo, objPresion.dMaximo, 9}));
}

void frmHijoValoresInstantaneos::evPintaValores(double& dHumedad, double& dPresion) {
    m_hrUltimo = com::S_OK;
    const std::pair<clsMedidor*, double> lecturas[] = {{&rtmHumedad, dHumedad},
                                                       {&rtmPresion, dPresion}};
    const std::pair<clsEstadistica*, const Fila*> estadisticas[] = {{&objHumedad, &m_filHumedad},
                                                                    {&objPresion, &m_filPresion}};
    for (int i = 0; i < 2; ++i) {
        subAnota(lecturas[i].first->hrMuestraValor(lecturas[i].second));
        estadisticas[i].first->subAnade(lecturas[i].second);
        subMuestraEstadistica(*estadisticas[i].first, *estadisticas[i].second);
    }
}

void frmHijoValoresInstantaneos::subMuestraEstadistica(const clsEstadistica& objEstadistica,
                                                       const Fila& fila) {
    fila.lblMaximo->setText(objEstadistica.strfntMaximo());
    fila.lblMinimo->setText(objEstadistica.strfntMinimo());
    fila.lblMedio->setText(objEstadistica.strfntMedio(modGlobal::lNumeroMuestras));
}

void frmHijoValoresInstantaneos::evValoresDefecto() {
    objHumedad.subValoresDefecto(0.0, 100.0);
    objPresion.subValoresDefecto(15.0, 115.0);
}

void frmHijoValoresInstantaneos::evFijaEstadistica(const stCifras& humedad,
                                                   const stCifras& presion) {
    const std::pair<clsEstadistica*, const stCifras*> cifras[] = {{&objHumedad, &humedad},
                                                                  {&objPresion, &presion}};
    for (const auto& [objEstadistica, c] : cifras) {
        objEstadistica->dMaximo = c->dMaximo;
        objEstadistica->dMinimo = c->dMinimo;
        objEstadistica->dSuma = c->dSuma;
    }
    subMuestraEstadistica(objHumedad, m_filHumedad);
    subMuestraEstadistica(objPresion, m_filPresion);
}

void frmHijoValoresInstantaneos::subCerrarVentana() {
    bImpideCierre = false;
    if (clsVentanaPrincipal* principal = clsVentanaPrincipal::objInstancia())
        principal->subHabilitaAcciones(false);
    unload();
}

void frmHijoValoresInstantaneos::queryUnload(bool& cancel) {
    cancel = bImpideCierre;
}

void frmHijoValoresInstantaneos::resizeEvent(QResizeEvent* event) {
    forms::Form::resizeEvent(event);
    // The window keeps its designed size whatever asks it to change.
    const QSize tamano = forms::twips::toPixels(this, 0, 0, kAnchoCliente, kAltoCliente).size();
    if (size() != tamano)
        resize(tamano);
}
