#include "clsMenuPrincipal.h"

#include "clsArte.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

clsMenuPrincipal::clsMenuPrincipal(QMainWindow& frmVentana)
    : QObject(&frmVentana) {
    menuArchivo = mnufntMenu(frmVentana, "menuArchivo", QStringLiteral("&Archivo"));
    menuArchivoOpciones = {
        actfntOpcion(menuArchivo, QStringLiteral("&Nueva Simulación"), false),
        actfntOpcion(menuArchivo, QStringLiteral("&Cerrar Simulación"), false),
        actfntOpcion(menuArchivo, QStringLiteral("-"), false),
        actfntOpcion(menuArchivo, QStringLiteral("&Preparar Impresora")),
        actfntOpcion(menuArchivo, QStringLiteral("&Imprimir")),
        actfntOpcion(menuArchivo, QStringLiteral("-")),
        actfntOpcion(menuArchivo, QStringLiteral("&Salir")),
    };
    menuAcciones = mnufntMenu(frmVentana, "menuAcciones", QStringLiteral("A&cciones"));
    menuAccionesOpciones = {
        actfntOpcion(menuAcciones, QStringLiteral("&Inicia Simulación")),
        actfntOpcion(menuAcciones, QStringLiteral("&Detiene Simulación")),
    };
    menuPropiedades = mnufntMenu(frmVentana, "menuPropiedades", QStringLiteral("&Propiedades"));
    menuPropiedadesOpciones = {actfntOpcion(menuPropiedades, QStringLiteral("&Escala"))};
    menuVentana = mnufntMenu(frmVentana, "menuVentana", QStringLiteral("&Ventana"));
    menuVentanaOpciones = {actfntOpcion(menuVentana, QStringLiteral("&Ventanas Activas"))};
    menuAyuda = mnufntMenu(frmVentana, "menuAyuda", QStringLiteral("A&yuda"));
    menuAyudaOpciones = {actfntOpcion(menuAyuda, QStringLiteral("&Acerca de ..."))};
    subCreaBarra(frmVentana);
}

QMenu* clsMenuPrincipal::mnufntMenu(QMainWindow& frmVentana, const char* strNombre,
                                    const QString& strTitulo) {
    QMenu* menu = frmVentana.menuBar()->addMenu(strTitulo);
    menu->setObjectName(QString::fromLatin1(strNombre));
    return menu;
}

QAction* clsMenuPrincipal::actfntOpcion(QMenu* menu, const QString& strTitulo, bool bHabilitada) {
    QAction* opcion = strTitulo == u"-" ? menu->addSeparator() : menu->addAction(strTitulo);
    opcion->setEnabled(bHabilitada);
    return opcion;
}

void clsMenuPrincipal::subCreaBarra(QMainWindow& frmVentana) {
    toolBarraHerramientas = frmVentana.addToolBar(QStringLiteral("Herramientas"));
    toolBarraHerramientas->setObjectName(QStringLiteral("toolBarraHerramientas"));
    toolBarraHerramientas->setMovable(false);
    toolBarraHerramientas->setFloatable(false);
    toolBarraHerramientas->setIconSize(QSize(24, 24));
    toolBarraHerramientas->toggleViewAction()->setEnabled(false);
    subAgregaBoton(QStringLiteral("salir"), QStringLiteral("Salir Aplicación"),
                   QStringLiteral("salir"));
    toolBarraHerramientas->addSeparator();
    subAgregaBoton(QStringLiteral("nueva"), QStringLiteral("Nueva Simulación"),
                   QStringLiteral("nuevo"));
    subAgregaBoton(QStringLiteral("cerrar"), QStringLiteral("Cierra Simulación"),
                   QStringLiteral("cerrar"));
    toolBarraHerramientas->addSeparator();
    subAgregaBoton(QStringLiteral("inicio"), QStringLiteral("Inicia la Simulación"),
                   QStringLiteral("inicio"));
    subAgregaBoton(QStringLiteral("pausa"), QStringLiteral("Detiene la Simulación"),
                   QStringLiteral("pausa"));
}

void clsMenuPrincipal::subAgregaBoton(const QString& strClave, const QString& strAyuda,
                                      const QString& strImagen) {
    QAction* boton =
        toolBarraHerramientas->addAction(clsArte::icofntListaImagenes(strImagen), strAyuda);
    boton->setObjectName(strClave);
    boton->setToolTip(strAyuda);
    connect(boton, &QAction::triggered, this, [this, strClave] { emit botonPulsado(strClave); });
}

QAction* clsMenuPrincipal::btnfntBoton(const QString& strClave) const {
    const auto acciones = toolBarraHerramientas->actions();
    for (QAction* boton : acciones) {
        if (!boton->isSeparator() && boton->objectName() == strClave) {
            return boton;
        }
    }
    return nullptr;
}
