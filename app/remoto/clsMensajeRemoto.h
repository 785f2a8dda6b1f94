#pragma once

#include "archive/ArchiveEntry.h"

#include <QByteArray>
#include <QString>

// One message of a station service's live feed, read field by field with every bound checked:
// the greeting ("hello", with the service's port), a tick ("tick": a reading or a failed tick
// with its kind), or a change of the service's port ("port"). Anything that is not such a
// message, or breaks a bound, is Invalido and carries nothing; a well-formed message of a type
// this program does not know is Otro, so a newer service does not look hostile.
class clsMensajeRemoto {
public:
    enum class enTipo { Invalido, Saludo, Tick, Puerto, Otro };

    // The largest message taken at all; the feed's own are a few hundred bytes.
    static constexpr qsizetype iTAMANO_MAXIMO = 64 * 1024;
    // The longest device name or port state kept.
    static constexpr qsizetype iTEXTO_MAXIMO = 256;
    // Readings beyond this magnitude are not measurements.
    static constexpr double dVALOR_MAXIMO = 1e6;

    static clsMensajeRemoto msjfntInterpreta(const QByteArray& bytMensaje);

    enTipo enTipoMensaje = enTipo::Invalido;
    // A tick whose kind this program knows: the entry as the local tick leaves it. A failed
    // tick of a kind it does not know has bFalloConocido false and its name in strFallo.
    archive::Entry entrada;
    bool bFalloConocido = true;
    QString strFallo;
    // The tick's number since the service started (-1 when not given).
    qint64 lNumero = -1;
    // The greeting and port messages: the service's device and the state of its port.
    QString strDispositivo;
    QString strEstadoPuerto;
    // The greeting: the station's name.
    QString strEstacion;
    // The greeting: the service's figures since it started, when it sent them whole (bResumen).
    struct stMagnitud {
        double dMinimo = 0.0;
        double dMaximo = 0.0;
        double dMedia = 0.0;
    };
    bool bResumen = false;
    qint64 lInicioMs = 0; // when the service started
    qint64 lLecturas = 0; // its readings since then
    qint64 lTicks = 0;    // and its ticks, failed ones included
    stMagnitud magHumedad;
    stMagnitud magPresion;
};
