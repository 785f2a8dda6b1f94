#include "FontSpec.h"

#include "lum/LumBase.h"

#include "forms/FaceSubstitutes.h"

#include <algorithm>
#include <cmath>

namespace lum {

QFont FontSpec::toFont() const {
    return toFont(points * 96.0 / 72.0);
}

QFont FontSpec::toFont(double pixelSize) const {
    forms::installFaceSubstitutes();
    QFont font(face.isEmpty() ? QStringLiteral("Arial") : face);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setWeight((styleBits & kFontBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(styleBits & kFontItalic);
    font.setUnderline(styleBits & kFontUnderline);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QColor FontSpec::qcolor() const {
    return drawingColor(color);
}

} // namespace lum
