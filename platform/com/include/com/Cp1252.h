#pragma once

#include <QByteArray>
#include <QString>

namespace com {

// The 8-bit Western character set used in persisted strings.
namespace cp1252 {

// Encodes `text`; every character the set cannot hold becomes '?'.
QByteArray encode(const QString& text);
// Decodes bytes; the five unassigned codes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control
// characters of the same value, so any byte string round-trips.
QString decode(const QByteArray& bytes);
// The character for one byte.
char16_t toUnicode(unsigned char byte);

} // namespace cp1252
} // namespace com
