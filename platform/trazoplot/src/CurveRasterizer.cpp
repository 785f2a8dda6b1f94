#include "CurveRasterizer.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace trazoplot {

namespace {

enum Cap { kCapBegin = 1, kCapEnd = 2 };

int swapCaps(int caps) {
    return ((caps & kCapBegin) << 1) | ((caps & kCapEnd) >> 1);
}

// Coordinates in 26.6 fixed point, truncated as the painter does.
int fixed26(double v) {
    return static_cast<int>(v * 64.0);
}

// a / b in 16.16 fixed point.
int divide16(int a, int b) {
    if (a == 0)
        return 0;
    // The narrow division is much cheaper, and most strokes are short.
    if (std::abs(a) <= 0x7fff)
        return (a * 65536) / b;
    return static_cast<int>((std::int64_t(a) * 65536) / b);
}

// Each 8-bit channel of `x` times `a` / 255, rounded.
std::uint32_t byteMul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t t = (x & 0xff00ffu) * a;
    t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    std::uint32_t u = ((x >> 8) & 0xff00ffu) * a;
    u = (u + ((u >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return u | t;
}

// Moves the ends of a segment onto the band around the device that lines are clipped to, as
// the painter does: a line is rasterised alike whatever part of the device is being painted.
bool clipToBand(const QRect& device, double& x1, double& y1, double& x2, double& y2) {
    const double xmin = device.left() - 1;
    const double xmax = device.right() + 2;
    const double ymin = device.top() - 1;
    const double ymax = device.bottom() + 2;
    if (x1 < xmin) {
        if (x2 <= xmin)
            return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmin - x1);
        x1 = xmin;
    } else if (x1 > xmax) {
        if (x2 >= xmax)
            return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < xmin) {
        y2 += (y2 - y1) / (x2 - x1) * (xmin - x2);
        x2 = xmin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < ymin) {
        if (y2 <= ymin)
            return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymin - y1);
        y1 = ymin;
    } else if (y1 > ymax) {
        if (y2 >= ymax)
            return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < ymin) {
        x2 += (x2 - x1) / (y2 - y1) * (ymin - y2);
        y2 = ymin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }
    return true;
}

// Two strokes over one pixel cover it as the painter's two blends would: a + b - ab.
inline void addCoverage(std::uint8_t& c, int coverage) {
    const int both = c * coverage + 128;
    c = static_cast<std::uint8_t>(c + coverage - ((both + (both >> 8)) >> 8));
}

} // namespace

std::optional<CurveRasterizer::Target> CurveRasterizer::target(QPainter& p) {
    QPaintEngine* engine = p.paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster)
        return std::nullopt;
    QPaintDevice* device = engine->paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image)
        return std::nullopt;
    const auto* image = static_cast<const QImage*>(device);
    if (image->format() != QImage::Format_ARGB32_Premultiplied &&
        image->format() != QImage::Format_RGB32)
        return std::nullopt;
    if (p.compositionMode() != QPainter::CompositionMode_SourceOver || p.opacity() != 1.0)
        return std::nullopt;
    const QTransform m = p.deviceTransform();
    if (m.type() > QTransform::TxTranslate || m.dx() != std::round(m.dx()) ||
        m.dy() != std::round(m.dy()))
        return std::nullopt;
    Target t;
    t.offset = QPoint(int(m.dx()), int(m.dy()));
    t.device = image->rect();
    t.clip = t.device;
    if (p.hasClipping()) {
        const QRegion clip = p.clipRegion();
        if (clip.rectCount() != 1)
            return std::nullopt;
        t.clip &= clip.boundingRect().translated(t.offset);
    }
    const QRegion system = engine->systemClip();
    if (!system.isEmpty()) {
        if (system.rectCount() != 1)
            return std::nullopt;
        t.clip &= system.boundingRect();
    }
    // The painter may still be writing to the image; its pixels are the ones it writes.
    t.pixels = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image->constBits()));
    t.pixelsPerLine = image->bytesPerLine() / 4;
    return t;
}

