// Automation values, identifiers and result names.
#include "com/Cp1252.h"
#include "com/Guid.h"
#include "com/HResult.h"
#include "com/Variant.h"

#include <QTest>

using namespace com;

Q_DECLARE_METATYPE(com::VarType)

class TestValues : public QObject {
    Q_OBJECT
private slots:
    void changeType_data();
    void changeType();
    void failedConversionLeavesTarget();
    void booleanRawValues();
    void r8RefReadsFirstElementOnly();
    void guidParse_data();
    void guidParse();
    void guidRoundTrip();
    void guidNullAndRefused();
    void hresultNames();
    void cp1252RoundTrip();
};

void TestValues::changeType_data() {
    QTest::addColumn<Variant>("in");
    QTest::addColumn<VarType>("target");
    QTest::addColumn<HRESULT>("hr");
    QTest::addColumn<Variant>("out");

    const auto I4 = VarType::I4;
    QTest::newRow("i2->i4") << Variant(std::int16_t(-5)) << I4 << S_OK << Variant(-5);
    QTest::newRow("2.5->2 half to even") << Variant(2.5) << I4 << S_OK << Variant(2);
    QTest::newRow("3.5->4") << Variant(3.5) << I4 << S_OK << Variant(4);
    QTest::newRow("-2.5->-2") << Variant(-2.5) << I4 << S_OK << Variant(-2);
    QTest::newRow("2.6->3") << Variant(2.6) << I4 << S_OK << Variant(3);
    QTest::newRow("max i4") << Variant(2147483647.0) << I4 << S_OK << Variant(2147483647);
    QTest::newRow("overflow i4") << Variant(2147483648.0) << I4 << DISP_E_OVERFLOW << Variant();
    QTest::newRow("overflow negative") << Variant(-3e10) << I4 << DISP_E_OVERFLOW << Variant();
    QTest::newRow("nan") << Variant(std::nan("")) << I4 << DISP_E_OVERFLOW << Variant();
    QTest::newRow("overflow i2") << Variant(40000) << VarType::I2 << DISP_E_OVERFLOW << Variant();
    QTest::newRow("i4->i2") << Variant(-32768) << VarType::I2 << S_OK
                            << Variant(std::int16_t(-32768));
    QTest::newRow("i4->r8") << Variant(7) << VarType::R8 << S_OK << Variant(7.0);
    QTest::newRow("true->i4") << Variant(true) << I4 << S_OK << Variant(-1);
    QTest::newRow("false->r8") << Variant(false) << VarType::R8 << S_OK << Variant(0.0);
    QTest::newRow("5->bool") << Variant(5) << VarType::Bool << S_OK << Variant(true);
    QTest::newRow("0.0->bool") << Variant(0.0) << VarType::Bool << S_OK << Variant(false);
    QTest::newRow("string->r8 C locale") << Variant("1.5") << VarType::R8 << S_OK << Variant(1.5);
    QTest::newRow("comma is not a decimal point")
        << Variant("1,5") << VarType::R8 << DISP_E_TYPEMISMATCH << Variant();
    QTest::newRow("string->i4 rounds") << Variant(" 12.5 ") << I4 << S_OK << Variant(12);
    QTest::newRow("hex colour") << Variant("0x800000") << I4 << S_OK << Variant(0x800000);
    QTest::newRow("hex full range") << Variant("&HFFFFFFFF") << I4 << S_OK << Variant(-1);
    QTest::newRow("word") << Variant("abc") << I4 << DISP_E_TYPEMISMATCH << Variant();
    QTest::newRow("empty string") << Variant("") << VarType::R8 << DISP_E_TYPEMISMATCH << Variant();
    QTest::newRow("string->bool") << Variant("True") << VarType::Bool << S_OK << Variant(true);
    QTest::newRow("string 0->bool") << Variant("0") << VarType::Bool << S_OK << Variant(false);
    QTest::newRow("bool->string") << Variant(true) << VarType::BStr << S_OK << Variant("True");
    QTest::newRow("r8->string") << Variant(0.1) << VarType::BStr << S_OK << Variant("0.1");
    QTest::newRow("empty->i4") << Variant() << I4 << S_OK << Variant(0);
    QTest::newRow("blob->i4") << Variant::blob("x") << I4 << DISP_E_TYPEMISMATCH << Variant();
    QTest::newRow("i4->r8ref") << Variant(1) << VarType::R8Ref << DISP_E_TYPEMISMATCH << Variant();
}

void TestValues::changeType() {
    QFETCH(Variant, in);
    QFETCH(VarType, target);
    QFETCH(HRESULT, hr);
    QFETCH(Variant, out);
    Variant got;
    QCOMPARE(hresultName(in.changeType(target, got)), hresultName(hr));
    if (succeeded(hr))
        QCOMPARE(got.debugText(), out.debugText());
}

