#pragma once

class QCoreApplication;

// The program speaks Spanish: its own texts are written so, and Qt's standard texts (the
// buttons of message boxes, the print and file dialogs) come from Qt's Spanish translation.
namespace modIdioma {

// Installs Qt's Spanish translation ("qtbase_es" in Qt's translations folder) on `app`, which
// keeps it. Returns false, changing nothing, when the translation is not installed; Qt's
// texts then stay in English.
bool bfntCargaTraduccionesQt(QCoreApplication& app);

} // namespace modIdioma
