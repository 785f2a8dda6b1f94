#include "clsCicloAdquisicion.h"

#include "modGlobal.h"

#include <array>

clsCicloAdquisicion::clsCicloAdquisicion(clsServidorTramas& objServidorTramas)
    : m_objServidorTramas(objServidorTramas) {}

clsCicloAdquisicion::enResultadoTick clsCicloAdquisicion::subTick() {
    if (m_bTickEnCurso) {
        return enResultadoTick::Saltado;
    }
    m_bTickEnCurso = true;
    m_bOcupado = m_bDetenido = m_bDescartado = false;
    m_enFallo = enResultadoTick::Detenido;
    m_lInicioTickMs = m_objServidorTramas.lfntAhoraMs();
    qint32 lHumedad = 0;
    qint32 lPresion = 0;
    bool bLecturas = bfntPideLectura(clsTrama::iPETICION_HUMEDAD, lHumedad);
    bLecturas =
        bLecturas && !m_bDescartado && bfntPideLectura(clsTrama::iPETICION_PRESION, lPresion);
    m_bTickEnCurso = false;
    if (m_bOcupado) {
        return enResultadoTick::Saltado;
    }
    if (m_bDescartado) {
        return enResultadoTick::Detenido;
    }
    if (!bLecturas) {
        return m_bDetenido ? enResultadoTick::Detenido : m_enFallo;
    }
    m_dHumedad = clsTrama::dfntHumedad(lHumedad);
    m_dPresion = clsTrama::dfntPresion(lPresion);
    ++modGlobal::lNumeroMuestras;
    subAvisaFin(enResultadoTick::Completo, lHumedad, lPresion);
    if (m_evPintaValores) {
        m_evPintaValores(m_dHumedad, m_dPresion);
    }
    return enResultadoTick::Completo;
}

void clsCicloAdquisicion::subDetiene() {
    m_bDetenido = m_bTickEnCurso;
}

void clsCicloAdquisicion::subDescarta() {
    m_bDescartado = m_bTickEnCurso;
}

bool clsCicloAdquisicion::bfntPideLectura(qint16 iByteDatos1, qint32& lLectura) {
    int iSumasErroneas = 0;
    for (;;) {
        const auto resultado = m_objServidorTramas.subMandaTrama(
            clsTrama::iDIRECCION_ESTACION, clsTrama::iDIRECCION_CONSOLA, clsTrama::iBYTE_CONTROL,
            iByteDatos1, 0);
        if (resultado == clsServidorTramas::enResultadoEnvio::Rechazado) {
            m_bOcupado = true;
            return false;
        }
        subAvisaIntercambio(iByteDatos1);
        if (m_objServidorTramas.bfntErrorTiempo()) {
            bfntFalla(enResultadoTick::ErrorTiempo);
            if (m_evMuestraMensaje) {
                m_evMuestraMensaje(strERROR_TIEMPO);
            }
            return false;
        }
        // An error frame is the station's complaint, not a reading: like a transmission error
        // it sends the request again.
        const bool bQueja =
            m_objServidorTramas.bfntErrorTransmision() ||
            clsTrama::bfntEsTramaError(m_objServidorTramas.estado().iarrTramaRecibida);
        if (!bQueja && !m_objServidorTramas.bfntErrorSumaLogica()) {
            break;
        }
        // A frame spoilt on the line is asked for once more; spoilt again, the tick fails.
        if (!bQueja && ++iSumasErroneas > iREPETICIONES_SUMA_LOGICA) {
            return bfntFalla(enResultadoTick::ErrorSumaLogica);
        }
        if (m_bDetenido || m_bDescartado) {
            return false;
        }
        if (bQueja &&
            m_objServidorTramas.lfntAhoraMs() - m_lInicioTickMs > iLIMITE_SIN_LECTURA_MS) {
            return bfntFalla(enResultadoTick::SinLecturas);
        }
    }
    std::array<qint16, 9> iarrTrama{};
    m_objServidorTramas.subLeeTramaRecibida(iarrTrama);
    lLectura = clsTrama::lfntLectura(iarrTrama[5], iarrTrama[6]);
    return true;
}

bool clsCicloAdquisicion::bfntFalla(enResultadoTick enFallo) {
    m_enFallo = enFallo;
    subAvisaFin(enFallo, 0, 0);
    return false;
}

void clsCicloAdquisicion::subAvisaIntercambio(qint16 iByteDatos1) const {
    if (!m_evIntercambio) {
        return;
    }
    const auto& e = m_objServidorTramas.estado();
    m_evIntercambio({iByteDatos1, e.iarrTramaEnviada, e.iarrTramaRecibida, e.bErrorTiempo,
                     e.bErrorTransmision, e.bErrorSumaLogica, e.bErrorDesconocido});
}

void clsCicloAdquisicion::subAvisaFin(enResultadoTick enResultado, qint32 lHumedad,
                                      qint32 lPresion) const {
    if (!m_evTickTerminado) {
        return;
    }
    stTick tick;
    tick.enResultado = enResultado;
    tick.lLecturaHumedad = lHumedad;
    tick.lLecturaPresion = lPresion;
    if (enResultado == enResultadoTick::Completo) {
        tick.dHumedad = m_dHumedad;
        tick.dPresion = m_dPresion;
    } else {
        tick.enEstadoPuerto = m_objServidorTramas.enfntEstadoPuerto();
    }
    m_evTickTerminado(tick);
}