void TestValues::failedConversionLeavesTarget() {
    Variant target(42);
    QVERIFY(failed(Variant("nope").changeType(VarType::I4, target)));
    QCOMPARE(target, Variant(42));
    std::int32_t n = 9;
    QCOMPARE(Variant(1e12).toI4(n), DISP_E_OVERFLOW);
    QCOMPARE(n, 9);
}

void TestValues::booleanRawValues() {
    // Any non-zero raw value is true; true written by us is -1.
    QVERIFY(Variant::booleanRaw(1).boolValue());
    QCOMPARE(Variant(true).boolRaw(), std::int16_t(-1));
    QCOMPARE(Variant::booleanRaw(1), Variant(true));
    Variant n;
    QCOMPARE(Variant::booleanRaw(5).changeType(VarType::I4, n), S_OK);
    QCOMPARE(n, Variant(-1));
}

void TestValues::r8RefReadsFirstElementOnly() {
    double values[2] = {3.25, 9.0};
    const Variant ref = Variant::r8Ref(values, 2);
    double d = 0;
    QCOMPARE(ref.toR8(d), S_OK);
    QCOMPARE(d, 3.25);
    QCOMPARE(Variant::r8Ref(nullptr, 5).r8RefCount(), 0);
    QCOMPARE(Variant::r8Ref(nullptr, 5).toR8(d), DISP_E_TYPEMISMATCH);
}

void TestValues::guidParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("braces") << "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}" << true;
    QTest::newRow("no braces lower") << "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0" << true;
    QTest::newRow("one brace") << "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0" << false;
    QTest::newRow("closing brace only") << "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}" << false;
    QTest::newRow("trailing text") << "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}x" << false;
    QTest::newRow("sign in digits") << "{+F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}" << false;
    QTest::newRow("space in digits") << "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1 0}" << false;
    QTest::newRow("misplaced dash") << "{0F1E2D3C4-B5A-6978-8796-A5B4C3D2E1F0}" << false;
    QTest::newRow("non hex") << "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1FG}" << false;
    QTest::newRow("short") << "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F}" << false;
    QTest::newRow("empty") << "" << false;
}

void TestValues::guidParse() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    Guid g;
    QCOMPARE(Guid::parse(text, g), ok);
    if (ok) {
        QCOMPARE(g.data1, 0x0F1E2D3Cu);
        QCOMPARE(g.data2, std::uint16_t(0x4B5A));
        QCOMPARE(g.data4[0], std::uint8_t(0x87));
        QCOMPARE(g.data4[7], std::uint8_t(0xF0));
    } else {
        QVERIFY(g.isNull());
    }
}

void TestValues::guidRoundTrip() {
    const QString text = QStringLiteral("{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    QCOMPARE(Guid::fromString(text.toLower()).toString(), text);
    QVERIFY(Guid::fromString(text) == Guid::fromString(text.toLower()));
    QCOMPARE(qHash(Guid::fromString(text)), qHash(Guid::fromString(text.toLower())));
    // Leading zeros are written out in every group.
    Guid small;
    small.data1 = 0xA;
    small.data4[7] = 0x1;
    QCOMPARE(small.toString(), QStringLiteral("{0000000A-0000-0000-0000-000000000001}"));
}

void TestValues::guidNullAndRefused() {
    // The null GUID is a GUID: it parses, it is not refused.
    Guid g = Guid::fromString(u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    QVERIFY(Guid::parse(u"{00000000-0000-0000-0000-000000000000}", g));
    QVERIFY(g.isNull());
    // A refused text leaves the target as it was.
    const Guid kept = Guid::fromString(u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    g = kept;
    QVERIFY(!Guid::parse(u"{00000000-0000-0000-0000-00000000000G}", g));
    QCOMPARE(g, kept);
}

void TestValues::hresultNames() {
    QCOMPARE(hresultName(DISP_E_BADINDEX), QStringLiteral("DISP_E_BADINDEX"));
    QCOMPARE(hresultName(SELFREG_E_CLASS), QStringLiteral("SELFREG_E_CLASS"));
    QCOMPARE(std::uint32_t(SELFREG_E_TYPELIB), 0x80040200u);
    QCOMPARE(hresultName(makeHResult(0x8123ABCDu)), QStringLiteral("0x8123abcd"));
}

void TestValues::cp1252RoundTrip() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(cp1252::encode(cp1252::decode(all)), all);
    QCOMPARE(cp1252::encode(QStringLiteral("Presión €")), QByteArray("Presi\xF3n \x80"));
    // Characters outside the set, including one outside the basic plane, become one '?'.
    QCOMPARE(cp1252::encode(QStringLiteral("a\u0416b\U0001F600c")), QByteArray("a?b?c"));
}

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
