#include "frmInicio.h"

#include "clsArte.h"

#include "forms/DesignControls.h"
#include "forms/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>

namespace {

constexpr int kAnchoTwips = 5940;
constexpr int kAltoTwips = 3765;
constexpr int kLineaTwips = 2760;

QLabel* lblfntEtiqueta(QWidget* padre, const char* strNombre, const QString& strTexto,
                       double dPuntos) {
    auto* etiqueta = new QLabel(strTexto, padre);
    etiqueta->setObjectName(QString::fromLatin1(strNombre));
    etiqueta->setFont(forms::designFont(dPuntos, true));
    return etiqueta;
}

void subColoca(QLabel* etiqueta, int iIzquierda, int iArriba, int iAncho, int iAlto) {
    etiqueta->setGeometry(forms::twips::toPixels(etiqueta, iIzquierda, iArriba, iAncho, iAlto));
    clsArte::subAjustaFuente(etiqueta);
}

QLabel* picfntImagen(QWidget* padre, const char* strNombre, const QString& strImagen, int iX,
                     int iY, QSize tamano) {
    auto* imagen = new QLabel(padre);
    imagen->setObjectName(QString::fromLatin1(strNombre));
    imagen->setPixmap(clsArte::pixfntImagen(strImagen, tamano, padre->devicePixelRatioF()));
    imagen->setGeometry(QRect(forms::twips::toPixels(imagen, iX, iY, 0, 0).topLeft(), tamano));
    return imagen;
}

} // namespace

frmInicio::frmInicio(std::function<void()> evMuestraPrincipal, forms::Scheduler& scheduler,
                     QWidget* parent)
    : forms::Form(parent)
    , m_evMuestraPrincipal(std::move(evMuestraPrincipal))
    , m_tmrTiempoInicio(scheduler) {
    setObjectName(QStringLiteral("frmInicio"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setWindowIcon(clsArte::icofntAplicacion());
    setClientSizeTwips(kAnchoTwips, kAltoTwips);
    setFixedSize(size());
    auto* marMarco = new QFrame(this);
    marMarco->setObjectName(QStringLiteral("marMarco"));
    marMarco->setFrameShape(QFrame::Box);
    marMarco->setFrameShadow(QFrame::Sunken);
    placeTwips(marMarco, 90, 60, 5760, 3645);
    subCreaContenido(marMarco);
    m_tmrTiempoInicio.setInterval(iTIEMPO_INICIO_MS);
    m_tmrTiempoInicio.setCallback([this] { tmrTiempoInicio_Timer(); });
    m_tmrTiempoInicio.setEnabled(true);
}

void frmInicio::subCreaContenido(QFrame* marMarco) {
    picfntImagen(marMarco, "picIcon", QStringLiteral("icono"), 240, 240, QSize(48, 48));
    auto* lblDescription = lblfntEtiqueta(marMarco, "lblDescription",
                                          QStringLiteral("Control Brisora Meteorológica"), 14.25);
    subColoca(lblDescription, 1020, 330, 4560, 555);
    picfntImagen(marMarco, "picRetratoUno", QStringLiteral("retrato_uno"), 300, 1020,
                 QSize(82, 108));
    auto* Label1 = lblfntEtiqueta(marMarco, "Label1",
                                  QStringLiteral("Diseño y programación:\nEquipo Brisora"), 9.75);
    Label1->setAlignment(Qt::AlignCenter);
    subColoca(Label1, 1590, 1560, 2610, 525);
    picfntImagen(marMarco, "picRetratoDos", QStringLiteral("retrato_dos"), 4260, 1020,
                 QSize(80, 108));
    forms::addHorizontalLine(marMarco, 150, 5550, kLineaTwips, 1, QColor(128, 128, 128));
    forms::addHorizontalLine(marMarco, 150, 5550, kLineaTwips, 2, Qt::white, 1);
    auto* lblEtiqueta = lblfntEtiqueta(
        marMarco, "lblEtiqueta", QStringLiteral("Versión 2.0 para Win95/98/NT       2001"), 9.75);
    subColoca(lblEtiqueta, 240, 2970, 5280, 300);
}

void frmInicio::subMuestra() {
    if (const QScreen* pantalla = screen()) {
        move(pantalla->availableGeometry().center() - rect().center());
    }
    show();
}

void frmInicio::tmrTiempoInicio_Timer() {
    m_tmrTiempoInicio.setEnabled(false);
    unload();
    if (m_evMuestraPrincipal) {
        m_evMuestraPrincipal();
    }
}
