#include "clsEstadistica.h"

#include "modFormatos.h"

clsEstadistica::clsEstadistica(double dMaximoInicial, double dMinimoInicial)
    : dMaximo(dMaximoInicial)
    , dMinimo(dMinimoInicial) {}

void clsEstadistica::subValoresDefecto(double dMaximoInicial, double dMinimoInicial) {
    dMaximo = dMaximoInicial;
    dMinimo = dMinimoInicial;
    dSuma = 0.0;
}

void clsEstadistica::subAnade(double dValor) {
    dSuma += dValor;
    if (dValor > dMaximo)
        dMaximo = dValor;
    if (dValor < dMinimo)
        dMinimo = dValor;
}

QString clsEstadistica::strfntMaximo(const QLocale& locale) const {
    return QStringLiteral("Máximo: ") + modFormatos::strfntValor(dMaximo, locale);
}

QString clsEstadistica::strfntMinimo(const QLocale& locale) const {
    return QStringLiteral("Mínimo: ") + modFormatos::strfntValor(dMinimo, locale);
}

QString clsEstadistica::strfntMedio(qint32 lNumeroMuestras, const QLocale& locale) const {
    const double dMedio = dSuma / double(qMax(lNumeroMuestras, 1));
    return QStringLiteral("V. Medio: ") + modFormatos::strfntValor(dMedio, locale);
}
