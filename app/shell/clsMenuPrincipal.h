#pragma once

#include <QObject>
#include <QString>

#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The main window's menu tree and toolbar as designed: captions with their access keys, the
// designed states, no shortcut keys; toolbar buttons identified by their keys, with the tool
// tips and images of the design. The main window connects the commands.
class clsMenuPrincipal : public QObject {
    Q_OBJECT

public:
    explicit clsMenuPrincipal(QMainWindow& frmVentana);

    QMenu* menuArchivo = nullptr;
    QMenu* menuAcciones = nullptr;
    QMenu* menuPropiedades = nullptr;
    QMenu* menuVentana = nullptr;
    QMenu* menuAyuda = nullptr;
    std::array<QAction*, 7> menuArchivoOpciones{};
    std::array<QAction*, 2> menuAccionesOpciones{};
    std::array<QAction*, 1> menuPropiedadesOpciones{};
    std::array<QAction*, 1> menuVentanaOpciones{};
    std::array<QAction*, 1> menuAyudaOpciones{};

    QToolBar* toolBarraHerramientas = nullptr;
    // The toolbar button with key `strClave` ("salir", "nueva", "cerrar", "inicio", "pausa"), or
    // null.
    QAction* btnfntBoton(const QString& strClave) const;

signals:
    // A toolbar button was clicked; the main window dispatches on its key.
    void botonPulsado(const QString& strClave);

private:
    QMenu* mnufntMenu(QMainWindow& frmVentana, const char* strNombre, const QString& strTitulo);
    QAction* actfntOpcion(QMenu* menu, const QString& strTitulo, bool bHabilitada = true);
    void subCreaBarra(QMainWindow& frmVentana);
    void subAgregaBoton(const QString& strClave, const QString& strAyuda, const QString& strImagen);
};
