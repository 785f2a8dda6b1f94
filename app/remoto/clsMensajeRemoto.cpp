#include "clsMensajeRemoto.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <optional>

namespace {

// Milliseconds since 1970 up to the end of the year 9999.
constexpr double kTiempoMaximoMs = 253402300799999.0;
constexpr double kNumeroMaximo = 9007199254740991.0; // 2^53 - 1: exact in a JSON number

std::optional<QString> strfntTexto(const QJsonObject& o, QLatin1StringView clave) {
    const QJsonValue v = o.value(clave);
    if (!v.isString() || v.toString().size() > clsMensajeRemoto::iTEXTO_MAXIMO) {
        return std::nullopt;
    }
    return v.toString();
}

std::optional<double> dfntEntero(const QJsonObject& o, QLatin1StringView clave, double dMinimo,
                                 double dMaximo) {
    const QJsonValue v = o.value(clave);
    if (!v.isDouble()) {
        return std::nullopt;
    }
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < dMinimo || d > dMaximo) {
        return std::nullopt;
    }
    return d;
}

std::optional<double> dfntValor(const QJsonObject& o, QLatin1StringView clave) {
    const QJsonValue v = o.value(clave);
    if (!v.isDouble() || !std::isfinite(v.toDouble()) ||
        std::abs(v.toDouble()) > clsMensajeRemoto::dVALOR_MAXIMO) {
        return std::nullopt;
    }
    return v.toDouble();
}

// The port as the greeting nests it, or as a port message carries it at the top.
bool bfntLeePuerto(const QJsonObject& o, clsMensajeRemoto& m) {
    const auto dispositivo = strfntTexto(o, QLatin1StringView("device"));
    const auto estado = strfntTexto(o, QLatin1StringView("state"));
    if (!dispositivo || !estado) {
        return false;
    }
    m.strDispositivo = *dispositivo;
    m.strEstadoPuerto = *estado;
    return true;
}

// One quantity of the greeting's figures; without readings it has none to give.
bool bfntLeeMagnitud(const QJsonObject& o, QLatin1StringView clave, bool bVacia,
                     clsMensajeRemoto::stMagnitud& mag) {
    if (bVacia) {
        return true;
    }
    const QJsonObject q = o.value(clave).toObject();
    const auto minimo = dfntValor(q, QLatin1StringView("min"));
    const auto maximo = dfntValor(q, QLatin1StringView("max"));
    const auto media = dfntValor(q, QLatin1StringView("mean"));
    if (!minimo || !maximo || !media || *minimo > *maximo || *media < *minimo || *media > *maximo) {
        return false;
    }
    mag = {*minimo, *maximo, *media};
    return true;
}

// The figures since the service started ("since_start"); a greeting without them, or with
// figures that do not hold together, is still a greeting.
void subLeeResumen(const QJsonObject& o, clsMensajeRemoto& m) {
    const QJsonObject r = o.value(QLatin1StringView("since_start")).toObject();
    const auto inicio = dfntEntero(r, QLatin1StringView("started_ms"), 0, kTiempoMaximoMs);
    const auto lecturas = dfntEntero(r, QLatin1StringView("count"), 0, kNumeroMaximo);
    const auto ticks = dfntEntero(r, QLatin1StringView("ticks"), 0, kNumeroMaximo);
    if (!inicio || !lecturas || !ticks || *lecturas > *ticks ||
        !bfntLeeMagnitud(r, QLatin1StringView("humidity_pct"), *lecturas == 0, m.magHumedad) ||
        !bfntLeeMagnitud(r, QLatin1StringView("pressure_kpa"), *lecturas == 0, m.magPresion)) {
        m.magHumedad = m.magPresion = {};
        return;
    }
    m.bResumen = true;
    m.lInicioMs = static_cast<qint64>(*inicio);
    m.lLecturas = static_cast<qint64>(*lecturas);
    m.lTicks = static_cast<qint64>(*ticks);
}

bool bfntLeeSaludo(const QJsonObject& o, clsMensajeRemoto& m) {
    const auto estacion = strfntTexto(o, QLatin1StringView("station"));
    const QJsonValue puerto = o.value(QLatin1StringView("port"));
    if (!estacion || !puerto.isObject()) {
        return false;
    }
    m.strEstacion = *estacion;
    subLeeResumen(o, m);
    return bfntLeePuerto(puerto.toObject(), m);
}

bool bfntLeeLectura(const QJsonObject& o, qint64 lTiempoMs, clsMensajeRemoto& m) {
    const auto humedad = dfntValor(o, QLatin1StringView("humidity_pct"));
    const auto presion = dfntValor(o, QLatin1StringView("pressure_kpa"));
    const auto crudaHumedad = dfntEntero(o, QLatin1StringView("raw_humidity"), 0, 65535);
    const auto crudaPresion = dfntEntero(o, QLatin1StringView("raw_pressure"), 0, 65535);
    if (!humedad || !presion || !crudaHumedad || !crudaPresion) {
        return false;
    }
    m.entrada =
        archive::Entry::reading(lTiempoMs, *humedad, *presion, static_cast<quint16>(*crudaHumedad),
                                static_cast<quint16>(*crudaPresion));
    return true;
}

bool bfntLeeTick(const QJsonObject& o, clsMensajeRemoto& m) {
    const auto tipo = strfntTexto(o, QLatin1StringView("kind"));
    const auto tiempo = dfntEntero(o, QLatin1StringView("time_ms"), 0, kTiempoMaximoMs);
    if (!tipo || tipo->isEmpty() || !tiempo) {
        return false;
    }
    const auto lTiempoMs = static_cast<qint64>(*tiempo);
    if (o.contains(QLatin1StringView("n"))) {
        const auto numero = dfntEntero(o, QLatin1StringView("n"), 0, kNumeroMaximo);
        if (!numero) {
            return false;
        }
        m.lNumero = static_cast<qint64>(*numero);
    }
    if (*tipo == u"reading") {
        return bfntLeeLectura(o, lTiempoMs, m);
    }
    m.strFallo = *tipo;
    const auto fallo = archive::failureKindFromName(*tipo);
    m.bFalloConocido = fallo.has_value();
    m.entrada = archive::Entry::failure(lTiempoMs, fallo.value_or(archive::EntryKind::Timeout));
    return true;
}

} // namespace

clsMensajeRemoto clsMensajeRemoto::msjfntInterpreta(const QByteArray& bytMensaje) {
    clsMensajeRemoto m;
    if (bytMensaje.size() > iTAMANO_MAXIMO) {
        return m;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytMensaje, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return m;
    }
    const QJsonObject o = doc.object();
    const auto tipo = strfntTexto(o, QLatin1StringView("type"));
    if (!tipo) {
        return m;
    }
    bool bValido = true;
    enTipo enLeido = enTipo::Otro;
    if (*tipo == u"tick") {
        enLeido = enTipo::Tick;
        bValido = bfntLeeTick(o, m);
    } else if (*tipo == u"port") {
        enLeido = enTipo::Puerto;
        bValido = bfntLeePuerto(o, m);
    } else if (*tipo == u"hello") {
        enLeido = enTipo::Saludo;
        bValido = bfntLeeSaludo(o, m);
    }
    if (!bValido) {
        return clsMensajeRemoto{};
    }
    m.enTipoMensaje = enLeido;
    return m;
}
