#pragma once

#include <QLocale>
#include <QString>

// Maximum, minimum and sum of one quantity's readings since acquisition was last started.
// Before the first start the maximum and minimum hold the meter's scale limits instead.
class clsEstadistica {
public:
    clsEstadistica(double dMaximoInicial, double dMinimoInicial);

    // Starts the statistics again: the maximum from dMaximoInicial and the minimum from
    // dMinimoInicial (a reading must pass them strictly to replace them); the sum from zero.
    void subValoresDefecto(double dMaximoInicial, double dMinimoInicial);
    void subAnade(double dValor);

    // The three label texts ("Máximo: 040.0", "Mínimo: ...", "V. Medio: ..."). The mean divides
    // the sum by lNumeroMuestras; a count below one is taken as one.
    QString strfntMaximo(const QLocale& locale = QLocale()) const;
    QString strfntMinimo(const QLocale& locale = QLocale()) const;
    QString strfntMedio(qint32 lNumeroMuestras, const QLocale& locale = QLocale()) const;

    double dMaximo;
    double dMinimo;
    double dSuma = 0.0;
};
