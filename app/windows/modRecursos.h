#pragma once

#include <QByteArray>
#include <QString>

// The windows' design data kept in the program's resources.
namespace modRecursos {

// Bytes of the resource ":/ventanas/<strNombre>", or empty when there is none.
QByteArray bytfntDiseno(const QString& strNombre);

} // namespace modRecursos
