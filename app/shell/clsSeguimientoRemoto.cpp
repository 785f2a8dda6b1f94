#include "clsSeguimientoRemoto.h"

#include "link/clsCicloAdquisicion.h"
#include "link/modGlobal.h"

#include <QDateTime>

clsSeguimientoRemoto::clsSeguimientoRemoto(std::unique_ptr<clsFuenteRemota> objFuente,
                                           clsBarraEstado& objEstado, PintaValores evPintaValores,
                                           QObject* parent)
    : QObject(parent)
    , m_objFuente(std::move(objFuente))
    , m_objEstado(objEstado)
    , m_evPintaValores(std::move(evPintaValores)) {
    connect(m_objFuente.get(), &clsFuenteRemota::estadoCambiado, this,
            &clsSeguimientoRemoto::subSigueConexion);
    connect(m_objFuente.get(), &clsFuenteRemota::puertoCambiado, this,
            &clsSeguimientoRemoto::subSiguePuerto);
    connect(m_objFuente.get(), &clsFuenteRemota::tickRecibido, this,
            &clsSeguimientoRemoto::subTick);
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
