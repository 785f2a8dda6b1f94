// The picture formats SavePageMeta writes and the file-save dialog that asks for a name when
// none is given.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace gaugekit {

class MeterPictureFile {
public:
    // The file dialog's filter for a picture type ("SVG Files|*.svg" ...); empty for a type
    // that is not one.
    static QString filter(int metafileType);
    // Asks for a file name to save a picture of `metafileType` in; none when cancelled or when
    // the type is not one.
    static std::optional<QString> ask(int metafileType, QWidget* parent);
};

} // namespace gaugekit
