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

void clsBarraEstado::subConectando() {
    subCambia(enEnlace::Conectando);
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

void clsBarraEstado::subSinLecturas(QTime tDesde) {
    if (m_enEnlace == enEnlace::Abierto || m_enEnlace == enEnlace::SinRespuesta) {
        m_tSinLecturas = tDesde;
        subCambia(enEnlace::SinLecturas);
    }
}

void clsBarraEstado::subDesbloqueo() {
    ++m_lDesbloqueos;
    subAvisaCambio();
}

void clsBarraEstado::subErrorSumaLogica() {
    ++m_lErroresSumaLogica;
    subAvisaCambio();
}

void clsBarraEstado::subLectura() {
    ++m_lLecturas;
    if (m_enEnlace == enEnlace::SinLecturas) {
        m_enEnlace = enEnlace::Abierto;
    }
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
    case enEnlace::SinLecturas:
        strEstado = QStringLiteral("sin lecturas desde ") +
                    m_tSinLecturas.toString(QStringLiteral("HH:mm:ss"));
        break;
    case enEnlace::Desconectado:
        strEstado = QStringLiteral("desconectado");
        break;
    case enEnlace::NoSePuedeAbrir:
        strEstado = QStringLiteral("no se puede abrir: ") + m_strMotivo;
        break;
    case enEnlace::Conectando:
        strEstado = QStringLiteral("conectando");
        break;
    }
    const QString strDispositivo =
        m_strDispositivo.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_strDispositivo);
    return m_strPuerto + strDispositivo + QStringLiteral(": ") + strEstado;
}

QString clsBarraEstado::strfntContadores() const {
    QString strTexto = QStringLiteral("Lecturas: %1 · Errores de tiempo: %2 · Desbloqueos: %3")
                           .arg(m_lLecturas)
                           .arg(m_lTiemposAgotados)
                           .arg(m_lDesbloqueos);
    if (m_lErroresSumaLogica > 0) {
        // Rare on a sound line: told only once it has happened.
        strTexto += QStringLiteral(" · Errores de suma: %1").arg(m_lErroresSumaLogica);
    }
    return strTexto;
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
