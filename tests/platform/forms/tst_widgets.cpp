#include "forms/CommonDialog.h"
#include "forms/Form.h"
#include "forms/MessageBox.h"
#include "forms/NumberFormat.h"
#include "forms/Twips.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>
#include <limits>
#include <tuple>
#include <utility>

namespace {

class GuardedForm : public forms::Form {
public:
    bool allow = false;
    int unloads = 0;

protected:
    void queryUnload(bool& cancel) override { cancel = !allow; }
    void formUnload() override { ++unloads; }
};

} // namespace

class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    void numberFormat_data();
    void numberFormat();
    void numberParse_data();
    void numberParse();
    void numberParseHonoursRejectGroupSeparator();
    void numberReadsBackWhatItWrites_data();
    void numberReadsBackWhatItWrites();
    void twipsConversions();
    void formRefusesUnloadUntilAllowed();
    void messageBoxAnswersThroughRecorder();
    void dialogsGoWithTheirParent_data();
    void dialogsGoWithTheirParent();
    void fileFilters_data();
    void fileFilters();
    void dialogsAnswerThroughHandlers();
};

void TestWidgets::numberFormat_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << 5.25 << "000.0"
                            << "C"
                            << "005.3";
    QTest::newRow("comma locale") << 43.6025641 << "000.0"
                                  << "es_ES"
                                  << "043,6";
    QTest::newRow("negative") << -20.5 << "0.00"
                              << "C"
                              << "-20.50";
    QTest::newRow("negative rounds to zero") << -0.01 << "0.0"
                                             << "C"
                                             << "0.0";
    QTest::newRow("half away from zero") << 2.5 << "0"
                                         << "C"
                                         << "3";
    QTest::newRow("wider than mask") << 1234.5 << "0.0"
                                     << "C"
                                     << "1234.5";
    QTest::newRow("grouping") << 1234567.0 << "#,##0"
                              << "C"
                              << "1,234,567";
    QTest::newRow("optional decimals") << 1.5 << "0.##"
                                       << "C"
                                       << "1.5";
    QTest::newRow("literals kept") << 64.99 << "0.0 kPa"
                                   << "C"
                                   << "65.0 kPa";
    // Scaling by the decimals used to overflow: every digit of a large value is printed.
    QTest::newRow("1e20 past exact integers") << 1e20 << "0.0"
                                              << "C"
                                              << "100000000000000000000.0";
    QTest::newRow("1e300 with ten decimals") << 1e300 << "0.0000000000"
                                             << "C" << QString::number(1e300, 'f', 10);
}

void TestWidgets::numberFormat() {
    QFETCH(double, value);
    QFETCH(QString, mask);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(forms::number::format(value, mask, QLocale(locale)), expected);
}