void CurveRasterizer::drawPolyline(const Target& t, const QPointF* points, int count,
                                   const QColor& color) {
    if (count < 2 || t.clip.isEmpty())
        return;
    if (m_clip != t.clip) {
        m_clip = t.clip;
        m_coverage.assign(std::size_t(m_clip.width()) * std::size_t(m_clip.height()), 0);
        m_first.assign(std::size_t(m_clip.width()), m_clip.height());
        m_last.assign(std::size_t(m_clip.width()), -1);
    }
    const QPointF offset(t.offset);
    // A polyline that comes back to its start is closed, and a closed one has no caps.
    const bool closed = points[0] == points[count - 1];
    for (int i = 1; i < count; ++i) {
        int caps = 0;
        if (!closed && i == 1)
            caps |= kCapBegin;
        if (!closed && i == count - 1)
            caps |= kCapEnd;
        segment(t, points[i - 1] + offset, points[i] + offset, caps);
    }
    flush(t, qPremultiply(color.rgba()));
}

void CurveRasterizer::cover(int x, int y, int coverage) {
    coverRun(x, y, y, coverage);
}

void CurveRasterizer::coverRun(int x, int y0, int y1, int coverage) {
    if (coverage <= 0 || x < m_clip.left() || x > m_clip.right())
        return;
    const int first = std::max(y0, m_clip.top()) - m_clip.top();
    const int last = std::min(y1, m_clip.bottom()) - m_clip.top();
    if (first > last)
        return;
    const auto column = std::size_t(x - m_clip.left());
    std::uint8_t* c = m_coverage.data() + column * std::size_t(m_clip.height());
    for (int row = first; row <= last; ++row)
        addCoverage(c[row], coverage);
    m_first[column] = std::min(m_first[column], first);
    m_last[column] = std::max(m_last[column], last);
}

// One stroke with an antialiased one-pixel pen: along its longer axis every pixel row (or
// column) gets two pixels whose coverages share the distance to the line, the end pixels
// scaled by how much of them the stroke reaches; a cap lengthens the stroke by half a pixel.
void CurveRasterizer::segment(const Target& t, QPointF a, QPointF b, int caps) {
    double rx1 = a.x(), ry1 = a.y(), rx2 = b.x(), ry2 = b.y();
    if (!clipToBand(t.device, rx1, ry1, rx2, ry2))
        return;
    int x1 = fixed26(rx1), y1 = fixed26(ry1), x2 = fixed26(rx2), y2 = fixed26(ry2);
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const bool steep = std::abs(dx) < std::abs(dy);
    if (!steep && dx == 0)
        return;
    // Along the major axis `m`, across it `n`; written for the steep case, mirrored otherwise.
    int m1 = steep ? y1 : x1, m2 = steep ? y2 : x2;
    int n1 = steep ? x1 : y1;
    int n2 = steep ? x2 : y2;
    const int inc = steep ? divide16(dx, dy) : divide16(dy, dx);
    if (m1 > m2) {
        std::swap(m1, m2);
        std::swap(n1, n2);
        caps = swapCaps(caps);
    }
    int n = (n1 - 32) * 1024;
    n -= (((m1 & 63) - 32) * inc) >> 6;
    if (caps & kCapBegin) {
        m1 -= 32;
        n -= inc >> 1;
    }
    if (caps & kCapEnd)
        m2 += 32;
    int m = m1 >> 6;
    const int ms = m2 >> 6;
    int alphaStart = 0;
    int alphaEnd = 0;
    if (m == ms) {
        alphaStart = m2 - m1;
    } else {
        alphaStart = 64 - (m1 & 63);
        alphaEnd = m2 & 63;
    }
    if (steep && inc == 0) {
        // Upright: the same two columns on every row, laid as runs.
        const int alpha = (n >> 8) & 0xff;
        const int across = n >> 16;
        cover(across, m, ((255 - alpha) * alphaStart) >> 6);
        cover(across + 1, m, (alpha * alphaStart) >> 6);
        coverRun(across, m + 1, ms - 1, 255 - alpha);
        coverRun(across + 1, m + 1, ms - 1, alpha);
        if (alphaEnd != 0 && ms > m) {
            cover(across, ms, ((255 - alpha) * alphaEnd) >> 6);
            cover(across + 1, ms, (alpha * alphaEnd) >> 6);
        }
        return;
    }
    if (steep) {
        steepStroke(n, inc, m, ms, alphaStart, alphaEnd);
        return;
    }
    const auto pair = [&](int scale) {
        const int alpha = (n >> 8) & 0xff;
        const int across = n >> 16;
        cover(m, across, ((255 - alpha) * scale) >> 6);
        cover(m, across + 1, (alpha * scale) >> 6);
    };
    pair(alphaStart);
    n += inc;
    for (++m; m < ms; ++m) {
        pair(64);
        n += inc;
    }
    if (alphaEnd != 0)
        pair(alphaEnd);
}

