// Device-independent bitmaps: colour counts and tables of hand-made headers, pictures to
// bitmaps and back, malformed bitmaps refused.
#include "lum/Dib.h"

#include <QTest>
#include <QtEndian>

using lum::Dib;

namespace {

void put16(QByteArray& b, quint16 v) {
    const quint16 le = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&le), 2);
}

void put32(QByteArray& b, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&le), 4);
}

// A 40-byte information header.
QByteArray infoHeader(qint32 width, qint32 height, int bits, quint32 used = 0) {
    QByteArray b;
    put32(b, 40);
    put32(b, quint32(width));
    put32(b, quint32(height));
    put16(b, 1);
    put16(b, quint16(bits));
    put32(b, 0); // uncompressed
    put32(b, 0);
    put32(b, 3780);
    put32(b, 3780);
    put32(b, used);
    put32(b, 0);
    return b;
}

// A 12-byte core header.
QByteArray coreHeader(quint16 width, quint16 height, int bits) {
    QByteArray b;
    put32(b, 12);
    put16(b, width);
    put16(b, height);
    put16(b, 1);
    put16(b, quint16(bits));
    return b;
}

} // namespace

class TestLumDib : public QObject {
    Q_OBJECT
private slots:
    void headers_data();
    void headers();
    void paletteFromTheColourTable();
    void handMadeBitmapsRead_data();
    void handMadeBitmapsRead();
    void picturesRoundTrip_data();
    void picturesRoundTrip();
    void malformedBitmapsAreRefused_data();
    void malformedBitmapsAreRefused();
    void bmpFileHeader();
};

void TestLumDib::headers_data() {
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("colors");
    QTest::addColumn<int>("tableSize");
    QTest::addColumn<int>("bitsOffset");
    QTest::newRow("1 bit") << infoHeader(8, 8, 1) << 2 << 8 << 48;
    QTest::newRow("4 bits") << infoHeader(8, 8, 4) << 16 << 64 << 104;
    QTest::newRow("8 bits") << infoHeader(8, 8, 8) << 256 << 1024 << 1064;
    QTest::newRow("24 bits") << infoHeader(8, 8, 24) << 0 << 0 << 40;
    QTest::newRow("16 bits") << infoHeader(8, 8, 16) << 0 << 0 << 40;
    QTest::newRow("used colours") << infoHeader(8, 8, 8, 20) << 20 << 80 << 120;
    QTest::newRow("used colours of a true-colour bitmap")
        << infoHeader(8, 8, 24, 3) << 3 << 12 << 52;
    QTest::newRow("core 1 bit") << coreHeader(8, 8, 1) << 2 << 6 << 18;
    QTest::newRow("core 4 bits") << coreHeader(8, 8, 4) << 16 << 48 << 60;
    QTest::newRow("core 8 bits") << coreHeader(8, 8, 8) << 256 << 768 << 780;
    QTest::newRow("core 24 bits") << coreHeader(8, 8, 24) << 0 << 0 << 12;
    QTest::newRow("unknown header size") << QByteArray(40, '\x07') << -1 << -1 << -1;
    QTest::newRow("cut short") << infoHeader(8, 8, 8).left(20) << -1 << -1 << -1;
    QTest::newRow("absurd used colours") << infoHeader(8, 8, 8, 0xFFFFFFFF) << -1 << -1 << -1;
}

void TestLumDib::headers() {
    QFETCH(QByteArray, header);
    QFETCH(int, colors);
    QFETCH(int, tableSize);
    QFETCH(int, bitsOffset);
    QCOMPARE(Dib::colorCount(header), colors);
    QCOMPARE(Dib::colorTableSize(header), tableSize);
    QCOMPARE(Dib::bitsOffset(header), bitsOffset);
}

void TestLumDib::paletteFromTheColourTable() {
    QByteArray info = infoHeader(1, 1, 1);
    info += QByteArray::fromHex("0000ff00"
                                "00ff0000"); // red, green as blue-green-red-0
    QCOMPARE(Dib::palette(info), (QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0)}));
    QByteArray core = coreHeader(1, 1, 1);
    core += QByteArray::fromHex("ff0000"
                                "ffffff"); // blue, white
    QCOMPARE(Dib::palette(core), (QList<QRgb>{qRgb(0, 0, 255), qRgb(255, 255, 255)}));
    QVERIFY(Dib::palette(infoHeader(1, 1, 24)).isEmpty());
}