void TestWidgets::numberParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("comma") << " 12,5 "
                           << "es_ES" << true << 12.5;
    QTest::newRow("point") << "115"
                           << "C" << true << 115.0;
    QTest::newRow("wrong separator") << "12.5x"
                                     << "C" << false << 0.0;
    QTest::newRow("empty") << ""
                           << "C" << false << 0.0;
    QTest::newRow("infinite") << "1e999"
                              << "C" << false << 0.0;
    // Grouped integer parts: separators only between groups of three digits.
    const QList<std::tuple<const char*, const char*, const char*, bool, double>> grouped{
        {"es thousand", "1.000", "es_ES", true, 1000.0},
        {"es thousand and a half", "1.000,5", "es_ES", true, 1000.5},
        {"es millions", "1.234.567", "es_ES", true, 1234567.0},
        {"es trailing zero decimals", "-1.234,50", "es_ES", true, -1234.5},
        {"es separator three from the left", "1234.567", "es_ES", false, 0.0},
        {"es separator two from the right", "12.34", "es_ES", false, 0.0},
        {"es separator at the end", "1.", "es_ES", false, 0.0},
        {"es doubled separator", "1..000", "es_ES", false, 0.0},
        {"es separator in the fraction", "1,000.5", "es_ES", false, 0.0},
        {"de millions", "1.234.567,25", "de_DE", true, 1234567.25},
        {"de separator three from the left", "1234.567", "de_DE", false, 0.0},
        {"fr narrow no-break space", "1\u202F234,5", "fr_FR", true, 1234.5},
        {"fr plain space", "1 234 567", "fr_FR", true, 1234567.0},
        {"fr no-break space", "1\u00A0234", "fr_FR", true, 1234.0},
        {"fr short group", "12 34", "fr_FR", false, 0.0},
        {"en grouped", "1,234.5", "en_US", true, 1234.5},
        {"en short group", "1,23", "en_US", false, 0.0},
        {"en Indian groups", "12,34,567", "en_US", false, 0.0},
        {"Indian locale groups", "12,34,567", "hi_IN", true, 1234567.0},
        {"Indian locale thousands", "1,234,567", "hi_IN", true, 1234567.0},
        {"C zero-padded group", "001,000", "C", true, 1000.0},
        {"C leading separator", ",100", "C", false, 0.0},
        // Direction marks that right-to-left locales put before signs, and the minus sign.
        {"Hebrew negative", "\u200E-5", "he_IL", true, -5.0},
        {"Hebrew right-to-left mark", "\u200F-12.5", "he_IL", true, -12.5},
        {"Arabic negative", "\u061C-\u0665", "ar_EG", true, -5.0},
        {"Arabic grouped", "\u0661\u066C\u0662\u0663\u0664\u066B\u0665", "ar_EG", true, 1234.5},
        {"Persian negative", "\u200E\u2212\u06F0\u066B\u06F5", "fa_IR", true, -0.5},
        {"minus sign", "\u22121,5", "de_DE", true, -1.5},
        {"mark alone", "\u200E", "he_IL", false, 0.0},
    };
    for (const auto& [name, text, locale, ok, value] : grouped) {
        QTest::newRow(name) << QString::fromUtf8(text) << locale << ok << value;
    }
}

void TestWidgets::numberParse() {
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto parsed = forms::number::parse(text, QLocale(locale));
    QCOMPARE(parsed.has_value(), ok);
    if (ok) {
        QCOMPARE(*parsed, value);
    }
}

void TestWidgets::numberParseHonoursRejectGroupSeparator() {
    QLocale strict(QStringLiteral("es_ES"));
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    QVERIFY(!forms::number::parse(QStringLiteral("1.000"), strict));
    QCOMPARE(forms::number::parse(QStringLiteral("1000,5"), strict).value_or(0.0), 1000.5);
}

void TestWidgets::numberReadsBackWhatItWrites_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("locale");
    const QStringList locales{"C",     "en_US", "es_ES", "de_DE", "fr_FR",
                              "hi_IN", "he_IL", "ar_EG", "fa_IR"};
    const QList<std::pair<double, const char*>> cases{
        {1000.0, "#,##0"},       {1234.5, "#,##0.00"},
        {1234567.0, "#,##0.##"}, {-1234567.25, "#,##0.00"},
        {-5.0, "0.0"},           {0.5, "#,##0.0"},
        {999.0, "#,##0"},        {1e15, "#,##0"},
        {-43.5, "000.0"},        {1e308, "000.0"},
        {-1.7e308, "0.00"},      {std::numeric_limits<double>::max(), "#,##0.0"},
    };
    for (const QString& locale : locales) {
        for (const auto& [value, mask] : cases) {
            QTest::addRow("%s %s %g", qPrintable(locale), mask, value) << value << mask << locale;
        }
    }
}

void TestWidgets::numberReadsBackWhatItWrites() {
    QFETCH(double, value);
    QFETCH(QString, mask);
    QFETCH(QString, locale);
    const QLocale loc(locale);
    const QString text = forms::number::format(value, mask, loc);
    const auto parsed = forms::number::parse(text, loc);
    QVERIFY2(parsed.has_value(), qPrintable(text));
    QCOMPARE(*parsed, value);
}

void TestWidgets::twipsConversions() {
    QCOMPARE(forms::twips::toPixels(4665, 96), 311);
    QCOMPARE(forms::twips::toPixels(15, 96), 1);
    QCOMPARE(forms::twips::toPixels(1440, 144), 144);
    QCOMPARE(forms::twips::fromPixels(1, 96), 15.0);
}

void TestWidgets::formRefusesUnloadUntilAllowed() {
    GuardedForm form;
    form.show();
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    QCOMPARE(form.unloads, 0);
    form.allow = true;
    QVERIFY(form.unload());
    QVERIFY(!form.isVisible());
    QCOMPARE(form.unloads, 1);
}

