#include "clsServidorTramas.h"

#include <algorithm>

namespace {

const QString kVelocidadInicial = QStringLiteral("9600,N,8,1");
constexpr qint16 kPuertoInicial = 2;

QString strfntMotivo(comm::CommError error, const QString& strVelocidad,
                     const QString& strTitular = {}) {
    using comm::CommError;
    switch (error) {
    case CommError::DeviceNotFound:
        return QStringLiteral("el dispositivo no existe");
    case CommError::DeviceBusy:
        return strTitular.isEmpty() ? QStringLiteral("el puerto está en uso por otro programa")
                                    : QStringLiteral("el puerto lo usa %1").arg(strTitular);
    case CommError::PermissionDenied:
        return QStringLiteral("no hay permiso para usar el dispositivo");
    case CommError::InvalidSettings:
        return QStringLiteral("la configuración «%1» no es válida").arg(strVelocidad);
    case CommError::UnsupportedSettings:
        return QStringLiteral("el dispositivo no admite la configuración «%1»").arg(strVelocidad);
    case CommError::InvalidPortNumber:
        return QStringLiteral("el número de puerto no es válido");
    case CommError::DeviceLost:
        return QStringLiteral("el dispositivo se ha desconectado");
    default:
        return QStringLiteral("error del sistema");
    }
}

} // namespace

clsServidorTramas::clsServidorTramas(std::unique_ptr<comm::SerialBackend> backend,
                                     forms::Scheduler& scheduler, const QString& strDispositivo)
    : m_planificador(scheduler)
    , mscPuertoSerie(std::move(backend), scheduler)
    , tmrTiempoEspera(scheduler)
    , tmrTiempoDesbloqueo(scheduler) {
    bCerrraVentana = false;
    m_estado.strVelocidad = kVelocidadInicial;
    m_estado.iPuerto = kPuertoInicial;
    mscPuertoSerie.setDevice(strDispositivo);
    mscPuertoSerie.setOnComm([this] { mscPuertoSerie_OnComm(); });
    mscPuertoSerie.setOnLost([this](comm::CommError error, const QString& detalle) {
        subPuertoPerdido(error, detalle);
    });
    tmrTiempoEspera.setCallback([this] { tmrTiempoEspera_Timer(); });
    tmrTiempoDesbloqueo.setCallback([this] { tmrTiempoDesbloqueo_Timer(); });
    bfntAbrePuerto();
    tmrTiempoEspera.setEnabled(false);
    tmrTiempoDesbloqueo.setEnabled(false);
}

clsServidorTramas::~clsServidorTramas() {
    m_evCambioPuerto = nullptr; // whoever listens may be going away as well
    subCierraPuerto();
}

void clsServidorTramas::subCambiaVelocidadPuertoSerie(qint16 iPuerto, const QString& strVelo) {
    mscPuertoSerie.setPortOpen(false);
    if (iPuerto != m_estado.iPuerto || strVelo != m_estado.strVelocidad) {
        // Another port or speed is a new start: its trouble deserves its own message.
        m_bFalloAvisado = false;
    }
    m_estado.strVelocidad = strVelo;
    m_estado.iPuerto = iPuerto;
    bfntAbrePuerto();
}

QString clsServidorTramas::strfntInformacion() const {
    const QString strBaudios = m_estado.strVelocidad.section(u',', 0, 0);
    return QStringLiteral("Servidor Tramas: Puerto-> COM%1 y Velocidad -> %2 baudios")
        .arg(m_estado.iPuerto)
        .arg(strBaudios);
}

void clsServidorTramas::subCierraPuerto() {
    mscPuertoSerie.setPortOpen(false);
    subCambiaEstadoPuerto(enEstadoPuerto::Cerrado, {});
}

