#include "modGlobal.h"

namespace modGlobal {

qint32 lNumeroMuestras = 0;
double dInicioHumedad = 0.0;
double dFinHumedad = 0.0;
double dInicioPresion = 0.0;
double dFinPresion = 0.0;
qint16 iNumeroVentanaSiguiente = 0;

} // namespace modGlobal
