#pragma once

#include "clsMensajeRemoto.h"

#include "archive/ArchiveEntry.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QWebSocket;

// Follows a station service's live feed in place of the serial port: every tick the service
// archives arrives as the archive entry the local acquisition tick would have left, and the
// connection's state is told like a port's.
//
// The connection is opened at subInicia and kept: when it is lost (the service stopped, the
// network went, nothing heard for iSilencioMs although the service is asked with pings) it is
// opened again after a wait that doubles from iEsperaInicialMs up to iEsperaMaximaMs, and goes
// back to the shortest wait once a connection has opened. Each message is checked before use:
// anything malformed, oversized or binary is counted and dropped, never acted on. The token
// goes out as "Authorization: Bearer" only; it is never shown or logged.
class clsFuenteRemota : public QObject {
    Q_OBJECT

public:
    enum class enEstado {
        Detenida,    // not started, or stopped
        Conectando,  // the first connection is being made
        Abierta,     // connected: ticks arrive
        NoSeConecta, // the service could not be reached since the start (see strfntMotivo)
        Perdida,     // the connection was open and was lost; being made again
    };

    struct stEsperas {
        int iEsperaInicialMs = 1000;
        int iEsperaMaximaMs = 10000;
        // A connection that brings nothing (not even an answer to a ping) for this long is lost.
        int iSilencioMs = 15000;
    };

    // urlServicio is the service's address ("http://host:8470"), checked beforehand with
    // clsOpcionesRemoto::urlfntAlimentacion; an empty token sends none.
    clsFuenteRemota(QUrl urlServicio, QByteArray bytToken, QObject* parent = nullptr);
    ~clsFuenteRemota() override;

    void setEsperas(const stEsperas& esperas) { m_esperas = esperas; }

    void subInicia();
    void subDetiene();

    enEstado enfntEstado() const { return m_enEstado; }
    // The service's address as given, for the status bar.
    QString strfntDireccion() const { return m_urlServicio.toDisplayString(); }
    // Why the last connection failed or ended.
    QString strfntMotivo() const { return m_strMotivo; }
    // The service's station, device and the state of its port as it last told them.
    QString strfntEstacion() const { return m_strEstacion; }
    QString strfntDispositivo() const { return m_strDispositivo; }
    QString strfntEstadoPuerto() const { return m_strEstadoPuerto; }
    // Messages dropped as malformed; failed ticks of kinds this program does not know.
    qint64 lfntDescartados() const { return m_lDescartados; }
    qint64 lfntFallosDesconocidos() const { return m_lFallosDesconocidos; }
    // Ticks the service counted that never arrived over an open connection, from the ticks'
    // numbers.
    qint64 lfntTicksPerdidos() const { return m_lTicksPerdidos; }

signals:
    // One tick of the service: a reading, or a failed tick of a kind this program knows.
    void tickRecibido(const archive::Entry& entrada);
    void estadoCambiado(clsFuenteRemota::enEstado enEstado);
    // The service's device or the state of its port changed.
    void puertoCambiado();
    // The greeting of a connection, before any of its ticks: the service's figures since it
    // started (when saludo.bResumen).
    void saludoRecibido(const clsMensajeRemoto& saludo);

private:
    void subConecta();
    void subCierraSocket();
    void subMensaje(const QString& strMensaje);
    void subBinario();
    void subAbierta();
    void subTermina(const QString& strMotivo);
    void subCambiaEstado(enEstado enNuevo);
    void subPuerto(const QString& strDispositivo, const QString& strEstado);
    void subCuentaTick(qint64 lNumero);

    QUrl m_urlServicio;
    QByteArray m_bytToken;
    stEsperas m_esperas;
    enEstado m_enEstado = enEstado::Detenida;
    QWebSocket* m_socket = nullptr;
    QTimer m_tmrReintento;
    QTimer m_tmrSilencio;
    QTimer m_tmrPing;
    int m_iEsperaMs = 0;
    QString m_strMotivo;
    QString m_strEstacion;
    QString m_strDispositivo;
    QString m_strEstadoPuerto;
    qint64 m_lDescartados = 0;
    qint64 m_lFallosDesconocidos = 0;
    qint64 m_lTicksPerdidos = 0;
    qint64 m_lUltimoNumero = -1;
};
