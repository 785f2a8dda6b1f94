#pragma once

#include "clsServidorTramas.h"
#include "clsTrama.h"

#include <functional>

// One acquisition tick: asks the station for the humidity reading and then for the pressure
// reading through the frame server, converts both, counts the sample and hands the pair on.
// A time-out ends the tick with "Error de tiempo"; a transmission error sends the same request
// again. Ticks never overlap: a tick that falls due while another is still waiting is skipped.
//
// A reply whose check sum is wrong is not a measurement: the same request goes out once more,
// and when that reply is wrong too the tick fails (ErrorSumaLogica) with nothing handed on. A
// station that answers with error frames only is asked again as long as the tick is younger
// than iLIMITE_SIN_LECTURA_MS; the first error frame after that ends the tick (SinLecturas),
// so a stalled station shows as failed ticks instead of one tick that never ends.
//
// Acquisition can be stopped while a tick waits for the station. The exchange under way always
// runs to its end. A stopped tick still takes its readings, counted in the run that asked for
// them, but sends no request again after a transmission error, so a station that only answers
// with error frames falls silent within one exchange. A discarded tick (its run's statistics
// were started again meanwhile) sends nothing more and hands nothing on.
class clsCicloAdquisicion {
public:
    enum class enResultadoTick {
        Completo,        // both readings taken and handed on
        ErrorTiempo,     // the station did not answer in time
        Saltado,         // another tick (or another exchange) was still under way
        Detenido,        // stopped or discarded while waiting: no reading handed on
        ErrorSumaLogica, // a reply's check sum was wrong, and again when asked once more
        SinLecturas,     // only error frames for longer than iLIMITE_SIN_LECTURA_MS
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
        // For a tick that timed out: the port's state then, which tells whether it was the cause.
        clsServidorTramas::enEstadoPuerto enEstadoPuerto =
            clsServidorTramas::enEstadoPuerto::Abierto;
    };

    static inline const QString strERROR_TIEMPO = QStringLiteral("Error de tiempo");
    static inline const QString strERROR_SUMA_LOGICA = QStringLiteral("Error de suma lógica");
    static inline const QString strSIN_LECTURAS = QStringLiteral("Sin lecturas");

    // How long a tick may go on asking a station that answers with error frames: as long as a
    // silent station gets before its time-out.
    static constexpr int iLIMITE_SIN_LECTURA_MS = clsServidorTramas::iTIEMPO_ESPERA_MS;
    // How many times a request is sent again after a reply with a wrong check sum.
    static constexpr int iREPETICIONES_SUMA_LOGICA = 1;

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

    // Sees the end of every tick that reached the station: complete, timed out, or failed on
    // check sums or on a station that gives no reading.
    void setTickTerminado(std::function<void(const stTick&)> evTickTerminado) {
        m_evTickTerminado = std::move(evTickTerminado);
    }

    // Runs one tick. A complete tick raises the reading counter of the application.
    enResultadoTick subTick();
    bool bfntTickEnCurso() const { return m_bTickEnCurso; }
    // Acquisition was stopped while this tick waits: no request is sent again after a
    // transmission error. Does nothing between ticks.
    void subDetiene();
    // The run this tick belongs to is over and its statistics were started again: the tick
    // sends nothing more and hands nothing on. Does nothing between ticks.
    void subDescarta();

    double dfntHumedad() const { return m_dHumedad; }
    double dfntPresion() const { return m_dPresion; }

private:
    bool bfntPideLectura(qint16 iByteDatos1, qint32& lLectura);
    bool bfntFalla(enResultadoTick enFallo);
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
    bool m_bDetenido = false;
    bool m_bDescartado = false;
    // Why the tick under way gave no reading; when the tick was stopped, that wins.
    enResultadoTick m_enFallo = enResultadoTick::Detenido;
    qint64 m_lInicioTickMs = 0;
};
