#include "clsHistorialGrafico.h"

#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveLocation.h"
#include "archive/ArchiveReader.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// No more than the chart keeps: 31 hours.
constexpr qint64 kMaximoSegundos = 31 * 3600;

} // namespace

clsHistorialGrafico clsHistorialGrafico::objfntLee(const QString& strRuta, qint64 lDesdeMs,
                                                   qint64 lHastaMs) {
    clsHistorialGrafico h;
    lDesdeMs = std::max(lDesdeMs, lHastaMs - kMaximoSegundos * 1000);
    if (lHastaMs <= lDesdeMs || !QFileInfo::exists(strRuta))
        return h;
    archive::ArchiveDatabase base(strRuta);
    if (com::failed(base.open(archive::ArchiveDatabase::Mode::Read)))
        return h;
    const std::size_t iRanuras = static_cast<std::size_t>((lHastaMs - lDesdeMs + 999) / 1000);
    const double dNada = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> humedad(iRanuras, dNada);
    std::vector<double> presion(iRanuras, dNada);
    std::size_t iPrimera = iRanuras;
    const archive::ArchiveReader lector(base);
    const com::HRESULT hr = lector.readings(lDesdeMs, lHastaMs, [&](const archive::Entry& e) {
        if (!e.isReading() || e.timeMs < lDesdeMs)
            return true;
        const auto i = static_cast<std::size_t>((e.timeMs - lDesdeMs) / 1000);
        if (i >= iRanuras)
            return true;
        humedad[i] = e.humidityPct;
        presion[i] = e.pressureKpa;
        iPrimera = std::min(iPrimera, i);
        return true;
    });
    if (com::failed(hr) || iPrimera == iRanuras)
        return h;
    const auto desde = static_cast<std::ptrdiff_t>(iPrimera);
    h.darrHumedad.assign(humedad.begin() + desde, humedad.end());
    h.darrPresion.assign(presion.begin() + desde, presion.end());
    return h;
}

clsHistorialGrafico clsHistorialGrafico::objfntDelArchivo(qint64 lDesdeMs, qint64 lHastaMs) {
    const archive::ArchiveLocation lugar = archive::ArchiveLocation::fromEnvironment();
    if (!lugar.enabled)
        return {};
    return objfntLee(lugar.path, lDesdeMs, lHastaMs);
}
