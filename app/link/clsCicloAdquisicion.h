#pragma once

#include "clsServidorTramas.h"
#include "clsTrama.h"

#include <functional>

// One acquisition tick: asks the station for the humidity reading and then for the pressure
// reading through the frame server, converts both, counts the sample and hands the pair on.
// A time-out ends the tick with "Error de tiempo"; a transmission error sends the same request
// again. Ticks never overlap: a tick that falls due while another is still waiting is skipped.
class clsCicloAdquisicion {
public:
    enum class enResultadoTick {
        Completo,    // both readings taken and handed on
        ErrorTiempo, // the station did not answer in time
        Saltado,     // another tick (or another exchange) was still under way
    };

    // One request and its reply, as the server left them.
    struct stIntercambio {
        qint16 iByteDatos1 = 0; // the reading asked for
        Trama iarrTramaEnviada{};
        Trama iarrTramaRecibida{};
        bool bErrorTiempo = false;
        bool bErrorTransmision = false;
        bool bErrorSumaLogica = false;
        bool bErrorDesconocido = false;
    };

    // How a tick ended, told before the readings are handed on (or the time-out is shown).
    struct stTick {
        enResultadoTick enResultado = enResultadoTick::Completo;
        qint32 lLecturaHumedad = 0; // the raw readings of a complete tick
        qint32 lLecturaPresion = 0;
        double dHumedad = 0.0;
        double dPresion = 0.0;
        // For a tick that timed out: whether the port was the cause.
        clsServidorTramas::enFalloPuerto enFalloPuerto = clsServidorTramas::enFalloPuerto::Ninguno;
    };

    static inline const QString strERROR_TIEMPO = QStringLiteral("Error de tiempo");

    explicit clsCicloAdquisicion(clsServidorTramas& objServidorTramas);

    // Shows a message to the user ("Error de tiempo").
    void setMuestraMensaje(std::function<void(const QString&)> evMuestraMensaje) {
        m_evMuestraMensaje = std::move(evMuestraMensaje);
    }
    // Receives each complete tick's humidity (%) and pressure (kPa).
    void setPintaValores(std::function<void(double dHumedad, double dPresion)> evPintaValores) {
        m_evPintaValores = std::move(evPintaValores);
    }
    // Sees every exchange of a tick, for tools that show the traffic.
    void setIntercambio(std::function<void(const stIntercambio&)> evIntercambio) {
        m_evIntercambio = std::move(evIntercambio);
    }

    // Sees the end of every tick that reached the station, complete or timed out.
    void setTickTerminado(std::function<void(const stTick&)> evTickTerminado) {
        m_evTickTerminado = std::move(evTickTerminado);
    }

    // Runs one tick. A complete tick raises the reading counter of the application.
    enResultadoTick subTick();
    bool bfntTickEnCurso() const { return m_bTickEnCurso; }

    double dfntHumedad() const { return m_dHumedad; }
    double dfntPresion() const { return m_dPresion; }

private:
    bool bfntPideLectura(qint16 iByteDatos1, qint32& lLectura);
    void subAvisaIntercambio(qint16 iByteDatos1) const;
    void subAvisaFin(enResultadoTick enResultado, qint32 lHumedad, qint32 lPresion) const;

    clsServidorTramas& m_objServidorTramas;
    std::function<void(const QString&)> m_evMuestraMensaje;
    std::function<void(double, double)> m_evPintaValores;
    std::function<void(const stIntercambio&)> m_evIntercambio;
    std::function<void(const stTick&)> m_evTickTerminado;
    double m_dHumedad = 0.0;
    double m_dPresion = 0.0;
    bool m_bTickEnCurso = false;
    bool m_bOcupado = false;
};
