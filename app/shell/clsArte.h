#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// The program's artwork, drawn from the vector images in its resources: the application icon,
// the two portraits of the splash and the about box, and the toolbar's image list.
namespace clsArte {

// The image named `strNombre` ("icono", "retrato_uno", "salir", ...) at `tamano` device-
// independent pixels, sharp on high-density screens. A null pixmap for an unknown name.
QPixmap pixfntImagen(const QString& strNombre, QSize tamano, qreal dEscala = 1.0);

// The application icon, at the sizes window managers ask for.
QIcon icofntAplicacion();

// The toolbar's image list, by key: "salir", "nuevo", "cerrar", "inicio", "pausa", "para".
// Light grey is the mask colour of the list, so images keep their transparent background.
QIcon icofntListaImagenes(const QString& strClave);

// Shrinks the widget's font, a quarter point at a time, until the longest line of `strTexto`
// fits `iAncho` pixels; where the designed face is missing its substitute may run wider.
void subAjustaFuente(QWidget* control, const QString& strTexto, int iAncho,
                     qreal dPuntosMinimos = 6.0);
// The same for a label's own text and width.
void subAjustaFuente(QLabel* etiqueta);

} // namespace clsArte
