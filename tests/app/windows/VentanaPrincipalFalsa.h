// A stand-in main window that records what children ask of it, and the shared values as the
// main window's load leaves them.
#pragma once

#include "clsVentanaPrincipal.h"

#include "link/modGlobal.h"

#include <QList>
#include <QMap>
#include <QString>

class VentanaPrincipalFalsa : public clsVentanaPrincipal {
public:
    VentanaPrincipalFalsa() { setInstancia(this); }
    ~VentanaPrincipalFalsa() override { setInstancia(nullptr); }
    void subHabilitaAcciones(bool bHabilitado) override { llamadas.append(bHabilitado); }
    void subAviso(const QString& strClave, const QString& strTexto) override {
        avisos[strClave] = strTexto;
    }
    QList<bool> llamadas;
    QMap<QString, QString> avisos;
};

// The shared values as the main window's load leaves them.
inline void subValoresIniciales() {
    modGlobal::lNumeroMuestras = 0;
    modGlobal::dInicioHumedad = 0.0;
    modGlobal::dFinHumedad = 100.0;
    modGlobal::dInicioPresion = 15.0;
    modGlobal::dFinPresion = 115.0;
}
