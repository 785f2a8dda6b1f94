// The picture types the meter's SavePageMeta writes, and the type a file name's extension
// asks for; for containers and tools that reach the meter only through its dispatch.
#pragma once

#include <QFileInfo>
#include <QString>

#include <cstdint>

namespace gaugekit::picture {

inline constexpr std::int32_t kSvg = 1;
inline constexpr std::int32_t kPdf = 2;
inline constexpr std::int32_t kPng = 3;

// The type for ".svg", ".pdf" or ".png" (any case); 0 for any other name.
inline std::int32_t typeOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return kSvg;
    if (suffix == QLatin1String("pdf"))
        return kPdf;
    return suffix == QLatin1String("png") ? kPng : 0;
}

} // namespace gaugekit::picture
