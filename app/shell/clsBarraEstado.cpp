#include "clsBarraEstado.h"

#include <QStringList>

#include <algorithm>

void clsBarraEstado::subPuerto(const QString& strPuerto, const QString& strDispositivo) {
    if (strPuerto == m_strPuerto && strDispositivo == m_strDispositivo) {
        return;
    }
    m_strPuerto = strPuerto;
    m_strDispositivo = strDispositivo;
    subAvisaCambio();
}

void clsBarraEstado::subPuertoAbierto() {
    m_strMotivo.clear();
    subCambia(enEnlace::Abierto);
}

void clsBarraEstado::subPuertoNoSeAbre(const QString& strMotivo) {
    if (m_enEnlace == enEnlace::Desconectado) {
        return;
    }
    m_strMotivo = strMotivo;
    m_enEnlace = enEnlace::NoSePuedeAbrir;
    subAvisaCambio();
}

void clsBarraEstado::subPuertoPerdido() {
    subCambia(enEnlace::Desconectado);
}

void clsBarraEstado::subRespuesta() {
    if (m_enEnlace == enEnlace::SinRespuesta) {
        subCambia(enEnlace::Abierto);
    }
}

void clsBarraEstado::subSinRespuesta(QTime tPeticion) {
    ++m_lTiemposAgotados;
    if (m_enEnlace == enEnlace::Abierto) {
        m_tSinRespuesta = tPeticion;
        m_enEnlace = enEnlace::SinRespuesta;
    }
    subAvisaCambio();
}

void clsBarraEstado::subLectura() {
    ++m_lLecturas;
    subRespuesta();
    subAvisaCambio();
}

void clsBarraEstado::subAviso(const QString& strClave, const QString& strTexto) {
    const auto it = std::find_if(m_avisos.begin(), m_avisos.end(),
                                 [&](const auto& aviso) { return aviso.first == strClave; });
    if (strTexto.isEmpty()) {
        if (it == m_avisos.end()) {
            return;
        }
        m_avisos.erase(it);
    } else if (it == m_avisos.end()) {
        m_avisos.append({strClave, strTexto});
    } else {
        it->second = strTexto;
    }
    subAvisaCambio();
}

QString clsBarraEstado::strfntEnlace() const {
    QString strEstado;
    switch (m_enEnlace) {
    case enEnlace::Abierto:
        strEstado = QStringLiteral("abierto");
        break;
    case enEnlace::SinRespuesta:
        strEstado = QStringLiteral("sin respuesta desde ") +
                    m_tSinRespuesta.toString(QStringLiteral("HH:mm:ss"));
        break;
    case enEnlace::Desconectado:
        strEstado = QStringLiteral("desconectado");
        break;
    case enEnlace::NoSePuedeAbrir:
        strEstado = QStringLiteral("no se puede abrir: ") + m_strMotivo;
        break;
    }
    const QString strDispositivo =
        m_strDispositivo.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_strDispositivo);
    return m_strPuerto + strDispositivo + QStringLiteral(": ") + strEstado;
}

QString clsBarraEstado::strfntContadores() const {
    return QStringLiteral("Lecturas: %1 · Errores de tiempo: %2")
        .arg(m_lLecturas)
        .arg(m_lTiemposAgotados);
}

QString clsBarraEstado::strfntAvisos() const {
    QStringList textos;
    for (const auto& aviso : m_avisos) {
        textos << aviso.second;
    }
    return textos.join(QStringLiteral(" · "));
}

void clsBarraEstado::subCambia(enEnlace enEnlace) {
    if (enEnlace == m_enEnlace) {
        return;
    }
    m_enEnlace = enEnlace;
    subAvisaCambio();
}

void clsBarraEstado::subAvisaCambio() const {
    if (m_evCambio) {
        m_evCambio();
    }
}
