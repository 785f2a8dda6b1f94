// The font chooser with its effects section: what it starts from and what it gives back,
// the colour list of the sixteen standard colours with a custom colour added, and the dialog
// units the pages are laid out in.
#include "forms/DialogUnits.h"
#include "FontEffectsDialog.h"

#include <QComboBox>
#include <QFontDialog>
#include <QTest>

class TestFontEffects : public QObject {
    Q_OBJECT
private slots:
    void choiceComesBackAsItWent_data();
    void choiceComesBackAsItWent();
    void colorList();
    void faceNotInstalledIsShownThroughItsSubstitute_data();
    void faceNotInstalledIsShownThroughItsSubstitute();
    void dialogUnits_data();
    void dialogUnits();
};

void TestFontEffects::choiceComesBackAsItWent_data() {
    QTest::addColumn<int>("sizeTenths");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strikeout");
    QTest::addColumn<quint32>("color");
    QTest::newRow("plain 8 pt black") << 80 << false << false << false << 0x000000u;
    QTest::newRow("12 pt italic red") << 120 << true << false << false << 0x0000FFu;
    QTest::newRow("11 pt effects navy") << 110 << false << true << true << 0x800000u;
}

void TestFontEffects::choiceComesBackAsItWent() {
    QFETCH(int, sizeTenths);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(bool, strikeout);
    QFETCH(quint32, color);
    forms::FontEffectsChoice initial;
    initial.name = QStringLiteral("Liberation Sans");
    initial.sizeTenths = sizeTenths;
    initial.italic = italic;
    initial.underline = underline;
    initial.strikeout = strikeout;
    initial.color = color;
    forms::FontEffectsDialog dialog(initial);
    const forms::FontEffectsChoice chosen = dialog.choice();
    QCOMPARE(chosen.sizeTenths, sizeTenths);
    QCOMPARE(chosen.italic, italic);
    QCOMPARE(chosen.underline, underline);
    QCOMPARE(chosen.strikeout, strikeout);
    QCOMPARE(chosen.color, color);
}

void TestFontEffects::colorList() {
    forms::FontEffectsChoice initial;
    initial.color = 0x123456; // not a standard colour
    forms::FontEffectsDialog dialog(initial);
    QCOMPARE(dialog.colorList()->count(), 17);
    QCOMPARE(dialog.colorList()->itemText(0), QStringLiteral("Black"));
    QCOMPARE(dialog.colorList()->itemText(16), QStringLiteral("Custom"));
    QCOMPARE(dialog.choice().color, 0x123456u);
    dialog.colorList()->setCurrentIndex(9);
    QCOMPARE(dialog.colorList()->currentText(), QStringLiteral("Red"));
    QCOMPARE(dialog.choice().color, 0x0000FFu);
}

// "Arial" opened as "Sans Serif", a face with no Bold, and OK with no change stored that name.
void TestFontEffects::faceNotInstalledIsShownThroughItsSubstitute_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("Courier New") << "Courier New"
                                 << "Liberation Mono";
    QTest::newRow("Times New Roman") << "Times New Roman"
                                     << "Liberation Serif";
    QTest::newRow("installed face as it is") << "DejaVu Serif"
                                             << "DejaVu Serif";
}

void TestFontEffects::faceNotInstalledIsShownThroughItsSubstitute() {
    QFETCH(QString, face);
    QFETCH(QString, shown);
    forms::FontEffectsChoice initial;
    initial.name = face;
    initial.sizeTenths = 100;
    initial.weight = 700;
    forms::FontEffectsDialog dialog(initial);
    const QFont current = dialog.fontPart()->currentFont();
    QCOMPARE(current.family(), shown);
    QCOMPARE(current.weight(), QFont::Bold);
    // OK with no change: the face as it was asked for, still bold.
    QCOMPARE(dialog.choice().name, face);
    QCOMPARE(dialog.choice().weight, 700);
    // Another face picked: that face.
    dialog.fontPart()->setCurrentFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    QCOMPARE(dialog.choice().name, QStringLiteral("DejaVu Sans Mono"));
}

void TestFontEffects::dialogUnits_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("one base unit") << 4 << 96.0 << 6 << 7; // 8 vertical units are 13 pixels
    QTest::newRow("rounded to nearest") << 1 << 96.0 << 2 << 2;
    QTest::newRow("251 units wide, 150 high") << 251 << 96.0 << 377 << 408;
    QTest::newRow("120 dpi") << 8 << 120.0 << 15 << 16;
}

void TestFontEffects::dialogUnits() {
    QFETCH(int, units);
    QFETCH(double, dpi);
    QFETCH(int, x);
    QFETCH(int, y);
    QCOMPARE(forms::dialogunits::xToPixels(units, dpi), x);
    QCOMPARE(forms::dialogunits::yToPixels(units, dpi), y);
}

QTEST_MAIN(TestFontEffects)
#include "tst_fonteffects.moc"
