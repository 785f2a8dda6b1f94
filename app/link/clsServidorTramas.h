#pragma once

#include "clsTrama.h"

#include "comm/CommPort.h"
#include "forms/Timer.h"

#include <QString>

#include <functional>
#include <memory>
#include <span>

// The one owner of the station's serial port. subMandaTrama sends a request and returns when
// the exchange has ended, yielding to the message loop meanwhile; it collects the eight-byte
// reply byte by byte, recovers a stalled station with unlock messages and reports the outcome
// through four flags read after the call returns.
//
// Besides the station's own protocol it keeps the program running when the port is not there:
// a port that cannot be opened (missing, busy, not permitted) is reported once through
// evAvisoPuerto and the exchanges end as time-outs; at the next request the port is opened
// again, so an adapter plugged back in is picked up without a restart. A device lost while
// open is closed, reported likewise, and reopened at a later request; until it opens again its
// state stays lost (never "cannot be opened", which is for a port that never opened). Between
// exchanges a port that is not usable is tried again every iTIEMPO_VIGILANCIA_MS, so the state
// follows the device even while no request goes out (a message box open in the middle of a
// tick). Every change of the port's state (open, cannot be opened, lost) is also told to
// evCambioPuerto, for a display that follows the link.
//
// Traffic outside an exchange is kept from spoiling the next one: unlock messages go out only
// while subMandaTrama waits (a station still talking after a time-out is not drawn into an
// endless unlock/error-frame exchange), each exchange collects its reply afresh from the start
// byte, and bytes that trail a complete reply are dropped instead of overwriting it.
class clsServidorTramas {
public:
    // State of the server. Read-only outside the class, for the window and for tests.
    struct stEstado {
        qint16 iPuerto = 0;
        QString strVelocidad;
        Trama iarrTramaEnviada{};
        Trama iarrTramaRecibida{};
        qint16 iBytesRecibidos = 0;
        qint16 iUltimoByte = 0;
        qint16 iDireccionDesbloqueo = 0;
        bool bServidorOcupado = false;
        bool bEsperaInicio = false;
        bool bErrorSumaLogica = false;
        bool bErrorTransmision = false;
        bool bErrorTiempo = false;
        bool bErrorDesconocido = false;
    };

    // What became of the port at its last opening or since.
    enum class enEstadoPuerto {
        Cerrado,        // not opened yet, or closed by the program
        Abierto,        // open and usable
        NoSePuedeAbrir, // the last attempt to open it failed (see strfntMotivoPuerto)
        Perdido,        // the device went away while open
    };

    // Result of subMandaTrama.
    enum class enResultadoEnvio {
        Terminado, // the exchange ran; its outcome is in the flags
        Rechazado, // another exchange was still waiting: nothing was sent, nothing touched
    };

    static constexpr int iTIEMPO_ESPERA_MS = 8000;
    static constexpr int iTIEMPO_DESBLOQUEO_MS = 2000;
    static constexpr int iTIEMPO_REPETICION_MS = 150;
    static constexpr int iTIEMPO_VIGILANCIA_MS = 1000;

    // Uses the given device backend (a real serial port when null) on the given scheduler. The
    // port is opened at once as COM2, "9600,N,8,1", on strDispositivo when one is named.
    explicit clsServidorTramas(std::unique_ptr<comm::SerialBackend> backend = {},
                               forms::Scheduler& scheduler = forms::Scheduler::instance(),
                               const QString& strDispositivo = {});
    clsServidorTramas(const clsServidorTramas&) = delete;
    clsServidorTramas& operator=(const clsServidorTramas&) = delete;
    ~clsServidorTramas();

    // Set by the main window when the application is leaving; until then the window stays.
    bool bCerrraVentana = false;

    qint16 ifntPuertoSerie() const { return m_estado.iPuerto; }
    QString strfntVelocidadPuertoSerie() const { return m_estado.strVelocidad; }
    void subCambiaVelocidadPuertoSerie(qint16 iPuerto, const QString& strVelo);

