#pragma once

#include "com/HResult.h"

#include <QLocale>
#include <QString>

// Texts the child windows show for numbers and times, in the user's locale.
namespace modFormatos {

// A reading or statistic as the windows show it: at least three integer digits, one decimal
// rounded half away from zero ("000.0"), with the locale's decimal separator.
QString strfntValor(double dValor, const QLocale& locale = QLocale());

// "Tiempo Activo: hh:mm:ss" for a count of seconds; every field has at least two digits and
// the hours have no upper limit (360000 s gives "100:00:00"). A negative count shows zero.
QString strfntTiempoActivo(qint32 lSegundos);

// A limit as the scale dialog shows it: the shortest exact decimal form, without grouping,
// with the locale's decimal separator (100 gives "100", 12.5 gives "12.5" or "12,5"). A value
// whose plain form would take more than iLARGO_FIJO_MAXIMO characters (1e-30, 1e308) is shown
// in the locale's exponent form instead ("1E-30").
inline constexpr int iLARGO_FIJO_MAXIMO = 16;
QString strfntLimite(double dValor, const QLocale& locale = QLocale());

// The status bar's notice after printing the chart to strDestino (a file's absolute path or a
// printer's name): "Gráfico guardado en <file>", "Gráfico enviado a la impresora <name>", or
// "No se pudo imprimir el gráfico en <destino>" when hrResultado is a failure.
QString strfntAvisoImpresion(const QString& strDestino, com::HRESULT hrResultado);

// The status bar's notice when the component strComponente (a module's name, "GAUGEKIT")
// could not be created for a window: an unregistered one says how to register it. Empty (no
// notice) when hrResultado is a success.
QString strfntAvisoComponente(const QString& strComponente, com::HRESULT hrResultado);

} // namespace modFormatos
