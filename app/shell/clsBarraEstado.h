#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QTime>

#include <functional>

// What the main window's status bar tells, without the widgets: the state of the link to the
// station ("COM2 (/dev/ttyS1): abierto", "sin respuesta desde hh:mm:ss", "sin lecturas desde
// hh:mm:ss", "desconectado", "no se puede abrir: <motivo>", and for a station service
// followed over the network "conectando"), the readings, time-outs, unlocks
// and replies refused for their check sum counted since the program started, and notices that other
// parts of the program put up and take down by a key (where a print went, a file that cannot be
// written, ...).
class clsBarraEstado {
public:
    enum class enEnlace {
        Abierto,
        SinRespuesta,
        SinLecturas,
        Desconectado,
        NoSePuedeAbrir,
        Conectando, // a station service being reached for the first time
    };

    // Called after every change of any text.
    void setCambio(std::function<void()> evCambio) { m_evCambio = std::move(evCambio); }

    // The port's name ("COM2") and the device behind it.
    void subPuerto(const QString& strPuerto, const QString& strDispositivo);

    // The port opened (also again after a loss): the link is open until the station fails.
    void subPuertoAbierto();
    // The port could not be opened. After a loss the link stays "desconectado" until the port
    // opens again: the device has not come back.
    void subPuertoNoSeAbre(const QString& strMotivo);
    // The device went away while open.
    void subPuertoPerdido();
    // The link is a station service's, and its first connection is under way.
    void subConectando();

    // The station answered an exchange (with a reading or with its error frame).
    void subRespuesta();
    // An exchange sent at tPeticion went unanswered; counts one time-out. The link shows the
    // time of the first request of a silence; port trouble, when there is some, stays shown.
    void subSinRespuesta(QTime tPeticion);
    // A tick that began at tDesde went on without a reading for longer than a tick may (the
    // station answers, but only with error frames). The link shows the time of the first such
    // tick until a reading comes; port trouble, when there is some, stays shown.
    void subSinLecturas(QTime tDesde);
    // An exchange ended with the station's error frame after an unlock message.
    void subDesbloqueo();
    // A tick failed because its replies' check sums were wrong.
    void subErrorSumaLogica();
    // One reading reached the windows.
    void subLectura();

    // Puts up (or replaces) the notice under strClave; an empty text takes it down.
    void subAviso(const QString& strClave, const QString& strTexto);
    void subQuitaAviso(const QString& strClave) { subAviso(strClave, {}); }

    enEnlace enfntEnlace() const { return m_enEnlace; }
    qint64 lfntLecturas() const { return m_lLecturas; }
    qint64 lfntTiemposAgotados() const { return m_lTiemposAgotados; }
    qint64 lfntDesbloqueos() const { return m_lDesbloqueos; }
    qint64 lfntErroresSumaLogica() const { return m_lErroresSumaLogica; }

    QString strfntEnlace() const;
    QString strfntContadores() const;
    // The notices in the order they were first put up, joined by " · ".
    QString strfntAvisos() const;

private:
    void subCambia(enEnlace enEnlace);
    void subAvisaCambio() const;

    std::function<void()> m_evCambio;
    QString m_strPuerto;
    QString m_strDispositivo;
    enEnlace m_enEnlace = enEnlace::Abierto;
    QString m_strMotivo;
    QTime m_tSinRespuesta;
    QTime m_tSinLecturas;
    qint64 m_lLecturas = 0;
    qint64 m_lTiemposAgotados = 0;
    qint64 m_lDesbloqueos = 0;
    qint64 m_lErroresSumaLogica = 0;
    QList<QPair<QString, QString>> m_avisos;
};