bool clsServidorTramas::bfntAbrePuerto() {
    comm::CommError error = mscPuertoSerie.setCommPort(m_estado.iPuerto);
    if (error == comm::CommError::None) {
        error = mscPuertoSerie.setSettings(m_estado.strVelocidad);
    }
    mscPuertoSerie.setInputLen(1);
    mscPuertoSerie.setRThreshold(1);
    if (error == comm::CommError::None) {
        error = mscPuertoSerie.setPortOpen(true);
    }
    if (error == comm::CommError::None) {
        m_strFallo.clear();
        m_bFalloAvisado = false;
        subCambiaEstadoPuerto(enEstadoPuerto::Abierto, {});
        return true;
    }
    const QString strMotivo =
        strfntMotivo(error, m_estado.strVelocidad, mscPuertoSerie.busyHolder());
    subCambiaEstadoPuerto(enEstadoPuerto::NoSePuedeAbrir, strMotivo);
    subAvisaFallo(QStringLiteral("No se puede abrir el puerto COM%1 (%2): %3.")
                      .arg(m_estado.iPuerto)
                      .arg(mscPuertoSerie.device(), strMotivo));
    return false;
}

void clsServidorTramas::subPuertoPerdido(comm::CommError error, const QString&) {
    m_bFalloAvisado = false;
    const QString strMotivo = strfntMotivo(error, m_estado.strVelocidad);
    subCambiaEstadoPuerto(enEstadoPuerto::Perdido, strMotivo);
    subAvisaFallo(QStringLiteral("Se ha perdido el puerto COM%1 (%2): %3.")
                      .arg(m_estado.iPuerto)
                      .arg(mscPuertoSerie.device(), strMotivo));
}

void clsServidorTramas::subAvisaFallo(const QString& strMensaje) {
    m_strFallo = strMensaje;
    if (m_bFalloAvisado || !m_evAvisoPuerto) {
        return;
    }
    m_bFalloAvisado = true;
    m_evAvisoPuerto(strMensaje);
}

void clsServidorTramas::subCambiaEstadoPuerto(enEstadoPuerto enEstado, const QString& strMotivo) {
    if (enEstado == m_enEstadoPuerto && strMotivo == m_strMotivo) {
        return;
    }
    m_enEstadoPuerto = enEstado;
    m_strMotivo = strMotivo;
    if (m_evCambioPuerto) {
        m_evCambioPuerto();
    }
}

void clsServidorTramas::setCambioPuerto(std::function<void()> evCambioPuerto) {
    m_evCambioPuerto = std::move(evCambioPuerto);
    if (m_evCambioPuerto) {
        m_evCambioPuerto();
    }
}

void clsServidorTramas::setAvisoPuerto(std::function<void(const QString&)> evAvisoPuerto) {
    m_evAvisoPuerto = std::move(evAvisoPuerto);
    if (!m_strFallo.isEmpty()) {
        subAvisaFallo(m_strFallo);
    }
}

clsServidorTramas::enResultadoEnvio
clsServidorTramas::subMandaTrama(qint16 iDireccionDestino, qint16 iDireccionOrigen,
                                 qint16 iByteControl, qint16 iByteDatos1, qint16 iByteDatos2) {
    if (m_bEsperandoRespuesta) {
        return enResultadoEnvio::Rechazado;
    }
    if (!mscPuertoSerie.portOpen()) {
        bfntAbrePuerto(); // the device may be back (an adapter plugged in again)
    }
    stEstado& e = m_estado;
    e.bServidorOcupado = true;
    e.bErrorSumaLogica = e.bErrorTransmision = e.bErrorTiempo = e.bErrorDesconocido = false;
    e.iarrTramaEnviada = clsTrama::trfntConstruyePeticion(iDireccionDestino, iDireccionOrigen,
                                                          iByteControl, iByteDatos1, iByteDatos2);
    e.iDireccionDesbloqueo = e.iarrTramaEnviada[1];
    // Bytes left over from earlier traffic (a reply cut short by a time-out) must not shift
    // this reply: collection starts over at its start byte.
    e.iBytesRecibidos = 0;
    e.bEsperaInicio = true;
    for (int i = 0; i < 8; ++i) {
        subEscribeByte(e.iarrTramaEnviada[i]);
        e.iarrTramaRecibida[i] = 0;
    }
    tmrTiempoEspera.setInterval(iTIEMPO_ESPERA_MS);
    tmrTiempoDesbloqueo.setInterval(iTIEMPO_DESBLOQUEO_MS);
    tmrTiempoEspera.setEnabled(true);
    tmrTiempoDesbloqueo.setEnabled(true);

    m_bEsperandoRespuesta = true;
    while (e.bServidorOcupado && !e.bErrorTiempo && !e.bErrorTransmision) {
        m_planificador.doEvents();
    }
    m_bEsperandoRespuesta = false;

    tmrTiempoEspera.setEnabled(false);
    tmrTiempoDesbloqueo.setEnabled(false);
    if (!clsTrama::bfntSumaLogicaCorrecta(e.iarrTramaRecibida) && !e.bErrorTiempo &&
        !e.bErrorTransmision) {
        e.bErrorSumaLogica = true;
    }
    return enResultadoEnvio::Terminado;
}

