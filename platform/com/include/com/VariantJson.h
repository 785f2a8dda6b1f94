#pragma once

#include "com/Variant.h"

#include <QJsonValue>
#include <QString>

namespace com {

// An automation value as JSON: numbers, booleans and strings as themselves; NaN and the
// infinities, which JSON has no number for, as their text; anything else as null.
QJsonValue toJson(const Variant& v);

// One JSON value as compact text (a lone value, not a document).
QString jsonText(const QJsonValue& v);

} // namespace com