void TestLumDib::handMadeBitmapsRead_data() {
    QTest::addColumn<QByteArray>("dib");
    QTest::addColumn<QList<QRgb>>("pixels"); // top row first
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255), red = qRgb(255, 0, 0);
    const QByteArray bw = QByteArray::fromHex("00000000"
                                              "ffffff00");
    // 3 x 2, 1 bit: bottom row 1 0 1, top row 0 1 0; rows padded to four bytes.
    QTest::newRow("1 bit bottom-up") << infoHeader(3, 2, 1) + bw +
                                            QByteArray::fromHex("a0000000"
                                                                "40000000")
                                     << QList<QRgb>{black, white, black, white, black, white};
    QTest::newRow("1 bit top-down") << infoHeader(3, -2, 1) + bw +
                                           QByteArray::fromHex("a0000000"
                                                               "40000000")
                                    << QList<QRgb>{white, black, white, black, white, black};
    // 2 x 1, 4 bits, two used colours: index 1 then 0.
    QTest::newRow("4 bits used colours") << infoHeader(2, 1, 4, 2) +
                                                QByteArray::fromHex("0000ff00"
                                                                    "ffffff00") +
                                                QByteArray::fromHex("10000000")
                                         << QList<QRgb>{white, red};
    // 1 x 1, 8 bits.
    QByteArray table8 = QByteArray::fromHex("0000ff00") + QByteArray(255 * 4, '\0');
    QTest::newRow("8 bits") << infoHeader(1, 1, 8) + table8 + QByteArray::fromHex("00000000")
                            << QList<QRgb>{red};
    // 2 x 1, 24 bits: blue-green-red triples, row padded to 8 bytes.
    QTest::newRow("24 bits") << infoHeader(2, 1, 24) + QByteArray::fromHex("0000ffffffff0000")
                             << QList<QRgb>{red, white};
    QTest::newRow("core 1 bit") << coreHeader(2, 1, 1) + QByteArray::fromHex("000000ffffff") +
                                       QByteArray::fromHex("40000000")
                                << QList<QRgb>{black, white};
    QTest::newRow("core 24 bits") << coreHeader(1, 1, 24) + QByteArray::fromHex("0000ff00")
                                  << QList<QRgb>{red};
}

void TestLumDib::handMadeBitmapsRead() {
    QFETCH(QByteArray, dib);
    QFETCH(QList<QRgb>, pixels);
    const QImage image = Dib::toImage(dib);
    QVERIFY(!image.isNull());
    QCOMPARE(qsizetype(image.width()) * image.height(), pixels.size());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixel(x, y), pixels[y * image.width() + x]);
}

void TestLumDib::picturesRoundTrip_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<int>("bits");
    QImage colour(7, 5, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            colour.setPixel(x, y, qRgb(x * 30, y * 50, 200 - x * y));
    QTest::newRow("true colour") << colour << 24;
    QTest::newRow("256 colours") << colour.convertToFormat(QImage::Format_Indexed8) << 8;
    QImage few(5, 3, QImage::Format_Indexed8);
    few.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50), qRgb(9, 9, 9)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            few.setPixel(x, y, uint((x + y) % 3));
    QTest::newRow("few colours") << few << 4;
    QImage mono(9, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(8, 0, 1);
    mono.setPixel(0, 1, 1);
    QTest::newRow("monochrome") << mono << 1;
}

void TestLumDib::picturesRoundTrip() {
    QFETCH(QImage, picture);
    QFETCH(int, bits);
    const QByteArray dib = Dib::fromImage(picture);
    QCOMPARE(qFromLittleEndian<quint32>(dib.constData()), 40u);
    QCOMPARE(int(qFromLittleEndian<quint16>(dib.constData() + 14)), bits);
    const QImage back = Dib::toImage(dib);
    QCOMPARE(back.size(), picture.size());
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32),
             picture.convertToFormat(QImage::Format_RGB32));
}

void TestLumDib::malformedBitmapsAreRefused_data() {
    QTest::addColumn<QByteArray>("dib");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("pixels missing") << infoHeader(100, 100, 24) + QByteArray(16, '\0');
    QTest::newRow("zero width") << infoHeader(0, 1, 24) + QByteArray(4, '\0');
    QTest::newRow("negative width") << infoHeader(-4, 1, 24) + QByteArray(16, '\0');
    QTest::newRow("huge height") << infoHeader(1, 0x7FFFFFFF, 24) + QByteArray(64, '\0');
    QTest::newRow("most negative height") << infoHeader(1, qint32(0x80000000), 24);
    QTest::newRow("16 bits") << infoHeader(1, 1, 16) + QByteArray(4, '\0');
    QTest::newRow("colour table cut short") << infoHeader(1, 1, 8) + QByteArray(10, '\0');
    QByteArray compressed = infoHeader(1, 1, 24) + QByteArray(4, '\0');
    compressed[16] = 1;
    QTest::newRow("compressed") << compressed;
}

void TestLumDib::malformedBitmapsAreRefused() {
    QFETCH(QByteArray, dib);
    QVERIFY(Dib::toImage(dib).isNull());
}

void TestLumDib::bmpFileHeader() {
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const QByteArray bmp = Dib::bmpFile(Dib::fromImage(image));
    QVERIFY(bmp.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint32>(bmp.constData() + 2), quint32(bmp.size()));
    QCOMPARE(qFromLittleEndian<quint32>(bmp.constData() + 10), 54u);
    QImage loaded;
    QVERIFY(loaded.loadFromData(bmp, "BMP"));
    QCOMPARE(loaded.pixel(1, 1), qRgb(10, 20, 30));
}

QTEST_MAIN(TestLumDib)
#include "tst_lum_dib.moc"
