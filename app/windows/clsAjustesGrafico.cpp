#include "clsAjustesGrafico.h"

#include "frmEscala.h"

#include "link/modGlobal.h"

#include <QSettings>
#include <cmath>
#include <memory>

namespace {

const QString kGrupo = QStringLiteral("EvolucionTemporal");

std::unique_ptr<QSettings> objAlmacen() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Brisora"), QStringLiteral("consola"));
}

bool bLimiteValido(double d) {
    return std::isfinite(d) && std::fabs(d) <= frmEscala::dLIMITE_MAXIMO;
}

// One axis's stored pair, when both are numbers within the limits and in order.
void subLeePar(const QSettings& s, const QString& strInicio, const QString& strFin, double& dInicio,
               double& dFin) {
    bool bInicio = false;
    bool bFin = false;
    const double dI = s.value(strInicio).toDouble(&bInicio);
    const double dF = s.value(strFin).toDouble(&bFin);
    if (bInicio && bFin && bLimiteValido(dI) && bLimiteValido(dF) && dI < dF) {
        dInicio = dI;
        dFin = dF;
    }
}

template <class T>
void subLeeEntrada(const QSettings& s, const QString& strClave, T& valor) {
    bool bNumero = false;
    const int i = s.value(strClave).toInt(&bNumero);
    if (bNumero && i >= 1 && i <= 31)
        valor = static_cast<T>(i);
}

} // namespace

clsAjustesGrafico clsAjustesGrafico::objActuales(qint32 lHoras, qint16 iMuestras) {
    clsAjustesGrafico a;
    a.lHoras = lHoras;
    a.iMuestras = iMuestras;
    a.dInicioHumedad = modGlobal::dInicioHumedad;
    a.dFinHumedad = modGlobal::dFinHumedad;
    a.dInicioPresion = modGlobal::dInicioPresion;
    a.dFinPresion = modGlobal::dFinPresion;
    return a;
}

bool clsAjustesGrafico::bLee() {
    const auto objS = objAlmacen();
    QSettings& s = *objS;
    s.beginGroup(kGrupo);
    if (s.childKeys().isEmpty())
        return false;
    subLeeEntrada(s, QStringLiteral("horas"), lHoras);
    subLeeEntrada(s, QStringLiteral("muestras"), iMuestras);
    subLeePar(s, QStringLiteral("inicioHumedad"), QStringLiteral("finHumedad"), dInicioHumedad,
              dFinHumedad);
    subLeePar(s, QStringLiteral("inicioPresion"), QStringLiteral("finPresion"), dInicioPresion,
              dFinPresion);
    return true;
}

void clsAjustesGrafico::subGuarda() const {
    const auto objS = objAlmacen();
    QSettings& s = *objS;
    s.beginGroup(kGrupo);
    s.setValue(QStringLiteral("horas"), lHoras);
    s.setValue(QStringLiteral("muestras"), iMuestras);
    s.setValue(QStringLiteral("inicioHumedad"), dInicioHumedad);
    s.setValue(QStringLiteral("finHumedad"), dFinHumedad);
    s.setValue(QStringLiteral("inicioPresion"), dInicioPresion);
    s.setValue(QStringLiteral("finPresion"), dFinPresion);
    s.endGroup();
    s.sync();
}

void clsAjustesGrafico::subPonLimites() const {
    modGlobal::dInicioHumedad = dInicioHumedad;
    modGlobal::dFinHumedad = dFinHumedad;
    modGlobal::dInicioPresion = dInicioPresion;
    modGlobal::dFinPresion = dFinPresion;
}

QString clsAjustesGrafico::strfntRuta() {
    return objAlmacen()->fileName();
}
