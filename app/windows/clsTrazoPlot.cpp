#include "clsTrazoPlot.h"

#include "trazoplot/TrazoPlotIds.h"

#include "com/ControlSite.h"
#include "com/PropertyBag.h"

#include <QJsonDocument>

using com::HRESULT;
using com::Variant;
namespace dispid = trazoplot::dispid;

clsTrazoPlot::clsTrazoPlot(com::ControlSite* objSitio)
    : m_objSitio(objSitio) {}

HRESULT clsTrazoPlot::hrCrea(const QByteArray& bytDiseno) {
    QJsonParseError error{};
    const QJsonDocument documento = QJsonDocument::fromJson(bytDiseno, &error);
    com::PropertyBag diseno;
    if (error.error != QJsonParseError::NoError || !documento.isObject() ||
        com::failed(diseno.fromJson(documento.object())))
        return com::E_INVALIDARG;
    HRESULT hr = m_objSitio->create(
        com::Guid::fromString(QString::fromLatin1(trazoplot::kIds.clsidControl)));
    if (com::succeeded(hr))
        hr = m_objSitio->loadBag(diseno);
    if (com::succeeded(hr))
        hr = m_objSitio->activate();
    return hr;
}

HRESULT clsTrazoPlot::hrMuestraEje(std::int32_t iEje, bool bVisible) {
    return hrPonEje(dispid::AxisVisible, iEje, Variant(bVisible));
}

HRESULT clsTrazoPlot::hrInicioEje(std::int32_t iEje, double dInicio) {
    return hrPonEje(dispid::AxisMinimum, iEje, Variant(dInicio));
}

HRESULT clsTrazoPlot::hrFinEje(std::int32_t iEje, double dFin) {
    return hrPonEje(dispid::AxisMaximum, iEje, Variant(dFin));
}

HRESULT clsTrazoPlot::hrLeeFinEje(std::int32_t iEje, double* dFin) {
    Variant valor;
    HRESULT hr = hrInvoca(dispid::AxisMaximum, com::DISPATCH_PROPERTYGET, {Variant(iEje)}, &valor);
    if (com::succeeded(hr))
        hr = valor.toR8(*dFin);
    return hr;
}

HRESULT clsTrazoPlot::hrPasoEje(std::int32_t iEje, double dPaso) {
    return hrPonEje(dispid::AxisMajorStep, iEje, Variant(dPaso));
}

HRESULT clsTrazoPlot::hrPosicionEje(std::int32_t iEje, double dPosicion) {
    return hrPonEje(dispid::AxisPosition, iEje, Variant(dPosicion));
}

HRESULT clsTrazoPlot::hrColorEje(std::int32_t iEje, std::int32_t lColor) {
    return hrPonEje(dispid::AxisColor, iEje, Variant(lColor));
}

HRESULT clsTrazoPlot::hrTituloEje(std::int32_t iEje, const QString& strTitulo) {
    return hrPonEje(dispid::AxisTitle, iEje, Variant(strTitulo));
}

HRESULT clsTrazoPlot::hrMuestrasCanal(std::int32_t iCanal, double dMuestras) {
    return hrPonEje(dispid::SampleDensity, iCanal, Variant(dMuestras));
}

HRESULT clsTrazoPlot::hrAplica() {
    return hrInvoca(dispid::Refresh, com::DISPATCH_METHOD, {});
}

HRESULT clsTrazoPlot::hrAnadeMuestra(std::int32_t iCanal, double (&darrValores)[2]) {
    return hrInvoca(dispid::AppendSample, com::DISPATCH_METHOD,
                    {Variant(iCanal), Variant::r8Ref(darrValores, 2)});
}

HRESULT clsTrazoPlot::hrAnadeMuestras(std::int32_t iCanal, std::vector<double>& darrValores) {
    if (darrValores.empty())
        return com::S_OK;
    return hrInvoca(dispid::AppendSamples, com::DISPATCH_METHOD,
                    {Variant(iCanal), Variant::r8Ref(darrValores.data(),
                                                     static_cast<qsizetype>(darrValores.size()))});
}

HRESULT clsTrazoPlot::hrTituloImpresion(const QString& strTitulo) {
    return hrInvoca(dispid::PrintTitle, com::DISPATCH_PROPERTYPUT, {Variant(strTitulo)});
}

HRESULT clsTrazoPlot::hrPreparaImpresora() {
    return hrInvoca(dispid::PrintSetup, com::DISPATCH_METHOD, {});
}

HRESULT clsTrazoPlot::hrImprime() {
    return hrInvoca(dispid::PrintChart, com::DISPATCH_METHOD, {});
}

HRESULT clsTrazoPlot::hrDestinoImpresion(QString* strDestino) {
    Variant valor;
    const HRESULT hr = hrInvoca(dispid::PrintTarget, com::DISPATCH_METHOD, {}, &valor);
    if (com::succeeded(hr))
        *strDestino = valor.stringValue();
    return hr;
}

HRESULT clsTrazoPlot::hrPonEje(com::DispId id, std::int32_t iIndice, const Variant& valor) {
    return hrInvoca(id, com::DISPATCH_PROPERTYPUT, {Variant(iIndice), valor});
}

HRESULT clsTrazoPlot::hrInvoca(com::DispId id, std::uint16_t flags, const com::VariantList& args,
                               Variant* resultado) {
    if (m_objObservador)
        m_objObservador(id, flags, args);
    return m_objSitio->invoke(id, flags, args, resultado);
}
