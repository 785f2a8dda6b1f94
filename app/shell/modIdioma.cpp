#include "modIdioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace modIdioma {

bool bfntCargaTraduccionesQt(QCoreApplication& app) {
    auto* traductor = new QTranslator(&app);
    if (!traductor->load(QStringLiteral("qtbase_es"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traductor;
        return false;
    }
    QCoreApplication::installTranslator(traductor);
    return true;
}

} // namespace modIdioma
