#pragma once

#include "com/HResult.h"

#include <QString>

namespace com {
class ControlSite;
}

// The program's side of one meter control: created by class id from a designed state, set up
// and fed readings late-bound by dispatch identifier. Every call answers with the control's
// result; the first failure of a sequence is kept and returned.
class clsMedidor {
public:
    // How evPintaMuñeco shapes the meter: scale limits, the value its low-alarm stop and its
    // needle start from, and the palette colour of its tick labels and channel 0.
    struct Configuracion {
        double dInferior = 0.0;
        double dSuperior = 100.0;
        qint16 iColor = 0;
    };

    // The site stays owned by its parent widget.
    explicit clsMedidor(com::ControlSite* objSitio);

    // Creates the meter control, loads the designed state (the control's stream form) and
    // activates it inside the site.
    [[nodiscard]] com::HRESULT hrCrea(const QByteArray& bytDiseno);
    // The whole set-up, in its fixed order, ending with UpdateMeter.
    [[nodiscard]] com::HRESULT hrConfigura(const Configuracion& objConfiguracion);
    // Shows one reading (channel 0) through UpdateDynData.
    [[nodiscard]] com::HRESULT hrMuestraValor(double dValor);

    com::ControlSite* objSitio() const { return m_objSitio; }

private:
    com::ControlSite* m_objSitio;
};
