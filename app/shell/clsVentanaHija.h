#pragma once

#include <QString>
#include <QStringView>

class QWidget;

// What every child window of the main window offers. The main window drives its children
// only through these operations: directly on the two children it created, and by name on
// the active child for the menu and toolbar commands.
class clsVentanaHija {
public:
    virtual ~clsVentanaHija() = default;

    // Written by the main window right after it creates the child.
    qint16 iNumeroVentana = 0;

    // The child's own window (an MDI child of the main window).
    virtual QWidget* frmVentana() = 0;

    // Clears the close guard, disables the main window's "A&cciones" menu and unloads the
    // window for good.
    virtual void subCerrarVentana() = 0;
    virtual void evPreparaImpresora() = 0;
    virtual void evImprimeMuñeco() = 0;
    virtual void evPropiedadesMuñeco() = 0;
    virtual void evPintaMuñeco() = 0;
    // One reading, already in percent and kilopascal. The arguments are not changed.
    virtual void evPintaValores(double& dHumedad, double& dPresion) = 0;
    virtual void evValoresDefecto() = 0;

    // Figures of one quantity over a number of readings.
    struct stCifras {
        double dMaximo = 0.0;
        double dMinimo = 0.0;
        double dSuma = 0.0;
    };
    // Statistics told by another source (the station service followed from here) over
    // modGlobal::lNumeroMuestras readings, in place of the window's own. A window that keeps
    // none ignores them.
    virtual void evFijaEstadistica(const stCifras& humedad, const stCifras& presion) {
        (void)humedad;
        (void)presion;
    }

    // Runs the operation named `strNombre` ("subCerrarVentana", "evPreparaImpresora",
    // "evImprimeMuñeco" or "evPropiedadesMuñeco"), as the menus call it on the active child.
    // Returns false, doing nothing, for any other name.
    bool bfntLlamaPorNombre(QStringView strNombre);
};
