#include "link/clsTrama.h"

#include <QtTest>

class TestTrama : public QObject {
    Q_OBJECT

private slots:
    void requests_data();
    void requests();
    void checkSum_data();
    void checkSum();
    void errorFrame_data();
    void errorFrame();
    void conversions_data();
    void conversions();
};

void TestTrama::requests_data() {
    QTest::addColumn<qint16>("data1");
    QTest::addColumn<QString>("hex");
    QTest::newRow("humidity") << clsTrama::iPETICION_HUMEDAD << "40 01 00 40 02 04 00 87";
    QTest::newRow("pressure") << clsTrama::iPETICION_PRESION << "40 01 00 40 02 03 00 86";
}

void TestTrama::requests() {
    QFETCH(qint16, data1);
    QFETCH(QString, hex);
    const Trama t = clsTrama::trfntConstruyePeticion(1, 0, 0x40, data1, 0);
    QCOMPARE(clsTrama::strfntHexadecimal(t), hex);
}

void TestTrama::checkSum_data() {
    QTest::addColumn<Trama>("frame");
    QTest::addColumn<bool>("correct");
    QTest::newRow("sum over 255 wraps")
        << Trama{0x40, 0xFF, 0xFF, 0x40, 2, 0x80, 0x01, 0x01} << true;
    QTest::newRow("byte 7 not summed") << Trama{0x40, 0, 1, 0x40, 2, 2, 0, 0x85} << true;
    QTest::newRow("off by one") << Trama{0x40, 0, 1, 0x40, 2, 2, 0, 0x86} << false;
}

void TestTrama::checkSum() {
    QFETCH(Trama, frame);
    QFETCH(bool, correct);
    QCOMPARE(clsTrama::bfntSumaLogicaCorrecta(frame), correct);
}

void TestTrama::errorFrame_data() {
    QTest::addColumn<Trama>("frame");
    QTest::addColumn<bool>("isError");
    QTest::newRow("error frame") << Trama{0x40, 0, 1, 0xFF, 2, 0, 0, 0x42} << true;
    QTest::newRow("bytes 0-2 and 7 ignored") << Trama{9, 9, 9, 0xFF, 2, 0, 0, 9} << true;
    QTest::newRow("count not 2") << Trama{0x40, 0, 1, 0xFF, 3, 0, 0, 0x43} << false;
    QTest::newRow("data not 0") << Trama{0x40, 0, 1, 0xFF, 2, 0, 1, 0x43} << false;
    QTest::newRow("data frame") << Trama{0x40, 0, 1, 0x40, 2, 2, 0, 0x85} << false;
}

void TestTrama::errorFrame() {
    QFETCH(Trama, frame);
    QFETCH(bool, isError);
    QCOMPARE(clsTrama::bfntEsTramaError(frame), isError);
}

void TestTrama::conversions_data() {
    QTest::addColumn<qint16>("high");
    QTest::addColumn<qint16>("low");
    QTest::addColumn<double>("humidity");
    QTest::addColumn<double>("pressure");
    QTest::newRow("0x02 0x00") << qint16(2) << qint16(0) << 43.60256410256410 << 64.99992608695652;
    QTest::newRow("zero, no clamping") << qint16(0) << qint16(0) << -20.5 << 10.6521;
    QTest::newRow("raw 962") << qint16(3) << qint16(0xC2) << 99.94270833333333
                             << 112.76657010869566;
    QTest::newRow("raw 1023") << qint16(3) << qint16(0xFF) << 107.57992788461539
                              << 119.24160407608697;
    QTest::newRow("raw 65535") << qint16(255) << qint16(255) << 8184.5030048076915
                               << 6967.067691032609;
}

void TestTrama::conversions() {
    QFETCH(qint16, high);
    QFETCH(qint16, low);
    QFETCH(double, humidity);
    QFETCH(double, pressure);
    const qint32 raw = clsTrama::lfntLectura(high, low);
    QVERIFY(qAbs(clsTrama::dfntHumedad(raw) - humidity) < 1e-9);
    QVERIFY(qAbs(clsTrama::dfntPresion(raw) - pressure) < 1e-9);
}

QTEST_GUILESS_MAIN(TestTrama)
#include "tst_trama.moc"
