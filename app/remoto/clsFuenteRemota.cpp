#include "clsFuenteRemota.h"

#include "clsMensajeRemoto.h"
#include "clsOpcionesRemoto.h"

#include <QNetworkRequest>
#include <QWebSocket>

#include <algorithm>
#include <utility>

clsFuenteRemota::clsFuenteRemota(QUrl urlServicio, QByteArray bytToken, QObject* parent)
    : QObject(parent)
    , m_urlServicio(std::move(urlServicio))
    , m_bytToken(std::move(bytToken)) {
    m_tmrReintento.setSingleShot(true);
    m_tmrSilencio.setSingleShot(true);
    connect(&m_tmrReintento, &QTimer::timeout, this, &clsFuenteRemota::subConecta);
    connect(&m_tmrSilencio, &QTimer::timeout, this, [this] {
        subTermina(QStringLiteral("nothing heard for %1 s").arg(m_esperas.iSilencioMs / 1000));
    });
    connect(&m_tmrPing, &QTimer::timeout, this, [this] {
        if (m_socket) {
            m_socket->ping();
        }
    });
}

clsFuenteRemota::~clsFuenteRemota() {
    // Whoever listened may be gone already: the end is not told.
    blockSignals(true);
    subDetiene();
}

void clsFuenteRemota::subInicia() {
    if (m_enEstado != enEstado::Detenida) {
        return;
    }
    m_iEsperaMs = m_esperas.iEsperaInicialMs;
    subCambiaEstado(enEstado::Conectando);
    subConecta();
}

void clsFuenteRemota::subDetiene() {
    m_tmrReintento.stop();
    subCierraSocket();
    subCambiaEstado(enEstado::Detenida);
}

void clsFuenteRemota::subConecta() {
    subCierraSocket();
    QString strMotivo;
    const QUrl url = clsOpcionesRemoto::urlfntAlimentacion(m_urlServicio, &strMotivo);
    if (url.isEmpty()) {
        m_strMotivo = strMotivo;
        subCambiaEstado(enEstado::NoSeConecta);
        return; // an address that can never work is not tried again
    }
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    m_socket->setMaxAllowedIncomingMessageSize(clsMensajeRemoto::iTAMANO_MAXIMO);
    m_socket->setMaxAllowedIncomingFrameSize(clsMensajeRemoto::iTAMANO_MAXIMO);
    connect(m_socket, &QWebSocket::connected, this, &clsFuenteRemota::subAbierta);
    connect(m_socket, &QWebSocket::textMessageReceived, this, &clsFuenteRemota::subMensaje);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this, &clsFuenteRemota::subBinario);
    connect(m_socket, &QWebSocket::pong, this, [this] { m_tmrSilencio.start(); });
    connect(m_socket, &QWebSocket::disconnected, this, [this] {
        const QString strCierre = m_socket->closeReason();
        subTermina(strCierre.isEmpty() ? QStringLiteral("connection closed") : strCierre);
    });
    // Qt 6.4 names the signal error(), as the getter.
    connect(m_socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
            [this] { subTermina(m_socket->errorString()); });
    QNetworkRequest peticion(url);
    if (!m_bytToken.isEmpty()) {
        peticion.setRawHeader("Authorization", "Bearer " + m_bytToken);
    }
    // The connection is made within the silence bound, like any other wait for the service.
    peticion.setTransferTimeout(m_esperas.iSilencioMs);
    m_tmrSilencio.setInterval(m_esperas.iSilencioMs);
    m_tmrSilencio.start();
    m_socket->open(peticion);
}

void clsFuenteRemota::subCierraSocket() {
    m_tmrSilencio.stop();
    m_tmrPing.stop();
    if (!m_socket) {
        return;
    }
    QWebSocket* socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void clsFuenteRemota::subAbierta() {
    m_iEsperaMs = m_esperas.iEsperaInicialMs;
    m_strMotivo.clear();
    m_lUltimoNumero = -1;
    m_tmrSilencio.start();
    m_tmrPing.start(std::max(1, m_esperas.iSilencioMs / 3));
    subCambiaEstado(enEstado::Abierta);
}

void clsFuenteRemota::subTermina(const QString& strMotivo) {
    if (!m_socket) {
        return; // already over: one loss is told once
    }
    m_strMotivo = strMotivo;
    subCierraSocket();
    if (m_enEstado == enEstado::Abierta) {
        subCambiaEstado(enEstado::Perdida);
    } else if (m_enEstado == enEstado::Conectando) {
        subCambiaEstado(enEstado::NoSeConecta);
    }
    m_tmrReintento.start(m_iEsperaMs);
    m_iEsperaMs = std::min(m_iEsperaMs * 2, m_esperas.iEsperaMaximaMs);
}

void clsFuenteRemota::subMensaje(const QString& strMensaje) {
    if (m_enEstado != enEstado::Abierta) {
        return;
    }
    m_tmrSilencio.start();
    const clsMensajeRemoto m = clsMensajeRemoto::msjfntInterpreta(strMensaje.toUtf8());
    switch (m.enTipoMensaje) {
    case clsMensajeRemoto::enTipo::Invalido:
        ++m_lDescartados;
        break;
    case clsMensajeRemoto::enTipo::Saludo:
        m_strEstacion = m.strEstacion;
        if (m.bResumen) {
            m_lUltimoNumero = m.lTicks; // the next tick is the one after those it sums up
        }
        subPuerto(m.strDispositivo, m.strEstadoPuerto);
        emit saludoRecibido(m);
        break;
    case clsMensajeRemoto::enTipo::Puerto:
        subPuerto(m.strDispositivo, m.strEstadoPuerto);
        break;
    case clsMensajeRemoto::enTipo::Tick:
        subCuentaTick(m.lNumero);
        if (!m.bFalloConocido) {
            ++m_lFallosDesconocidos;
            break;
        }
        emit tickRecibido(m.entrada);
        break;
    case clsMensajeRemoto::enTipo::Otro:
        break;
    }
}

void clsFuenteRemota::subBinario() {
    if (m_enEstado == enEstado::Abierta) {
        ++m_lDescartados;
    }
}

void clsFuenteRemota::subCuentaTick(qint64 lNumero) {
    if (lNumero < 0) {
        return;
    }
    if (m_lUltimoNumero >= 0 && lNumero > m_lUltimoNumero + 1) {
        m_lTicksPerdidos += lNumero - m_lUltimoNumero - 1;
    }
    m_lUltimoNumero = lNumero;
}

void clsFuenteRemota::subPuerto(const QString& strDispositivo, const QString& strEstado) {
    if (strDispositivo == m_strDispositivo && strEstado == m_strEstadoPuerto) {
        return;
    }
    m_strDispositivo = strDispositivo;
    m_strEstadoPuerto = strEstado;
    emit puertoCambiado();
}

void clsFuenteRemota::subCambiaEstado(enEstado enNuevo) {
    if (enNuevo == m_enEstado) {
        return;
    }
    m_enEstado = enNuevo;
    emit estadoCambiado(enNuevo);
}
