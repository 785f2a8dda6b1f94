#include "clsMedidor.h"

#include "GaugeKitIds.h"

#include "com/ControlSite.h"

using com::HRESULT;
using com::Variant;
namespace dispid = gaugekit::dispid;

namespace {

// Runs steps one after another and keeps the first failure; later steps still run, so a
// control that refuses one value gets the rest of its set-up.
class clsPasos {
public:
    void operator()(HRESULT hr) {
        if (com::succeeded(m_hr))
            m_hr = hr;
    }
    HRESULT hrResultado() const { return m_hr; }

private:
    HRESULT m_hr = com::S_OK;
};

Variant i2(int iValor) {
    return Variant(static_cast<std::int16_t>(iValor));
}

} // namespace

clsMedidor::clsMedidor(com::ControlSite* objSitio)
    : m_objSitio(objSitio) {}

HRESULT clsMedidor::hrCrea(const QByteArray& bytDiseno) {
    const com::Clsid clsid =
        com::Guid::fromString(QString::fromLatin1(gaugekit::kIds.clsidControl));
    HRESULT hr = m_objSitio->create(clsid);
    if (com::succeeded(hr))
        hr = m_objSitio->loadStream(bytDiseno);
    if (com::succeeded(hr))
        hr = m_objSitio->activate();
    return hr;
}

HRESULT clsMedidor::hrConfigura(const Configuracion& c) {
    com::ControlSite& s = *m_objSitio;
    clsPasos paso;
    paso(s.setProperty(dispid::MeterNumChannels, i2(1)));
    paso(s.setProperty(dispid::MeterCenterX, Variant(0.51)));
    paso(s.setProperty(dispid::MeterCenterY, Variant(0.41)));
    paso(s.setProperty(dispid::MeterDiameter, Variant(0.49)));
    paso(s.setProperty(dispid::MeterNeedleStyle, i2(2)));
    paso(s.setProperty(dispid::MeterScaleMin, Variant(c.dInferior)));
    paso(s.setProperty(dispid::MeterScaleMax, Variant(c.dSuperior)));
    // The low-alarm stop takes the lower limit on both meters (the alarm arcs are off).
    paso(s.setProperty(dispid::MeterLowAlarmStop, Variant(c.dInferior)));
    paso(s.setProperty(dispid::MeterHighAlarmStart, Variant(c.dSuperior)));
    paso(s.setProperty(dispid::MeterArcEnable, Variant(false)));
    paso(s.setProperty(dispid::MeterTickStep, i2(10)));
    paso(s.setProperty(dispid::MeterMinorTicks, i2(4)));
    paso(s.setProperty(dispid::MeterTickPosition, i2(4)));
    paso(s.setProperty(dispid::MeterTickLabelsPrecision, i2(0)));
    paso(s.setProperty(dispid::MeterTickLabelsPosition, i2(4)));
    paso(s.setProperty(dispid::MeterTickLabelsColor, i2(c.iColor)));
    paso(s.setIndexedProperty(dispid::MeterChannelColor, 0, Variant(std::int32_t(c.iColor))));
    paso(s.setProperty(dispid::MeterNormalAlarmColor, Variant(std::int32_t(0))));
    // The arc thickness is a quarter of what the design gave it.
    Variant grosor;
    double dGrosor = 0.0;
    HRESULT hrGrosor = s.getProperty(dispid::MeterAlarmArcThickness, &grosor);
    if (com::succeeded(hrGrosor))
        hrGrosor = grosor.toR8(dGrosor);
    paso(hrGrosor);
    if (com::succeeded(hrGrosor))
        paso(s.setProperty(dispid::MeterAlarmArcThickness, Variant(dGrosor / 4.0)));
    paso(s.setProperty(dispid::MeterInitialValue, Variant(c.dInferior)));
    paso(s.callMethod(dispid::UpdateMeter));
    return paso.hrResultado();
}

HRESULT clsMedidor::hrMuestraValor(double dValor) {
    double darrValores[2] = {dValor, 0.0};
    return m_objSitio->callMethod(dispid::UpdateDynData, {Variant::r8Ref(darrValores, 2)});
}
