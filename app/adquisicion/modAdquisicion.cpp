#include "modAdquisicion.h"

namespace modAdquisicion {

archive::Entry entfntEntradaArchivo(const clsCicloAdquisicion::stTick& tick, qint64 lAhoraMs) {
    using Puerto = clsServidorTramas::enEstadoPuerto;
    if (tick.enResultado == clsCicloAdquisicion::enResultadoTick::Completo) {
        return archive::Entry::reading(lAhoraMs, tick.dHumedad, tick.dPresion,
                                       static_cast<quint16>(tick.lLecturaHumedad),
                                       static_cast<quint16>(tick.lLecturaPresion));
    }
    const archive::EntryKind tipo =
        tick.enEstadoPuerto == Puerto::NoSePuedeAbrir ? archive::EntryKind::PortCannotOpen
        : tick.enEstadoPuerto == Puerto::Perdido      ? archive::EntryKind::PortLost
                                                      : archive::EntryKind::Timeout;
    return archive::Entry::failure(lAhoraMs, tipo);
}

int ifntEsperaSiguienteTick(qint64 lInicioMs, qint64 lAhoraMs, int iIntervaloMs) {
    const qint64 lTranscurrido = lAhoraMs - lInicioMs;
    return lTranscurrido > 0 && lTranscurrido < iIntervaloMs
               ? static_cast<int>(iIntervaloMs - lTranscurrido)
               : iIntervaloMs;
}

} // namespace modAdquisicion
