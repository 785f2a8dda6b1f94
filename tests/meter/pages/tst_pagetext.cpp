// Text forms of the page fields: strict integers and numbers, the C library's leading decimal
// number, and the shown forms.
#include "PageText.h"

#include <QTest>

#include <cmath>
#include <limits>

using gaugekit::pages::PageText;

class TestPageText : public QObject {
    Q_OBJECT
private slots:
    void leadingDecimal_data();
    void leadingDecimal();
    void parseInteger_data();
    void parseInteger();
    void parseDouble_data();
    void parseDouble();
    void shownForms();
};

void TestPageText::leadingDecimal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole") << "50" << 50.0;
    QTest::newRow("unit after a space") << "2.5 Hz" << 2.5;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("leading white space") << " \t\n1.25" << 1.25;
    QTest::newRow("exponent") << "1e1x" << 10.0;
    QTest::newRow("exponent without digits stays out") << "3e" << 3.0;
    QTest::newRow("signed exponent without digits") << "3e+" << 3.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "7." << 7.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("comma is no decimal point") << "2,5" << 2.0;
    QTest::newRow("negative") << "-0.001" << -0.001;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("hex is read as its leading zero") << "0x10" << 0.0;
    QTest::newRow("underflow") << "1e-999" << 0.0;
}

void TestPageText::leadingDecimal() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(PageText::leadingDecimal(text), expected);
}

void TestPageText::parseInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "11" << true << 11;
    QTest::newRow("spaces around") << "  -3 " << true << -3;
    QTest::newRow("fraction") << "1.5" << false << 0;
    QTest::newRow("letters") << "ten" << false << 0;
    QTest::newRow("trailing letters") << "10px" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign only") << "+" << false << 0;
    QTest::newRow("beyond 32 bits") << "2147483648" << false << 0;
    QTest::newRow("lowest") << "-2147483648" << true << std::numeric_limits<int>::min();
}

void TestPageText::parseInteger() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    const auto v = PageText::parseInteger(text);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(*v, expected);
}

void TestPageText::parseDouble_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "0.1" << true << 0.1;
    QTest::newRow("exponent") << "1e-3" << true << 0.001;
    QTest::newRow("spaces") << " 1.0 " << true << 1.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("trailing text") << "0.5x" << false << 0.0;
    QTest::newRow("not a number") << "nan" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
    QTest::newRow("overflow") << "1e999" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void TestPageText::parseDouble() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, expected);
    const auto v = PageText::parseDouble(text);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(*v, expected);
}

void TestPageText::shownForms() {
    QCOMPARE(PageText::formatDouble(0.1), QStringLiteral("0.1"));
    QCOMPARE(PageText::formatDouble(20.0), QStringLiteral("20"));
    QCOMPARE(PageText::formatDouble(-3.25), QStringLiteral("-3.25"));
    QCOMPARE(PageText::formatDouble(1e20), QStringLiteral("100000000000000000000"));
    // The frequency box: 0.01 once showed as "0.0" and 1.46 as "1.5".
    QCOMPARE(PageText::formatAtLeastOneDecimal(1.46), QStringLiteral("1.46"));
    QCOMPARE(PageText::formatAtLeastOneDecimal(20.0), QStringLiteral("20.0"));
    QCOMPARE(PageText::formatAtLeastOneDecimal(0.01), QStringLiteral("0.01"));
    QCOMPARE(PageText::formatAtLeastOneDecimal(2.5), QStringLiteral("2.5"));
    QCOMPARE(PageText::formatInteger(-7), QStringLiteral("-7"));
}

QTEST_APPLESS_MAIN(TestPageText)
#include "tst_pagetext.moc"
