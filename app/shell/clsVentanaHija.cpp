#include "clsVentanaHija.h"

#include <array>
#include <utility>

bool clsVentanaHija::bfntLlamaPorNombre(QStringView strNombre) {
    using Operacion = void (clsVentanaHija::*)();
    static const std::array<std::pair<QStringView, Operacion>, 4> operaciones{{
        {u"subCerrarVentana", &clsVentanaHija::subCerrarVentana},
        {u"evPreparaImpresora", &clsVentanaHija::evPreparaImpresora},
        {u"evImprimeMuñeco", &clsVentanaHija::evImprimeMuñeco},
        {u"evPropiedadesMuñeco", &clsVentanaHija::evPropiedadesMuñeco},
    }};
    for (const auto& [nombre, operacion] : operaciones) {
        if (nombre == strNombre) {
            (this->*operacion)();
            return true;
        }
    }
    return false;
}
