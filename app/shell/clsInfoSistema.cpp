#include "clsInfoSistema.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString strfntRaiz(quint32 KeyRoot) {
    switch (KeyRoot) {
    case clsInfoSistema::HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case clsInfoSistema::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case clsInfoSistema::HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case clsInfoSistema::HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    default:
        return {};
    }
}

} // namespace

clsInfoSistema::clsInfoSistema(com::Registry registro)
    : m_registro(std::move(registro)) {}

bool clsInfoSistema::GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                                 QString& KeyVal) const {
    const QString strRaiz = strfntRaiz(KeyRoot);
    QVariant valor;
    if (strRaiz.isEmpty() || KeyName.isEmpty() ||
        com::failed(m_registro.value(strRaiz + u'\\' + KeyName, SubKeyRef, &valor))) {
        KeyVal.clear();
        return false;
    }
    if (valor.typeId() == QMetaType::QString) {
        QString strValor = valor.toString();
        if (strValor.size() > iTAMANO_BUFFER) {
            KeyVal.clear();
            return false;
        }
        if (strValor.endsWith(QChar(u'\0'))) {
            strValor.chop(1);
        }
        KeyVal = strValor;
    } else if (valor.typeId() == QMetaType::UInt) {
        KeyVal = QStringLiteral("&h") + QString::number(valor.toUInt(), 16).toUpper();
    }
    return true;
}

QString clsInfoSistema::strfntRutaHerramienta() const {
    QString strRuta;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, gREGKEYSYSINFO, gREGVALSYSINFO, strRuta)) {
        return strRuta; // an empty path then fails to start, like any other bad one
    }
    QString strCarpeta;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, gREGKEYSYSINFOLOC, gREGVALSYSINFOLOC, strCarpeta) &&
        !strCarpeta.isEmpty()) {
        const QString strPrograma = QDir(strCarpeta).filePath(strPROGRAMA);
        if (QFileInfo(strPrograma).isFile()) {
            return strPrograma;
        }
    }
    return {};
}

com::HRESULT clsInfoSistema::hrRegistraHerramienta(const QString& strRuta) {
    return m_registro.setValue(QStringLiteral("HKEY_LOCAL_MACHINE\\") + gREGKEYSYSINFO,
                               gREGVALSYSINFO, strRuta);
}

QString clsInfoSistema::strfntBuscaHerramienta(const QStringList& strlCandidatos) {
    for (const QString& strNombre : strlCandidatos) {
        const QString strRuta = QStandardPaths::findExecutable(strNombre);
        if (!strRuta.isEmpty()) {
            return strRuta;
        }
    }
    return {};
}
