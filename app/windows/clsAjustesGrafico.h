#pragma once

#include <QString>
#include <QtGlobal>

// The operator's settings of the temporal-evolution chart kept between runs: the hours shown,
// the samples setting and the limits of both value axes. They live in the user's
// configuration folder (XDG_CONFIG_HOME, by default ~/.config), Brisora/consola.ini.
// What is read back is checked as the scale dialog checks it; anything else is left as it was.
class clsAjustesGrafico {
public:
    qint32 lHoras = 8;
    qint16 iMuestras = 1;
    double dInicioHumedad = 0.0;
    double dFinHumedad = 100.0;
    double dInicioPresion = 15.0;
    double dFinPresion = 115.0;

    // Takes the values from the shared state and the window's fields.
    static clsAjustesGrafico objActuales(qint32 lHoras, qint16 iMuestras);

    // Replaces what was stored with the values found (each checked); true when any was found.
    bool bLee();
    void subGuarda() const;
    // The shared limits take these values.
    void subPonLimites() const;

    static QString strfntRuta();
};
