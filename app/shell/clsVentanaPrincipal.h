#pragma once

#include <QString>

// The program-wide main window as its children see it. There is one instance for the whole
// run; children reach it through objInstancia() to work on its menus.
class clsVentanaPrincipal {
public:
    virtual ~clsVentanaPrincipal() = default;

    // Enables or disables the "A&cciones" menu (a child disables it as it closes).
    virtual void subHabilitaAcciones(bool bHabilitado) = 0;
    // Puts up in the status bar, or replaces, the notice under strClave (where a print went,
    // a file that cannot be written); an empty text takes it down.
    virtual void subAviso(const QString& strClave, const QString& strTexto) = 0;

    // subAviso on the main window, when there is one.
    static void subAvisa(const QString& strClave, const QString& strTexto);

    // The main window, or null before it exists (and in tests of a lone child).
    static clsVentanaPrincipal* objInstancia();
    static void setInstancia(clsVentanaPrincipal* objVentana);
};
