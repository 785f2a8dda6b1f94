#pragma once

#include "archive/ArchiveEntry.h"
#include "link/clsCicloAdquisicion.h"

// What every program that runs the acquisition tick does around it, the console and the
// station service alike.
namespace modAdquisicion {

// The archive entry a finished tick leaves at lAhoraMs (UTC ms): its readings when it was
// complete, else the failure, classified by the port's state at the end of the tick (a port
// that could not be opened or was lost, otherwise a time-out).
archive::Entry entfntEntradaArchivo(const clsCicloAdquisicion::stTick& tick, qint64 lAhoraMs);

// How long to wait for the next tick after one that started at lInicioMs and ended at
// lAhoraMs: the ticks keep their beat of iIntervaloMs; after a tick slower than the beat (a
// time-out) a full period passes before the next one.
int ifntEsperaSiguienteTick(qint64 lInicioMs, qint64 lAhoraMs, int iIntervaloMs);

} // namespace modAdquisicion
