#include "MeterPictureFile.h"
#include "MeterPictureTypes.h"

#include <forms/CommonDialog.h>
#include <lum/LumTypes.h>

// The types containers are told are the drawing library's own.
static_assert(gaugekit::picture::kSvg == lum::kMetafileSvg &&
              gaugekit::picture::kPdf == lum::kMetafilePdf &&
              gaugekit::picture::kPng == lum::kMetafilePng);

namespace gaugekit {

QString MeterPictureFile::filter(int metafileType) {
    switch (metafileType) {
    case lum::kMetafileSvg:
        return QStringLiteral("SVG Files|*.svg");
    case lum::kMetafilePdf:
        return QStringLiteral("PDF Files|*.pdf");
    case lum::kMetafilePng:
        return QStringLiteral("PNG Files|*.png");
    default:
        return {};
    }
}

std::optional<QString> MeterPictureFile::ask(int metafileType, QWidget* parent) {
    const QString types = filter(metafileType);
    if (types.isEmpty())
        return std::nullopt;
    forms::FileRequest request;
    request.save = true;
    request.title = QStringLiteral("Save Meter Picture");
    request.filter = types;
    auto chosen = forms::CommonDialog::chooseFile(request, parent);
    if (chosen && chosen->isEmpty())
        return std::nullopt;
    return chosen;
}

} // namespace gaugekit
