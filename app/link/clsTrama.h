#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// One station frame in memory: eight elements, one per byte on the line (0 to 255), element 0
// the start byte.
using Trama = std::array<qint16, 8>;

// The station's frames: building a request, the check sum, the error frame and the conversion
// of a reading to physical units.
namespace clsTrama {

inline constexpr qint16 iBYTE_INICIO = 0x40;
inline constexpr qint16 iBYTE_CUENTA = 2;
inline constexpr qint16 iBYTE_CONTROL = 0x40;
inline constexpr qint16 iBYTE_CONTROL_ERROR = 0xFF;
inline constexpr qint16 iDIRECCION_ESTACION = 1;
inline constexpr qint16 iDIRECCION_CONSOLA = 0;
inline constexpr qint16 iPETICION_HUMEDAD = 4;
inline constexpr qint16 iPETICION_PRESION = 3;

// Low eight bits of the sum of elements 0 to 6 (element 7 is not part of the sum).
qint16 ifntSumaLogica(const Trama& iarrTrama);

// The request: start byte, the five values at bytes 1, 2, 3, 5 and 6, the count byte at 4 and
// the check sum at 7. Each value is taken modulo 256, as one byte on the line.
Trama trfntConstruyePeticion(qint16 iDireccionDestino, qint16 iDireccionOrigen, qint16 iByteControl,
                             qint16 iByteDatos1, qint16 iByteDatos2);

// True when byte 7 equals the check sum of bytes 0 to 6.
bool bfntSumaLogicaCorrecta(const Trama& iarrTrama);

// The station's error frame: control 0xFF, count 2 and both data bytes 0.
bool bfntEsTramaError(const Trama& iarrTrama);

// The 16-bit reading carried in bytes 5 (high) and 6 (low).
qint32 lfntLectura(qint16 iByteDatos1, qint16 iByteDatos2);

// Relative humidity in percent from a reading.
double dfntHumedad(qint32 lLectura);
// Barometric pressure in kilopascal from a reading.
double dfntPresion(qint32 lLectura);

// The frame as upper-case hexadecimal bytes separated by blanks: "40 01 00 40 02 04 00 87".
QString strfntHexadecimal(const Trama& iarrTrama);

} // namespace clsTrama
