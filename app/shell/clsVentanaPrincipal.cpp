#include "clsVentanaPrincipal.h"

namespace {
clsVentanaPrincipal* g_objVentanaPrincipal = nullptr;
}

clsVentanaPrincipal* clsVentanaPrincipal::objInstancia() {
    return g_objVentanaPrincipal;
}

void clsVentanaPrincipal::setInstancia(clsVentanaPrincipal* objVentana) {
    g_objVentanaPrincipal = objVentana;
}

void clsVentanaPrincipal::subAvisa(const QString& strClave, const QString& strTexto) {
    if (g_objVentanaPrincipal != nullptr) {
        g_objVentanaPrincipal->subAviso(strClave, strTexto);
    }
}
