#include "modRecursos.h"

#include <QFile>

// Registers the resources of this static library once, whoever asks first.
static void subRegistraRecursos() {
    static const bool bHecho = [] {
        Q_INIT_RESOURCE(ventanas);
        return true;
    }();
    Q_UNUSED(bHecho);
}

namespace modRecursos {

QByteArray bytfntDiseno(const QString& strNombre) {
    subRegistraRecursos();
    QFile archivo(QStringLiteral(":/ventanas/") + strNombre);
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    return archivo.readAll();
}

} // namespace modRecursos