void clsServidorTramas::subLeeTramaRecibida(std::span<qint16> iarrTrama) const {
    const std::size_t iCuenta = std::min<std::size_t>(7, iarrTrama.size());
    for (std::size_t i = 0; i < iCuenta; ++i) {
        iarrTrama[i] = m_estado.iarrTramaRecibida[i];
    }
}

bool clsServidorTramas::bfntRecuperando() const {
    return tmrTiempoDesbloqueo.Interval() == iTIEMPO_REPETICION_MS;
}

void clsServidorTramas::subEscribeByte(qint16 iByte) {
    // A port that is not open swallows the byte: the exchange then ends as a time-out.
    mscPuertoSerie.output(QByteArray(1, static_cast<char>(iByte & 0xFF)));
}

void clsServidorTramas::mscPuertoSerie_OnComm() {
    stEstado& e = m_estado;
    tmrTiempoDesbloqueo.setEnabled(false);
    const QByteArray strEntrada = mscPuertoSerie.input();
    if (strEntrada.isEmpty()) {
        subFalloRecepcion();
        return;
    }
    e.iUltimoByte = static_cast<quint8>(strEntrada[0]);
    if (!e.bServidorOcupado) {
        // The reply is complete and nobody waits for more: a trailing byte must not overwrite
        // the frame before the caller has read it.
        return;
    }
    const bool bRecuperando = bfntRecuperando();
    if (e.bEsperaInicio && bRecuperando) {
        e.iBytesRecibidos = 0;
        e.bEsperaInicio = false;
    }
    if (e.iUltimoByte == clsTrama::iBYTE_INICIO && e.bEsperaInicio) {
        e.iBytesRecibidos = 0;
        e.bEsperaInicio = false;
    }
    if (e.iBytesRecibidos < 8) {
        e.iarrTramaRecibida[e.iBytesRecibidos] = e.iUltimoByte;
        ++e.iBytesRecibidos;
    }
    if (e.iBytesRecibidos == 8 && !bRecuperando) {
        e.bServidorOcupado = false;
        e.iBytesRecibidos = 0;
        e.bEsperaInicio = true;
    }
    if (e.iBytesRecibidos == 8 && bRecuperando) {
        if (clsTrama::bfntEsTramaError(e.iarrTramaRecibida)) {
            e.bErrorTransmision = true;
        } else {
            e.bErrorDesconocido = true;
        }
        e.bEsperaInicio = true;
        e.iBytesRecibidos = 0;
    }
    // Silence is measured from this byte. Only an exchange under way unlocks the station:
    // traffic after it has ended draws no unlock messages.
    if (e.bServidorOcupado && m_bEsperandoRespuesta) {
        tmrTiempoDesbloqueo.setEnabled(true);
    }
}

void clsServidorTramas::subFalloRecepcion() {
    stEstado& e = m_estado;
    if (m_bEsperandoRespuesta) {
        tmrTiempoDesbloqueo.setEnabled(true);
    }
    e.bErrorDesconocido = true;
    e.bEsperaInicio = true;
    e.iBytesRecibidos = 0;
}

void clsServidorTramas::tmrTiempoDesbloqueo_Timer() {
    stEstado& e = m_estado;
    if (tmrTiempoDesbloqueo.Interval() == iTIEMPO_DESBLOQUEO_MS) {
        e.bEsperaInicio = true;
        e.iarrTramaRecibida.fill(1);
    }
    subEscribeByte(e.iDireccionDesbloqueo);
    tmrTiempoDesbloqueo.setInterval(iTIEMPO_REPETICION_MS);
}

void clsServidorTramas::tmrTiempoEspera_Timer() {
    m_estado.bErrorTiempo = true;
}