void TestWidgets::messageBoxAnswersThroughRecorder() {
    QCoreApplication::setApplicationName("Brisora");
    forms::MessageBoxRecorder recorder(forms::MsgAnswer::No);
    recorder.queueAnswer(forms::MsgAnswer::Yes);
    QCOMPARE(forms::MessageBox::show("¿Salir?", forms::MsgButtons::YesNo, forms::MsgIcon::Question),
             forms::MsgAnswer::Yes);
    QCOMPARE(forms::MessageBox::show("Otra", forms::MsgButtons::YesNo), forms::MsgAnswer::No);
    QCOMPARE(recorder.requests().size(), 2);
    QCOMPARE(recorder.requests()[0].caption, QString("Brisora"));
    QCOMPARE(recorder.requests()[0].icon, forms::MsgIcon::Question);
}

void TestWidgets::fileFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pairs") << "Configuración|*.ser|Todos|*.*"
                           << "Configuración (*.ser);;Todos (*.*)";
    QTest::newRow("several patterns") << "Imágenes|*.wmf;*.emf"
                                      << "Imágenes (*.wmf *.emf)";
    QTest::newRow("patterns already named") << "Archivos SER (*.ser)|*.ser"
                                            << "Archivos SER (*.ser)";
    QTest::newRow("dangling description") << "Todos|*.*|Solo"
                                          << "Todos (*.*)";
}

void TestWidgets::fileFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(forms::CommonDialog::qtFilter(filter), expected);
}

void TestWidgets::dialogsAnswerThroughHandlers() {
    QCOMPARE(forms::CommonDialog::toColorRef(QColor(0x11, 0x22, 0x33)), 0x332211u);
    QCOMPARE(forms::CommonDialog::fromColorRef(0x332211u), QColor(0x11, 0x22, 0x33));
    QList<forms::FileRequest> asked;
    const auto previous = forms::CommonDialog::setHandlers({
        [](quint32 initial) { return std::optional<quint32>(initial ^ 0xFFFFFF); },
        [](const forms::FontChoice&) { return std::optional<forms::FontChoice>(); },
        [&](const forms::FileRequest& r) {
            asked << r;
            return std::optional<QString>("/tmp/a.ser");
        },
        {},
    });
    QCOMPARE(forms::CommonDialog::chooseColor(0xFF), std::optional<quint32>(0xFFFF00));
    QVERIFY(!forms::CommonDialog::chooseFont({"Arial", 10}).has_value());
    QCOMPARE(
        forms::CommonDialog::chooseFile({true, "Guardar", "SER|*.ser", {}, {}, {}, true, true}),
        std::optional<QString>("/tmp/a.ser"));
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].save);
    forms::CommonDialog::setHandlers(previous);
}

void TestWidgets::dialogsGoWithTheirParent_data() {
    QTest::addColumn<int>("dialog");
    QTest::newRow("file") << 0;
    QTest::newRow("font with effects") << 1;
    QTest::newRow("message box") << 2;
}

// The dialogs were objects on the caller's stack with a parent: deleting the parent while one
// was open freed it twice. Each now goes with its parent and answers as if cancelled.
void TestWidgets::dialogsGoWithTheirParent() {
    QFETCH(int, dialog);
    const forms::CommonDialog::Handlers previous = forms::CommonDialog::setHandlers({});
    const forms::MessageBox::Handler previousBox = forms::MessageBox::setHandler({});
    QPointer<QWidget> parent = new QWidget;
    parent->show();
    bool sawDialog = false;
    QTimer::singleShot(0, this, [&] {
        sawDialog = QApplication::activeModalWidget() != nullptr;
        delete parent.data();
    });
    bool answered = true;
    if (dialog == 0)
        answered = forms::CommonDialog::chooseFile({}, parent).has_value();
    else if (dialog == 1)
        answered = forms::CommonDialog::chooseFontEffects({}, parent).has_value();
    else
        answered =
            forms::MessageBox::show(QStringLiteral("text"), forms::MsgButtons::YesNo,
                                    forms::MsgIcon::Question, {}, parent) == forms::MsgAnswer::Yes;
    forms::CommonDialog::setHandlers(previous);
    forms::MessageBox::setHandler(previousBox);
    QVERIFY(sawDialog);
    QVERIFY(parent.isNull());
    QVERIFY(!answered);
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
