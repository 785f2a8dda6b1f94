#include "ImageCompare.h"

#include <QImage>

#include <cstdlib>

namespace testsupport {

double differingShare(const QImage& a, const QImage& b, int channelTolerance) {
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    const auto near = [channelTolerance](int u, int v) {
        return std::abs(u - v) <= channelTolerance;
    };
    qint64 different = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const bool same = near(qRed(p[col]), qRed(q[col])) &&
                              near(qGreen(p[col]), qGreen(q[col])) &&
                              near(qBlue(p[col]), qBlue(q[col]));
            different += same ? 0 : 1;
        }
    }
    return static_cast<double>(different) / (static_cast<double>(x.width()) * x.height());
}

int darkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 96;
    return dark;
}

} // namespace testsupport
