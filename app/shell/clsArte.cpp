#include "clsArte.h"

#include "forms/DesignControls.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <array>

// The resources live in a static library: they are registered on first use. The macro must
// be used outside any namespace.
static void subIniciaRecursos() {
    static const bool bIniciados = [] {
        Q_INIT_RESOURCE(brisora);
        return true;
    }();
    Q_UNUSED(bIniciados);
}

namespace {

QString strfntRuta(const QString& strNombre) {
    return QStringLiteral(":/brisora/%1.svg").arg(strNombre);
}

} // namespace

namespace clsArte {

QPixmap pixfntImagen(const QString& strNombre, QSize tamano, qreal dEscala) {
    subIniciaRecursos();
    QSvgRenderer renderer(strfntRuta(strNombre));
    if (!renderer.isValid() || tamano.isEmpty()) {
        return {};
    }
    QPixmap pix(tamano * dEscala);
    pix.setDevicePixelRatio(dEscala);
    pix.fill(Qt::transparent);
    QPainter painter(&pix);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(tamano)));
    return pix;
}

QIcon icofntAplicacion() {
    QIcon icono;
    for (const int iLado : {16, 24, 32, 48, 64, 128}) {
        icono.addPixmap(pixfntImagen(QStringLiteral("icono"), QSize(iLado, iLado)));
    }
    return icono;
}

QIcon icofntListaImagenes(const QString& strClave) {
    static const std::array<QString, 6> claves{QStringLiteral("salir"),  QStringLiteral("nuevo"),
                                               QStringLiteral("cerrar"), QStringLiteral("inicio"),
                                               QStringLiteral("pausa"),  QStringLiteral("para")};
    if (std::find(claves.begin(), claves.end(), strClave) == claves.end()) {
        return {};
    }
    QIcon icono;
    for (const int iLado : {16, 24, 32}) {
        for (const qreal dEscala : {1.0, 2.0}) {
            icono.addPixmap(pixfntImagen(strClave, QSize(iLado, iLado), dEscala));
        }
    }
    return icono;
}

void subAjustaFuente(QWidget* control, const QString& strTexto, int iAncho, qreal dPuntosMinimos) {
    control->setFont(forms::fittedFont(control, strTexto, iAncho, dPuntosMinimos));
}

void subAjustaFuente(QLabel* etiqueta) {
    subAjustaFuente(etiqueta, etiqueta->text(), etiqueta->width());
}

} // namespace clsArte