    bool bfntEstadoServidor() const { return m_estado.bServidorOcupado; }
    bool bfntErrorSumaLogica() const { return m_estado.bErrorSumaLogica; }
    bool bfntErrorTransmision() const { return m_estado.bErrorTransmision; }
    bool bfntErrorDesconocido() const { return m_estado.bErrorDesconocido; }
    bool bfntErrorTiempo() const { return m_estado.bErrorTiempo; }

    // Copies received bytes 0 to 6 (not the check sum) into iarrTrama(0) to iarrTrama(6). An
    // array shorter than seven elements gets only what fits.
    void subLeeTramaRecibida(std::span<qint16> iarrTrama) const;

    // Sends one request and returns when its exchange has ended. Refused, with nothing sent
    // and the exchange under way left as it is, when called while another exchange waits.
    enResultadoEnvio subMandaTrama(qint16 iDireccionDestino, qint16 iDireccionOrigen,
                                   qint16 iByteControl, qint16 iByteDatos1, qint16 iByteDatos2);

    // The time on the server's clock, in milliseconds.
    qint64 lfntAhoraMs() const { return m_planificador.nowMs(); }

    // True while subMandaTrama is waiting for a reply.
    bool bfntEsperandoRespuesta() const { return m_bEsperandoRespuesta; }
    // Closes the port (when the window unloads).
    void subCierraPuerto();
    bool bfntPuertoAbierto() const { return mscPuertoSerie.portOpen(); }
    // The device the port number stands for.
    QString strfntDispositivo() const { return mscPuertoSerie.device(); }

    // The information label's text for the current port and speed.
    QString strfntInformacion() const;

    // The last message about an unusable port (empty when the port opened).
    QString strfntFalloPuerto() const { return m_strFallo; }

    enEstadoPuerto enfntEstadoPuerto() const { return m_enEstadoPuerto; }
    // Why the port cannot be used ("el dispositivo no existe"); empty while it is open.
    QString strfntMotivoPuerto() const { return m_strMotivo; }
    // Called after every change of enfntEstadoPuerto() or of its reason, and once at once.
    void setCambioPuerto(std::function<void()> evCambioPuerto);

    // Receives, once per trouble, the message that tells the user the port is not usable.
    // A trouble met before the receiver was set is handed to it at once.
    void setAvisoPuerto(std::function<void(const QString&)> evAvisoPuerto);

    const stEstado& estado() const { return m_estado; }
    const comm::CommPort& puerto() const { return mscPuertoSerie; }
    const forms::Timer& temporizadorEspera() const { return tmrTiempoEspera; }
    const forms::Timer& temporizadorDesbloqueo() const { return tmrTiempoDesbloqueo; }

    // Event handlers, run by the message loop.
    void mscPuertoSerie_OnComm();
    void tmrTiempoEspera_Timer();
    void tmrTiempoDesbloqueo_Timer();
    void tmrVigilaPuerto_Timer();

private:
    bool bfntAbrePuerto();
    void subAvisaFallo(const QString& strMensaje);
    void subPuertoPerdido(comm::CommError error, const QString& strDetalle);
    void subFalloRecepcion();
    void subCambiaEstadoPuerto(enEstadoPuerto enEstado, const QString& strMotivo);
    void subEscribeByte(qint16 iByte);
    bool bfntRecuperando() const;

    forms::Scheduler& m_planificador;
    comm::CommPort mscPuertoSerie;
    forms::Timer tmrTiempoEspera;
    forms::Timer tmrTiempoDesbloqueo;
    forms::Timer tmrVigilaPuerto;
    stEstado m_estado;
    std::function<void(const QString&)> m_evAvisoPuerto;
    std::function<void()> m_evCambioPuerto;
    enEstadoPuerto m_enEstadoPuerto = enEstadoPuerto::Cerrado;
    QString m_strMotivo;
    bool m_bEsperandoRespuesta = false;
    QString m_strFallo;
    bool m_bFalloAvisado = false;
};
