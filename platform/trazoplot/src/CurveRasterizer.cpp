#include "CurveRasterizer.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <cstring>
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

// Moves the ends of a segment into [lo, hi] along one axis (a), sliding the other coordinate
// (b) along the segment; false when the whole segment lies outside.
bool clipAxis(double lo, double hi, double& a1, double& b1, double& a2, double& b2) {
    if (a1 < lo) {
        if (a2 <= lo) {
            return false;
        }
        b1 += (b2 - b1) / (a2 - a1) * (lo - a1);
        a1 = lo;
    } else if (a1 > hi) {
        if (a2 >= hi) {
            return false;
        }
        b1 += (b2 - b1) / (a2 - a1) * (hi - a1);
        a1 = hi;
    }
    if (a2 < lo) {
        b2 += (b2 - b1) / (a2 - a1) * (lo - a2);
        a2 = lo;
    } else if (a2 > hi) {
        b2 += (b2 - b1) / (a2 - a1) * (hi - a2);
        a2 = hi;
    }
    return true;
}

// Moves the ends of a segment onto the band around the device that lines are clipped to, as
// the painter does: a line is rasterised alike whatever part of the device is being painted.
bool clipToBand(const QRect& device, double& x1, double& y1, double& x2, double& y2) {
    return clipAxis(device.left() - 1, device.right() + 2, x1, y1, x2, y2) &&
           clipAxis(device.top() - 1, device.bottom() + 2, y1, x1, y2, x2);
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
        m_coverage.assign(std::size_t(kWindow) * std::size_t(m_clip.height()), 0);
        m_first.assign(std::size_t(kWindow), m_clip.height());
        m_last.assign(std::size_t(kWindow), -1);
    }
    m_target = &t;
    m_color = qPremultiply(color.rgba());
    m_low = m_clip.left();
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
    flushColumns(m_low, m_low + kWindow - 1);
    m_target = nullptr;
}

void CurveRasterizer::cover(int x, int y, int coverage) {
    coverColumn(x, y, y, coverage, 0, 0);
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
        // Upright: the same two columns on every row.
        const int alpha = (n >> 8) & 0xff;
        const int across = n >> 16;
        const int end = m == ms ? m : ms;
        coverColumn(across, m, end, ((255 - alpha) * alphaStart) >> 6, 255 - alpha,
                    ((255 - alpha) * alphaEnd) >> 6);
        coverColumn(across + 1, m, end, (alpha * alphaStart) >> 6, alpha, (alpha * alphaEnd) >> 6);
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

void CurveRasterizer::coverColumn(int x, int row, int rowEnd, int start, int middle, int end) {
    if (x < m_clip.left() || x > m_clip.right() || (start | middle | end) == 0)
        return;
    const int top = m_clip.top();
    const int first = std::max(row, top);
    const int last = std::min(rowEnd, m_clip.bottom());
    if (first > last)
        return;
    std::uint8_t* c = column(x, first - top, last - top);
    if (row == first)
        addCoverage(c[row - top], start);
    const int from = std::max(row + 1, first);
    const int to = std::min(rowEnd - 1, last);
    if (middle == 255 && to >= from) {
        // Full coverage stays full whatever lay there: the inside of a crisp column.
        std::memset(c + (from - top), 255, std::size_t(to - from + 1));
    } else {
        for (int y = from; y <= to; ++y)
            addCoverage(c[y - top], middle);
    }
    if (rowEnd > row && rowEnd == last)
        addCoverage(c[rowEnd - top], end);
}

void CurveRasterizer::steepStroke(int n, int inc, int row, int rowEnd, int alphaStart,
                                  int alphaEnd) {
    const int lastRow = row == rowEnd ? row : (alphaEnd != 0 ? rowEnd : rowEnd - 1);
    const int top = std::max(row, m_clip.top());
    const int bottom = std::min(lastRow, m_clip.bottom());
    if (top > bottom)
        return;
    // The stroke's columns lie between those of its end rows; while they fit in the window
    // they are taken in once, over all its rows, and written without further checks.
    const int a = n >> 16;
    const int b = (n + (lastRow - row) * inc) >> 16;
    const int left = std::max(std::min(a, b), m_clip.left());
    const int right = std::min(std::max(a, b) + 1, m_clip.right());
    if (left > right)
        return;
    const bool held = right - left < kWindow;
    if (held)
        for (int x = left; x <= right; ++x)
            column(x, top - m_clip.top(), bottom - m_clip.top());
    const auto height = std::size_t(m_clip.height());
    const auto at = [&](int x, int y) -> std::uint8_t& {
        const int r = y - m_clip.top();
        if (!held)
            return column(x, r, r)[r];
        return m_coverage[std::size_t((x - m_clip.left()) & (kWindow - 1)) * height +
                          std::size_t(r)];
    };
    for (int y = row; y <= lastRow; ++y, n += inc) {
        if (y < top || y > bottom)
            continue;
        const int scale = y == row ? alphaStart : (y == rowEnd ? alphaEnd : 64);
        const int alpha = (n >> 8) & 0xff;
        const int across = n >> 16;
        if (across >= left && across <= right)
            addCoverage(at(across, y), ((255 - alpha) * scale) >> 6);
        if (across + 1 >= left && across + 1 <= right)
            addCoverage(at(across + 1, y), (alpha * scale) >> 6);
    }
}

void CurveRasterizer::moveWindow(int x) {
    if (x >= m_low + kWindow) {
        flushColumns(m_low, x - kWindow);
        m_low = x - kWindow + 1;
    } else {
        // Only a polyline that turns back leftwards comes here: what it drew is blended now,
        // and the window starts again from this column.
        flushColumns(m_low, m_low + kWindow - 1);
        m_low = x;
    }
}

void CurveRasterizer::flushColumns(int from, int to) {
    const int last = std::min({to, from + kWindow - 1, m_clip.right()});
    for (int x = std::max(from, m_clip.left()); x <= last; ++x)
        flushColumn(x);
}

void CurveRasterizer::flushColumn(int x) {
    const auto slot = std::size_t((x - m_clip.left()) & (kWindow - 1));
    const int first = m_first[slot];
    const int last = m_last[slot];
    if (first > last)
        return;
    const Target& t = *m_target;
    const bool opaque = qAlpha(m_color) == 255;
    std::uint8_t* c = m_coverage.data() + slot * std::size_t(m_clip.height());
    std::uint32_t* pixel = t.pixels + qsizetype(m_clip.top() + first) * t.pixelsPerLine + x;
    for (int row = first; row <= last; ++row, pixel += t.pixelsPerLine) {
        const std::uint32_t a = c[row];
        if (a == 0)
            continue;
        c[row] = 0;
        if (a == 255 && opaque) {
            *pixel = m_color;
        } else {
            const std::uint32_t s = byteMul(m_color, a);
            *pixel = s + byteMul(*pixel, 255 - qAlpha(s));
        }
    }
    m_first[slot] = m_clip.height();
    m_last[slot] = -1;
}

} // namespace trazoplot
