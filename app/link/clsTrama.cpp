#include "clsTrama.h"

#include <QStringList>

namespace clsTrama {

namespace {
qint16 byteOf(qint16 value) {
    return static_cast<qint16>(value & 0xFF);
}
} // namespace

qint16 ifntSumaLogica(const Trama& iarrTrama) {
    int suma = 0;
    for (int i = 0; i < 7; ++i) {
        suma += byteOf(iarrTrama[i]);
    }
    return static_cast<qint16>(suma & 0xFF);
}

Trama trfntConstruyePeticion(qint16 iDireccionDestino, qint16 iDireccionOrigen, qint16 iByteControl,
                             qint16 iByteDatos1, qint16 iByteDatos2) {
    Trama t{iBYTE_INICIO, byteOf(iDireccionDestino), byteOf(iDireccionOrigen), byteOf(iByteControl),
            iBYTE_CUENTA, byteOf(iByteDatos1),       byteOf(iByteDatos2),      0};
    t[7] = ifntSumaLogica(t);
    return t;
}

bool bfntSumaLogicaCorrecta(const Trama& iarrTrama) {
    return ifntSumaLogica(iarrTrama) == iarrTrama[7];
}

bool bfntEsTramaError(const Trama& iarrTrama) {
    return iarrTrama[3] == iBYTE_CONTROL_ERROR && iarrTrama[4] == iBYTE_CUENTA &&
           iarrTrama[5] == 0 && iarrTrama[6] == 0;
}

qint32 lfntLectura(qint16 iByteDatos1, qint16 iByteDatos2) {
    return 256 * byteOf(iByteDatos1) + byteOf(iByteDatos2);
}

double dfntHumedad(qint32 lLectura) {
    const double raw = lLectura;
    return ((raw * 50) / 39936) * 100 - 20.5;
}

double dfntPresion(qint32 lLectura) {
    const double raw = lLectura;
    return (raw * 500) / 4710.4 + 10.6521;
}

QString strfntHexadecimal(const Trama& iarrTrama) {
    QStringList bytes;
    for (const qint16 b : iarrTrama) {
        bytes << QStringLiteral("%1").arg(byteOf(b), 2, 16, QLatin1Char('0')).toUpper();
    }
    return bytes.join(u' ');
}

} // namespace clsTrama
