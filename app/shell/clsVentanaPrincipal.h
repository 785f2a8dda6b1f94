#pragma once

// The program-wide main window as its children see it. There is one instance for the whole
// run; children reach it through objInstancia() to work on its menus.
class clsVentanaPrincipal {
public:
    virtual ~clsVentanaPrincipal() = default;

    // Enables or disables the "A&cciones" menu (a child disables it as it closes).
    virtual void subHabilitaAcciones(bool bHabilitado) = 0;

    // The main window, or null before it exists (and in tests of a lone child).
    static clsVentanaPrincipal* objInstancia();
    static void setInstancia(clsVentanaPrincipal* objVentana);
};
