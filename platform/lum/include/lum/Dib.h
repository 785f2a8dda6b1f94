// Device-independent bitmaps in memory: a header (the 40-byte information header or the older
// 12-byte core header), a colour table and the pixel rows, bottom row first, each row padded
// to four bytes. Everything read from a bitmap is bounds-checked; a malformed one yields none.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QRgb>

namespace lum {

class Dib {
public:
    static constexpr int kInfoHeaderSize = 40;
    static constexpr int kCoreHeaderSize = 12;

    /// Colours in the table: for a 40-byte header with a nonzero used-colours field, that
    /// field; otherwise 2, 16 or 256 for 1, 4 or 8 bits per pixel, and 0 for any other depth.
    /// -1 when the header is too short or of an unknown size.
    static int colorCount(QByteArrayView header);
    /// Bytes of the colour table: the colour count times 4 (40-byte header) or 3 (12-byte).
    static int colorTableSize(QByteArrayView header);
    /// Where the pixel bits start: after the header and the colour table.
    static int bitsOffset(QByteArrayView header);
    /// One entry per colour table entry (none for a true-colour bitmap or a malformed one).
    static QList<QRgb> palette(QByteArrayView dib);

    /// The picture as a bitmap with a 40-byte header, uncompressed. An indexed picture keeps
    /// its depth (1 or 8 bits; 4 when it has at most 16 colours) and colour table, every other
    /// one becomes 24 bits. `palette` replaces the picture's colour table for indexed ones.
    /// Empty for a null picture.
    static QByteArray fromImage(const QImage& image, const QList<QRgb>& palette = {});
    /// The picture a bitmap holds (1, 4, 8, 24 or 32 bits per pixel, uncompressed, either
    /// header, bottom-up or, with a 40-byte header, top-down). Null when it is malformed.
    static QImage toImage(QByteArrayView dib);
    /// A .bmp file: the 14-byte file header and the bitmap.
    static QByteArray bmpFile(const QByteArray& dib);
};

} // namespace lum
