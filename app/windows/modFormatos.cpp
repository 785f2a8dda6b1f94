#include "modFormatos.h"

#include "forms/NumberFormat.h"

#include <QFileInfo>

namespace modFormatos {

QString strfntValor(double dValor, const QLocale& locale) {
    return forms::number::format(dValor, QStringLiteral("000.0"), locale);
}

QString strfntTiempoActivo(qint32 lSegundos) {
    const qint32 lTotal = qMax(lSegundos, 0);
    const auto dosCifras = [](qint32 l) { return QStringLiteral("%1").arg(l, 2, 10, QChar(u'0')); };
    return QStringLiteral("Tiempo Activo: ") + dosCifras(lTotal / 3600) + u':' +
           dosCifras((lTotal % 3600) / 60) + u':' + dosCifras(lTotal % 60);
}

QString strfntLimite(double dValor, const QLocale& locale) {
    QLocale sinGrupos = locale;
    sinGrupos.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    const QString strFijo = sinGrupos.toString(dValor, 'f', QLocale::FloatingPointShortest);
    if (strFijo.size() <= iLARGO_FIJO_MAXIMO)
        return strFijo;
    return sinGrupos.toString(dValor, 'g', QLocale::FloatingPointShortest);
}

QString strfntAvisoImpresion(const QString& strDestino, com::HRESULT hrResultado) {
    if (com::failed(hrResultado))
        return QStringLiteral("No se pudo imprimir el gráfico en %1").arg(strDestino);
    if (QFileInfo(strDestino).isAbsolute())
        return QStringLiteral("Gráfico guardado en %1").arg(strDestino);
    return QStringLiteral("Gráfico enviado a la impresora %1").arg(strDestino);
}

QString strfntAvisoComponente(const QString& strComponente, com::HRESULT hrResultado) {
    if (com::succeeded(hrResultado))
        return {};
    if (hrResultado == com::REGDB_E_CLASSNOTREG)
        return QStringLiteral("%1 no está registrado: brisora-regsvr %1.so").arg(strComponente);
    return QStringLiteral("No se puede crear %1 (%2)")
        .arg(strComponente, com::hresultName(hrResultado));
}

} // namespace modFormatos
