#pragma once

#include "com/HResult.h"
#include "com/MemberDescription.h"
#include "com/Variant.h"

#include <QString>
#include <functional>
#include <vector>

namespace com {
class ControlSite;
}

// The program's side of the strip-chart control: every call late-bound by dispatch
// identifier, each answering with the control's result. Axes are 0 (time, in minutes),
// 1 (humidity) and 3 (pressure); channels 0 (humidity) and 1 (pressure).
class clsTrazoPlot {
public:
    enum : std::int32_t { iEjeTiempo = 0, iEjeHumedad = 1, iEjePresion = 3 };
    enum : std::int32_t { iCanalHumedad = 0, iCanalPresion = 1 };

    // Sees every call before it is made (dispatch identifier, call kind, arguments).
    using Observador = std::function<void(com::DispId, std::uint16_t, const com::VariantList&)>;

    // The site stays owned by its parent widget.
    explicit clsTrazoPlot(com::ControlSite* objSitio);

    // Creates the chart by its class id, loads the designed state (a property bag in JSON)
    // and activates it inside the site.
    [[nodiscard]] com::HRESULT hrCrea(const QByteArray& bytDiseno);

    [[nodiscard]] com::HRESULT hrMuestraEje(std::int32_t iEje, bool bVisible);
    [[nodiscard]] com::HRESULT hrInicioEje(std::int32_t iEje, double dInicio);
    [[nodiscard]] com::HRESULT hrFinEje(std::int32_t iEje, double dFin);
    [[nodiscard]] com::HRESULT hrLeeFinEje(std::int32_t iEje, double* dFin);
    [[nodiscard]] com::HRESULT hrPasoEje(std::int32_t iEje, double dPaso);
    // Where a value axis stands along the time axis, in minutes.
    [[nodiscard]] com::HRESULT hrPosicionEje(std::int32_t iEje, double dPosicion);
    [[nodiscard]] com::HRESULT hrColorEje(std::int32_t iEje, std::int32_t lColor);
    [[nodiscard]] com::HRESULT hrTituloEje(std::int32_t iEje, const QString& strTitulo);
    // Draw one of every dMuestras samples of the channel.
    [[nodiscard]] com::HRESULT hrMuestrasCanal(std::int32_t iCanal, double dMuestras);
    // Applies the settings and redraws.
    [[nodiscard]] com::HRESULT hrAplica();
    // Appends one sample: darrValores[0] is the reading, darrValores[1] is -1.0.
    [[nodiscard]] com::HRESULT hrAnadeMuestra(std::int32_t iCanal, double (&darrValores)[2]);
    // Appends a stretch of history in one call, one value a second (NaN: no reading).
    [[nodiscard]] com::HRESULT hrAnadeMuestras(std::int32_t iCanal,
                                               std::vector<double>& darrValores);
    // The first line of the printed report's header.
    [[nodiscard]] com::HRESULT hrTituloImpresion(const QString& strTitulo);
    [[nodiscard]] com::HRESULT hrPreparaImpresora();
    [[nodiscard]] com::HRESULT hrImprime();
    // Where the last print went: a file's path or a printer's name.
    [[nodiscard]] com::HRESULT hrDestinoImpresion(QString* strDestino);

    void setObservador(Observador objObservador) { m_objObservador = std::move(objObservador); }
    com::ControlSite* objSitio() const { return m_objSitio; }

private:
    [[nodiscard]] com::HRESULT hrPonEje(com::DispId id, std::int32_t iIndice,
                                        const com::Variant& valor);
    [[nodiscard]] com::HRESULT hrInvoca(com::DispId id, std::uint16_t flags,
                                        const com::VariantList& args,
                                        com::Variant* resultado = nullptr);

    com::ControlSite* m_objSitio;
    Observador m_objObservador;
};
