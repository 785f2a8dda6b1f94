#include "lum/Dib.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace lum {

namespace {

// Bitmaps wider or taller than this are refused, as the library refuses such pages.
constexpr qint64 kMaxSide = 32767;
// More used colours than this is not a colour table but garbage.
constexpr quint32 kMaxUsedColors = 0x10000;
constexpr quint32 kUncompressed = 0;

template <class T>
T readLe(QByteArrayView bytes, qsizetype at) {
    T v;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return qFromLittleEndian(v);
}

template <class T>
void writeLe(QByteArray& bytes, T v) {
    const T le = qToLittleEndian(v);
    bytes.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// What a header says, read with every field checked against the bytes there are.
struct Header {
    int size = 0;
    qint64 width = 0;
    qint64 height = 0; // negative: top row first
    int planes = 0;
    int bitCount = 0;
    quint32 compression = kUncompressed;
    quint32 usedColors = 0;
};

bool readHeader(QByteArrayView bytes, Header& h) {
    if (bytes.size() < 4)
        return false;
    const quint32 size = readLe<quint32>(bytes, 0);
    if (size == quint32(Dib::kInfoHeaderSize) && bytes.size() >= Dib::kInfoHeaderSize) {
        h.size = Dib::kInfoHeaderSize;
        h.width = readLe<qint32>(bytes, 4);
        h.height = readLe<qint32>(bytes, 8);
        h.planes = readLe<quint16>(bytes, 12);
        h.bitCount = readLe<quint16>(bytes, 14);
        h.compression = readLe<quint32>(bytes, 16);
        h.usedColors = readLe<quint32>(bytes, 32);
        return true;
    }
    if (size == quint32(Dib::kCoreHeaderSize) && bytes.size() >= Dib::kCoreHeaderSize) {
        h.size = Dib::kCoreHeaderSize;
        h.width = readLe<quint16>(bytes, 4);
        h.height = readLe<quint16>(bytes, 6);
        h.planes = readLe<quint16>(bytes, 8);
        h.bitCount = readLe<quint16>(bytes, 10);
        return true;
    }
    return false;
}

int colorsFor(const Header& h) {
    if (h.size == Dib::kInfoHeaderSize && h.usedColors != 0)
        return h.usedColors <= kMaxUsedColors ? int(h.usedColors) : -1;
    switch (h.bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

int entrySize(const Header& h) {
    return h.size == Dib::kInfoHeaderSize ? 4 : 3;
}

qint64 strideFor(qint64 width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

// The depth a picture is stored with.
int depthFor(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
        return 1;
    case QImage::Format_Indexed8:
        return image.colorCount() <= 16 ? 4 : 8;
    default:
        return 24;
    }
}

void appendIndexedRow(QByteArray& out, const QImage& image, int y, int depth) {
    const uchar* line = image.constScanLine(y);
    const qsizetype start = out.size();
    if (depth == 1) {
        out.append(reinterpret_cast<const char*>(line), (image.width() + 7) / 8);
    } else if (depth == 8) {
        out.append(reinterpret_cast<const char*>(line), image.width());
    } else {
        for (int x = 0; x < image.width(); x += 2) {
            const int hi = line[x] & 0x0F;
            const int lo = x + 1 < image.width() ? line[x + 1] & 0x0F : 0;
            out.append(char((hi << 4) | lo));
        }
    }
    out.append(QByteArray(strideFor(image.width(), depth) - (out.size() - start), '\0'));
}

QRgb pixelAt(const uchar* row, qint64 x, int bitCount, const QList<QRgb>& table) {
    auto indexed = [&table](int i) { return i < table.size() ? table[i] : qRgb(0, 0, 0); };
    switch (bitCount) {
    case 1:
        return indexed((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return indexed((row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F);
    case 8:
        return indexed(row[x]);
    case 24:
        return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
        return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

bool supportedDepth(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

} // namespace

int Dib::colorCount(QByteArrayView header) {
    Header h;
    return readHeader(header, h) ? colorsFor(h) : -1;
}

int Dib::colorTableSize(QByteArrayView header) {
    Header h;
    if (!readHeader(header, h) || colorsFor(h) < 0)
        return -1;
    return colorsFor(h) * entrySize(h);
}

int Dib::bitsOffset(QByteArrayView header) {
    const int table = colorTableSize(header);
    return table < 0 ? -1 : readLe<quint32>(header, 0) + table;
}

QList<QRgb> Dib::palette(QByteArrayView dib) {
    Header h;
    const int offset = bitsOffset(dib);
    if (!readHeader(dib, h) || offset < 0 || offset > dib.size())
        return {};
    QList<QRgb> entries;
    const int step = entrySize(h);
    for (qsizetype at = h.size; at + step <= offset; at += step) {
        const auto* e = reinterpret_cast<const uchar*>(dib.data() + at);
        entries.append(qRgb(e[2], e[1], e[0]));
    }
    return entries;
}

QByteArray Dib::fromImage(const QImage& image, const QList<QRgb>& palette) {
    if (image.isNull())
        return {};
    const int depth = depthFor(image);
    const QList<QRgb> table = depth == 24         ? QList<QRgb>()
                              : palette.isEmpty() ? image.colorTable()
                                                  : palette;
    const QImage pixels = depth == 24 ? image.convertToFormat(QImage::Format_BGR888) : image;
    const qint64 stride = strideFor(image.width(), depth);
    QByteArray out;
    out.reserve(kInfoHeaderSize + 4 * table.size() + stride * image.height());
    writeLe<quint32>(out, kInfoHeaderSize);
    writeLe<qint32>(out, image.width());
    writeLe<qint32>(out, image.height());
    writeLe<quint16>(out, 1);
    writeLe<quint16>(out, quint16(depth));
    writeLe<quint32>(out, kUncompressed);
    writeLe<quint32>(out, quint32(stride * image.height()));
    writeLe<qint32>(out, image.dotsPerMeterX());
    writeLe<qint32>(out, image.dotsPerMeterY());
    writeLe<quint32>(out, quint32(table.size()));
    writeLe<quint32>(out, 0);
    for (QRgb c : table) {
        const char entry[4] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), 0};
        out.append(entry, 4);
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        if (depth != 24) {
            appendIndexedRow(out, pixels, y, depth);
            continue;
        }
        out.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), 3 * image.width());
        out.append(QByteArray(stride - 3 * image.width(), '\0'));
    }
    return out;
}

QImage Dib::toImage(QByteArrayView dib) {
    Header h;
    const int offset = bitsOffset(dib);
    if (!readHeader(dib, h) || offset < 0 || h.planes != 1 || !supportedDepth(h.bitCount) ||
        h.compression != kUncompressed)
        return {};
    const qint64 height = h.height < 0 ? -h.height : h.height;
    if (h.width <= 0 || h.width > kMaxSide || height == 0 || height > kMaxSide)
        return {};
    const qint64 stride = strideFor(h.width, h.bitCount);
    if (offset + stride * height > dib.size())
        return {};
    const QList<QRgb> table = palette(dib);
    QImage image(int(h.width), int(height), QImage::Format_RGB32);
    for (qint64 row = 0; row < height; ++row) {
        const auto* bits = reinterpret_cast<const uchar*>(dib.data() + offset + row * stride);
        const int y = int(h.height < 0 ? row : height - 1 - row);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qint64 x = 0; x < h.width; ++x)
            line[x] = pixelAt(bits, x, h.bitCount, table);
    }
    return image;
}

QByteArray Dib::bmpFile(const QByteArray& dib) {
    constexpr int kFileHeaderSize = 14;
    const int offset = bitsOffset(dib);
    if (offset < 0)
        return {};
    QByteArray out("BM");
    writeLe<quint32>(out, quint32(kFileHeaderSize + dib.size()));
    writeLe<quint32>(out, 0);
    writeLe<quint32>(out, quint32(kFileHeaderSize + offset));
    return out + dib;
}

} // namespace lum