void CurveRasterizer::steepStroke(int n, int inc, int row, int rowEnd, int alphaStart,
                                  int alphaEnd) {
    const int lastRow = row == rowEnd ? row : (alphaEnd != 0 ? rowEnd : rowEnd - 1);
    const int top = std::max(row, m_clip.top());
    const int bottom = std::min(lastRow, m_clip.bottom());
    if (top > bottom)
        return;
    // The stroke's columns lie between those of its end rows; all of them are flushed over
    // its rows.
    const int a = n >> 16;
    const int b = (n + (lastRow - row) * inc) >> 16;
    const int left = std::max(std::min(a, b), m_clip.left());
    const int right = std::min(std::max(a, b) + 1, m_clip.right());
    if (left > right)
        return;
    for (int x = left; x <= right; ++x) {
        const auto column = std::size_t(x - m_clip.left());
        m_first[column] = std::min(m_first[column], top - m_clip.top());
        m_last[column] = std::max(m_last[column], bottom - m_clip.top());
    }
    const auto height = std::size_t(m_clip.height());
    for (int y = row; y <= lastRow; ++y, n += inc) {
        if (y < top || y > bottom)
            continue;
        const int scale = y == row ? alphaStart : (y == rowEnd ? alphaEnd : 64);
        const int alpha = (n >> 8) & 0xff;
        const int across = n >> 16;
        const auto r = std::size_t(y - m_clip.top());
        if (across >= left && across <= right)
            addCoverage(m_coverage[std::size_t(across - m_clip.left()) * height + r],
                        ((255 - alpha) * scale) >> 6);
        if (across + 1 >= left && across + 1 <= right)
            addCoverage(m_coverage[std::size_t(across + 1 - m_clip.left()) * height + r],
                        (alpha * scale) >> 6);
    }
}

void CurveRasterizer::flush(const Target& t, std::uint32_t color) {
    const int height = m_clip.height();
    const bool opaque = qAlpha(color) == 255;
    for (int column = 0; column < m_clip.width(); ++column) {
        const int first = m_first[std::size_t(column)];
        const int last = m_last[std::size_t(column)];
        if (first > last)
            continue;
        std::uint8_t* c = m_coverage.data() + std::size_t(column) * std::size_t(height);
        std::uint32_t* pixel =
            t.pixels + qsizetype(m_clip.top() + first) * t.pixelsPerLine + m_clip.left() + column;
        for (int row = first; row <= last; ++row, pixel += t.pixelsPerLine) {
            const std::uint32_t a = c[row];
            if (a == 0)
                continue;
            c[row] = 0;
            if (a == 255 && opaque) {
                *pixel = color;
            } else {
                const std::uint32_t s = byteMul(color, a);
                *pixel = s + byteMul(*pixel, 255 - qAlpha(s));
            }
        }
        m_first[std::size_t(column)] = height;
        m_last[std::size_t(column)] = -1;
    }
}

} // namespace trazoplot
