#include "clsOpcionesRemoto.h"

#include <QFile>

#include <algorithm>

namespace {

const QString kRemoto = QStringLiteral("--remote");
const QString kToken = QStringLiteral("--token-file");

// The value of `strOpcion` at argumentos[i] ("--x value" or "--x=value"), advancing i past a
// separate value. False when the argument is another one; *bFalta when the value is missing.
bool bfntOpcion(const QStringList& argumentos, qsizetype& i, const QString& strOpcion,
                QString* strValor, bool* bFalta) {
    const QString& strArgumento = argumentos.at(i);
    if (strArgumento.startsWith(strOpcion + u'=')) {
        *strValor = strArgumento.mid(strOpcion.size() + 1);
        *bFalta = strValor->isEmpty();
        return true;
    }
    if (strArgumento != strOpcion) {
        return false;
    }
    *bFalta = i + 1 >= argumentos.size();
    if (!*bFalta) {
        *strValor = argumentos.at(++i);
    }
    return true;
}

bool bfntImprimible(const QByteArray& bytTexto) {
    return std::all_of(bytTexto.cbegin(), bytTexto.cend(),
                       [](char c) { return c > ' ' && c < '\x7f'; });
}

} // namespace

clsOpcionesRemoto clsOpcionesRemoto::opcfntDeArgumentos(const QStringList& argumentos) {
    clsOpcionesRemoto o;
    QString strUrl;
    for (qsizetype i = 1; i < argumentos.size() && o.strError.isEmpty(); ++i) {
        bool bFalta = false;
        if (bfntOpcion(argumentos, i, kRemoto, &strUrl, &bFalta)) {
            o.bRemoto = true;
        } else if (!bfntOpcion(argumentos, i, kToken, &o.strArchivoToken, &bFalta)) {
            continue;
        }
        if (bFalta) {
            o.strError =
                QStringLiteral("%1 needs a value").arg(argumentos.at(i).section(u'=', 0, 0));
        }
    }
    if (!o.strError.isEmpty()) {
        return o;
    }
    if (!o.bRemoto) {
        if (!o.strArchivoToken.isEmpty()) {
            o.strError = QStringLiteral("--token-file is for --remote only");
        }
        return o;
    }
    o.urlServicio = QUrl(strUrl, QUrl::StrictMode);
    QString strMotivo;
    if (urlfntAlimentacion(o.urlServicio, &strMotivo).isEmpty()) {
        o.strError = QStringLiteral("--remote %1: %2").arg(strUrl, strMotivo);
    }
    return o;
}

QUrl clsOpcionesRemoto::urlfntAlimentacion(const QUrl& urlServicio, QString* strError) {
    const QString strEsquema = urlServicio.scheme();
    QString strMotivo;
    if (!urlServicio.isValid() || (strEsquema != u"http" && strEsquema != u"https")) {
        strMotivo = QStringLiteral("not an http:// or https:// address");
    } else if (urlServicio.host().isEmpty()) {
        strMotivo = QStringLiteral("no host");
    } else if (!urlServicio.userInfo().isEmpty()) {
        strMotivo = QStringLiteral("a user or password belongs in --token-file, not the address");
    } else if (urlServicio.hasQuery() || urlServicio.hasFragment()) {
        strMotivo = QStringLiteral("a query or fragment is not part of a service's address");
    }
    if (!strMotivo.isEmpty()) {
        if (strError) {
            *strError = strMotivo;
        }
        return {};
    }
    QUrl url = urlServicio;
    url.setScheme(strEsquema == u"https" ? QStringLiteral("wss") : QStringLiteral("ws"));
    QString strRuta = url.path();
    while (strRuta.endsWith(u'/')) {
        strRuta.chop(1);
    }
    url.setPath(strRuta + QStringLiteral("/api/live"));
    return url;
}

bool clsOpcionesRemoto::bfntLeeToken(const QString& strArchivo, QByteArray* bytToken,
                                     QString* strError) {
    QFile archivo(strArchivo);
    QString strMotivo;
    if (!archivo.open(QIODevice::ReadOnly)) {
        strMotivo = QStringLiteral("cannot read the token file %1: %2")
                        .arg(strArchivo, archivo.errorString());
    } else {
        const QByteArray bytContenido = archivo.read(iTOKEN_MAXIMO + 1);
        const qsizetype iFin = bytContenido.indexOf('\n');
        const QByteArray bytLinea = (iFin < 0 ? bytContenido : bytContenido.first(iFin)).trimmed();
        if (bytContenido.size() > iTOKEN_MAXIMO) {
            strMotivo = QStringLiteral("the token file %1 is larger than %2 bytes")
                            .arg(strArchivo)
                            .arg(iTOKEN_MAXIMO);
        } else if (bytLinea.isEmpty()) {
            strMotivo = QStringLiteral("the token file %1 holds no token").arg(strArchivo);
        } else if (!bfntImprimible(bytLinea)) {
            // It goes into a request header as it is: nothing there may break the line.
            strMotivo = QStringLiteral("the token in %1 holds spaces or control characters")
                            .arg(strArchivo);
        } else {
            *bytToken = bytLinea;
            return true;
        }
    }
    if (strError) {
        *strError = strMotivo;
    }
    return false;
}
