// A page's picture in the formats it leaves the program in.
#pragma once

#include "lum/LumTypes.h"

#include <QByteArray>

class QIODevice;
class QMimeData;

namespace lum {

class PageWidget;

class PageExport {
public:
    static QByteArray svg(PageWidget& page);
    /// Writes the picture in `type` (kMetafile*) to `device`; false for another type or a
    /// failed write.
    static bool write(PageWidget& page, int type, QIODevice& device);
    /// Everything the clipboard gets: image, PNG, bitmap and SVG.
    static QMimeData* mimeData(PageWidget& page);
};

} // namespace lum
