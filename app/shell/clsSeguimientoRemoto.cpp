#include "clsSeguimientoRemoto.h"

#include "link/clsCicloAdquisicion.h"
#include "link/modGlobal.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

clsSeguimientoRemoto::clsSeguimientoRemoto(std::unique_ptr<clsFuenteRemota> objFuente,
                                           clsBarraEstado& objEstado, PintaValores evPintaValores,
                                           FijaEstadistica evFijaEstadistica, QObject* parent)
    : QObject(parent)
    , m_objFuente(std::move(objFuente))
    , m_objEstado(objEstado)
    , m_evPintaValores(std::move(evPintaValores))
    , m_evFijaEstadistica(std::move(evFijaEstadistica)) {
    connect(m_objFuente.get(), &clsFuenteRemota::estadoCambiado, this,
            &clsSeguimientoRemoto::subSigueConexion);
    connect(m_objFuente.get(), &clsFuenteRemota::puertoCambiado, this,
            &clsSeguimientoRemoto::subSiguePuerto);
    connect(m_objFuente.get(), &clsFuenteRemota::tickRecibido, this,
            &clsSeguimientoRemoto::subTick);
    connect(m_objFuente.get(), &clsFuenteRemota::saludoRecibido, this,
            &clsSeguimientoRemoto::subSaludo);
}

void clsSeguimientoRemoto::stResumen::subAnade(const stResumen& otro) {
    if (otro.lLecturas == 0) {
        return;
    }
    if (lLecturas == 0) {
        *this = otro;
        return;
    }
    lLecturas += otro.lLecturas;
    for (auto [c, o] : {std::pair{&humedad, &otro.humedad}, std::pair{&presion, &otro.presion}}) {
        c->dMaximo = std::max(c->dMaximo, o->dMaximo);
        c->dMinimo = std::min(c->dMinimo, o->dMinimo);
        c->dSuma += o->dSuma;
    }
}

void clsSeguimientoRemoto::subSaludo(const clsMensajeRemoto& saludo) {
    if (!saludo.bResumen) {
        return;
    }
    if (saludo.lInicioMs != m_lInicioServicioMs) {
        // A run not seen before: what was counted of the earlier ones stays.
        m_resAnteriores = m_lInicioServicioMs < 0 ? stResumen{} : m_resTotal;
        m_lInicioServicioMs = saludo.lInicioMs;
    }
    const auto cifras = [&](const clsMensajeRemoto::stMagnitud& m) {
        return clsVentanaHija::stCifras{m.dMaximo, m.dMinimo,
                                        m.dMedia * static_cast<double>(saludo.lLecturas)};
    };
    m_resTotal = m_resAnteriores;
    m_resTotal.subAnade({saludo.lLecturas, cifras(saludo.magHumedad), cifras(saludo.magPresion)});
    modGlobal::lNumeroMuestras = static_cast<qint32>(
        std::min<qint64>(m_resTotal.lLecturas, std::numeric_limits<qint32>::max()));
    if (m_resTotal.lLecturas > 0 && m_evFijaEstadistica) {
        m_evFijaEstadistica(m_resTotal.humedad, m_resTotal.presion);
    }
}

void clsSeguimientoRemoto::subInicia() {
    subSiguePuerto();
    m_objFuente->subInicia();
}

QString clsSeguimientoRemoto::strfntEstadoPuerto(const QString& strEstado) {
    if (strEstado.isEmpty() || strEstado == u"open") {
        return {};
    }
    if (strEstado == u"lost") {
        return QStringLiteral("desconectado");
    }
    if (strEstado == u"cannot_open") {
        return QStringLiteral("no se puede abrir");
    }
    if (strEstado == u"busy") {
        return QStringLiteral("ocupado por otro programa");
    }
    if (strEstado == u"closed") {
        return QStringLiteral("cerrado");
    }
    return strEstado;
}

void clsSeguimientoRemoto::subSigueConexion(clsFuenteRemota::enEstado enEstado) {
    using Estado = clsFuenteRemota::enEstado;
    switch (enEstado) {
    case Estado::Conectando:
        m_objEstado.subConectando();
        break;
    case Estado::Abierta:
        m_objEstado.subPuertoAbierto();
        break;
    case Estado::NoSeConecta:
        m_objEstado.subPuertoNoSeAbre(m_objFuente->strfntMotivo());
        break;
    case Estado::Perdida:
        m_objEstado.subPuertoPerdido();
        break;
    case Estado::Detenida:
        break;
    }
    subSiguePuerto();
}

void clsSeguimientoRemoto::subSiguePuerto() {
    const clsFuenteRemota& f = *m_objFuente;
    m_objEstado.subPuerto(f.strfntDireccion(), f.strfntDispositivo());
    const QString strEstado = strfntEstadoPuerto(f.strfntEstadoPuerto());
    if (f.enfntEstado() != clsFuenteRemota::enEstado::Abierta || strEstado.isEmpty()) {
        // What a lost service said of its port is no longer known.
        m_objEstado.subQuitaAviso(strCLAVE_AVISO);
        return;
    }
    const QString strDispositivo = f.strfntDispositivo().isEmpty()
                                       ? QString()
                                       : QStringLiteral(" (%1)").arg(f.strfntDispositivo());
    m_objEstado.subAviso(
        strCLAVE_AVISO, QStringLiteral("Puerto del servicio%1: %2").arg(strDispositivo, strEstado));
}

void clsSeguimientoRemoto::subTick(const archive::Entry& entrada) {
    if (entrada.isReading()) {
        m_resTotal.subAnade({1,
                             {entrada.humidityPct, entrada.humidityPct, entrada.humidityPct},
                             {entrada.pressureKpa, entrada.pressureKpa, entrada.pressureKpa}});
        ++modGlobal::lNumeroMuestras;
        if (m_evPintaValores) {
            m_evPintaValores(entrada.humidityPct, entrada.pressureKpa);
        }
        return;
    }
    // The status bar tells local times; the tick's is when it ended.
    const QTime tFin = QDateTime::fromMSecsSinceEpoch(entrada.timeMs).time();
    switch (entrada.kind) {
    case archive::EntryKind::Checksum:
        m_objEstado.subErrorSumaLogica();
        break;
    case archive::EntryKind::Stall:
        m_objEstado.subSinLecturas(tFin.addMSecs(-clsCicloAdquisicion::iLIMITE_SIN_LECTURA_MS));
        break;
    default:
        // A time-out, or the port failing under the tick: the request went out when the wait
        // began.
        m_objEstado.subSinRespuesta(tFin.addMSecs(-clsServidorTramas::iTIEMPO_ESPERA_MS));
        break;
    }
}
