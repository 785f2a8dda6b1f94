// GaugeKit::MeterWidget over its control: every property reaches the control's dispatch
// interface and comes back, events become signals, and the settings it saves are those of a
// meter the registry creates.
#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterFixture.h"
#include "MeterTimerMath.h"
#include "MeterWidgetPrivate.h"
#include "WidgetSurface.h"

#include <ScopedEnv.h>

#include <com/ControlSite.h>
#include <com/ObjectLoader.h>
#include <com/PropertyFrame.h>
#include <com/Registry.h>
#include <forms/CommonDialog.h>
#include <lum/LumTypes.h>

#include <TestFiles.h>

#include <QApplication>
#include <QFile>
#include <QMetaProperty>
#include <QPointer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using GaugeKit::MeterWidget;
using GaugeKit::MeterWidgetPrivate;
using namespace gaugekit;

namespace {

gaugekit::CGAUGEKITCtrl* controlOf(MeterWidget& w) {
    return dynamic_cast<gaugekit::CGAUGEKITCtrl*>(MeterWidgetPrivate::site(w).control());
}

// A value of the property's kind that differs from its default, as the control holds it and
// as the widget shows it.
struct Sample {
    com::Variant control;
    QVariant widget;
};

Sample sampleFor(const PropertyInfo& p, int variant) {
    const PropertyValue& def = p.defaultValue;
    switch (p.kind()) {
    case PropertyKind::Long: {
        const std::int32_t v = variant ? 0x00123456 : 0x00A0B0C0;
        if (WidgetSurface::isColor(p))
            return {com::Variant(v), QVariant(WidgetSurface::toColor(v))};
        const std::int32_t n = std::get<std::int32_t>(def) + 3 + variant;
        return {com::Variant(n), QVariant(n)};
    }
    case PropertyKind::Bool: {
        const bool b = variant ? std::get<bool>(def) : !std::get<bool>(def);
        return {com::Variant(b), QVariant(b)};
    }
    case PropertyKind::Double: {
        const double d = std::get<double>(def) + 0.25 + variant;
        return {com::Variant(d), QVariant(d)};
    }
    case PropertyKind::String:
        break;
    }
    const QString s = variant ? QStringLiteral("Dejà vu") : QStringLiteral("Trebuchet");
    return {com::Variant(s), QVariant(s)};
}

// An enumerated property of the widget holds the control's number as its enumeration.
Sample asPropertyType(Sample sample, const QMetaProperty& meta) {
    if (meta.isEnumType()) {
        const int n = sample.widget.toInt();
        sample.widget = QVariant(meta.metaType(), &n);
    }
    return sample;
}

// Deletes `victim` from inside the loop of the first modal dialog that opens.
void deleteOnceModal(const QPointer<QWidget>& victim, int triesLeft = 100) {
    QTimer::singleShot(0, qApp, [victim, triesLeft] {
        if (!QApplication::activeModalWidget() && triesLeft > 0)
            return deleteOnceModal(victim, triesLeft - 1);
        delete victim.data();
    });
}

enum class Dialog { PropertyPages, PictureFile };

} // namespace

Q_DECLARE_METATYPE(const gaugekit::PropertyInfo*)

class TestMeterWidget : public QObject {
    Q_OBJECT
private slots:
    void propertyRoundTrip_data();
    void propertyRoundTrip();
    void listProperties_data();
    void listProperties();
    void eventsBecomeSignals();
    void enumeratedProperties_data();
    void enumeratedProperties();
    void numbersReachTheControlAsTheyAre();
    void alarmCodesAreTyped();
    void savesEachPictureType_data();
    void savesEachPictureType();
    void internalTimerAndClick();
    void savesTheBytesOfARegistryMeter();
    void loadSettingsFailures();
    void valuesBeyondTheChannelsAreNotRead();
    void propertyPagesWithoutRegistry();
    void deletedWhileADialogIsOpen_data();
    void deletedWhileADialogIsOpen();
    void deletedWhileThePictureIsNamed();
};

void TestMeterWidget::propertyRoundTrip_data() {
    QTest::addColumn<const PropertyInfo*>("property");
    for (const PropertyInfo& p : PropertyTable::all())
        QTest::newRow(p.name) << &p;
}

void TestMeterWidget::propertyRoundTrip() {
    QFETCH(const PropertyInfo*, property);
    MeterWidget w;
    com::ControlSite& site = MeterWidgetPrivate::site(w);
    const QByteArray name = WidgetSurface::propertyName(QLatin1String(property->name)).toLatin1();
    const int index = w.metaObject()->indexOfProperty(name);
    QVERIFY2(index >= 0, name.constData());
    const QMetaProperty meta = w.metaObject()->property(index);
    QVERIFY(meta.isWritable());

    // Widget -> dispatch.
    const Sample first = asPropertyType(sampleFor(*property, 0), meta);
    QCOMPARE(meta.metaType(), first.widget.metaType());
    QVERIFY(w.setProperty(name, first.widget));
    com::Variant seen;
    QCOMPARE(site.getProperty(property->dispid, &seen), com::S_OK);
    QCOMPARE(seen, first.control);

    // Dispatch -> widget.
    const Sample second = asPropertyType(sampleFor(*property, 1), meta);
    QCOMPARE(site.setProperty(property->dispid, second.control), com::S_OK);
    QCOMPARE(w.property(name), second.widget);
}

void TestMeterWidget::listProperties_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("dispid");
    QTest::addColumn<QVariant>("values");
    QTest::addColumn<com::VariantList>("expected");
    const auto strings = [](std::initializer_list<const char*> l) {
        QStringList v;
        for (const char* s : l)
            v.append(QString::fromUtf8(s));
        return QVariant(v);
    };
    // Colours and numbers travel as texts, so that forms can store them; an entry that does
    // not read keeps what the meter had (black titles in sizes 8, 6 and 4).
    QTest::newRow("titles") << QByteArray("titleString") << int(dispid::TitleString)
                            << strings({"Humedad", "", "Sótano"})
                            << com::VariantList{"Humedad", "", "Sótano"};
    QTest::newRow("title fonts, short list keeps the rest")
        << QByteArray("titleFont") << int(dispid::TitleFont) << strings({"Courier"})
        << com::VariantList{"Courier", "Arial", "Arial"};
    QTest::newRow("title colours as 0x00BBGGRR")
        << QByteArray("titleColor") << int(dispid::TitleColor)
        << strings({"#112233", "#ff0000", "#0000ff"})
        << com::VariantList{std::int32_t(0x332211), std::int32_t(0x0000FF), std::int32_t(0xFF0000)};
    QTest::newRow("title colours, a bad name keeps its colour")
        << QByteArray("titleColor") << int(dispid::TitleColor) << strings({"#1122", "#010203"})
        << com::VariantList{std::int32_t(0), std::int32_t(0x030201), std::int32_t(0)};
    QTest::newRow("title sizes") << QByteArray("titleFontSize") << int(dispid::TitleFontSize)
                                 << strings({"12", "10", "9"})
                                 << com::VariantList{std::int32_t(12), std::int32_t(10),
                                                     std::int32_t(9)};
    QTest::newRow("title sizes, a bad number keeps its size")
        << QByteArray("titleFontSize") << int(dispid::TitleFontSize) << strings({"x", "", "14"})
        << com::VariantList{std::int32_t(8), std::int32_t(6), std::int32_t(14)};
    QTest::newRow("title styles") << QByteArray("titleFontStyle") << int(dispid::TitleFontStyle)
                                  << strings({"1", "2", "4"})
                                  << com::VariantList{std::int32_t(1), std::int32_t(2),
                                                      std::int32_t(4)};
    QTest::newRow("tag names, entries beyond five ignored")
        << QByteArray("channelTagName") << int(dispid::MeterChannelTagName)
        << strings({"a", "b", "c", "d", "e", "f"}) << com::VariantList{"a", "b", "c", "d", "e"};
    QTest::newRow("channel colours")
        << QByteArray("channelColor") << int(dispid::MeterChannelColor)
        << strings({"#010203", "#040506"})
        << com::VariantList{std::int32_t(0x030201), std::int32_t(0x060504)};
}

void TestMeterWidget::listProperties() {
    QFETCH(QByteArray, name);
    QFETCH(int, dispid);
    QFETCH(QVariant, values);
    QFETCH(com::VariantList, expected);
    MeterWidget w;
    com::ControlSite& site = MeterWidgetPrivate::site(w);
    const QMetaProperty meta = w.metaObject()->property(w.metaObject()->indexOfProperty(name));
    QCOMPARE(meta.metaType(), values.metaType());
    QVERIFY(meta.write(&w, values));
    for (int i = 0; i < expected.size(); ++i) {
        com::Variant seen;
        QCOMPARE(site.getIndexedProperty(dispid, i, &seen), com::S_OK);
        if (seen.type() == com::VarType::BStr || expected.at(i).type() == com::VarType::BStr)
            QCOMPARE(seen.stringValue(), expected.at(i).stringValue());
        else
            QCOMPARE(seen, expected.at(i));
    }
    // The whole list reads back with one entry per title or channel.
    const bool channels =
        dispid == dispid::MeterChannelColor || dispid == dispid::MeterChannelTagName;
    QCOMPARE(meta.read(&w).value<QVariantList>().size(), channels ? 5 : 3);
}

void TestMeterWidget::eventsBecomeSignals() {
    MeterWidget w;
    QSignalSpy ready(&w, &MeterWidget::drawReady);
    QSignalSpy alarms(&w, &MeterWidget::alarmChanged);
    fixture::paintSettled(w, *controlOf(w));
    QCOMPARE(ready.size(), 1);
    w.setValues({9.5});
    QCOMPARE(alarms.size(), 1);
    QCOMPARE(alarms.at(0),
             (QVariantList{0, QVariant::fromValue(MeterWidget::AlarmHigh), 9.5, true}));
    w.setValue(0, 5.0);
    QCOMPARE(alarms.size(), 2);
    QCOMPARE(alarms.at(1),
             (QVariantList{0, QVariant::fromValue(MeterWidget::AlarmOk), 5.0, false}));
}

// Each enumerated property by the name of one of its values, as forms and QSettings-like code
// write it: the control stores the number the drawing library reads, and the number reads back
// as that value.
void TestMeterWidget::enumeratedProperties_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("dispid");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("stored");
    QTest::newRow("type") << QByteArray("type") << int(dispid::MeterType) << QByteArray("PieMeter")
                          << 2;
    QTest::newRow("needle style") << QByteArray("needleStyle") << int(dispid::MeterNeedleStyle)
                                  << QByteArray("ShortHollowTriangle") << 3;
    QTest::newRow("tick position") << QByteArray("tickPosition") << int(dispid::MeterTickPosition)
                                   << QByteArray("TicksMiddle") << 3;
    QTest::newRow("tick labels position")
        << QByteArray("tickLabelsPosition") << int(dispid::MeterTickLabelsPosition)
        << QByteArray("LabelsOutside") << 4;
    QTest::newRow("window border style")
        << QByteArray("windowBorderStyle") << int(dispid::WindowBorderStyle)
        << QByteArray("NoWindowBorder") << 3;
    QTest::newRow("border style") << QByteArray("borderStyle") << int(dispid::MeterBorderStyle)
                                  << QByteArray("RoundedRectangleBorder") << 3;
}

void TestMeterWidget::enumeratedProperties() {
    QFETCH(QByteArray, name);
    QFETCH(int, dispid);
    QFETCH(QByteArray, key);
    QFETCH(int, stored);
    MeterWidget w;
    com::ControlSite& site = MeterWidgetPrivate::site(w);
    const QMetaProperty meta = w.metaObject()->property(w.metaObject()->indexOfProperty(name));
    QVERIFY(meta.isEnumType());
    QVERIFY(meta.write(&w, QString::fromLatin1(key)));
    com::Variant seen;
    QCOMPARE(site.getProperty(dispid, &seen), com::S_OK);
    QCOMPARE(seen, com::Variant(std::int32_t(stored)));

    QCOMPARE(site.setProperty(dispid, com::Variant(std::int32_t(0))), com::S_OK);
    QCOMPARE(site.setProperty(dispid, com::Variant(std::int32_t(stored))), com::S_OK);
    const QVariant read = meta.read(&w);
    QCOMPARE(read.metaType(), meta.metaType());
    QCOMPARE(meta.enumerator().valueToKey(read.toInt()), key.constData());
}

// Code and forms written when the properties were numbers: the setters taking a number and
// QVariant numbers still set them, a number no value names included (the control draws no
// meter for type 3), and the getters compare with numbers.
void TestMeterWidget::numbersReachTheControlAsTheyAre() {
    MeterWidget w;
    com::ControlSite& site = MeterWidgetPrivate::site(w);
    w.setType(1);
    QCOMPARE(w.type(), MeterWidget::ArcMeter);
    w.setType(3);
    com::Variant seen;
    QCOMPARE(site.getProperty(dispid::MeterType, &seen), com::S_OK);
    QCOMPARE(seen, com::Variant(std::int32_t(3)));
    QCOMPARE(int(w.type()), 3);
    QVERIFY(w.setProperty("needleStyle", 2));
    QCOMPARE(w.needleStyle(), MeterWidget::ShortFilledTriangle);
    QVERIFY(w.needleStyle() == 2);
    w.setBorderStyle(4); // the General page's empty fifth entry
    QCOMPARE(int(w.borderStyle()), 4);
    w.setType(MeterWidget::PieMeter);
    QCOMPARE(w.property("type").toInt(), 2);
}

void TestMeterWidget::alarmCodesAreTyped() {
    MeterWidget w;
    QList<MeterWidget::AlarmCode> codes;
    QList<int> numbers;
    connect(&w, &MeterWidget::alarmChanged, this,
            [&](int, MeterWidget::AlarmCode code, double, bool) { codes.append(code); });
    // A handler written for the numbers still connects.
    connect(&w, &MeterWidget::alarmChanged, this,
            [&](int, int code, double, bool) { numbers.append(code); });
    QSignalSpy spy(&w, &MeterWidget::alarmChanged);
    fixture::paintSettled(w, *controlOf(w));
    for (const double v : {9.5, 5.0, 0.5, 5.0})
        w.setValue(0, v);
    const QList<MeterWidget::AlarmCode> expected{MeterWidget::AlarmHigh, MeterWidget::AlarmOk,
                                                 MeterWidget::AlarmLow, MeterWidget::AlarmOk};
    QCOMPARE(codes, expected);
    QCOMPARE(numbers, (QList<int>{1, 0, 2, 0}));
    QCOMPARE(spy.size(), 4);
    QCOMPARE(spy.at(0).at(1).metaType(), QMetaType::fromType<MeterWidget::AlarmCode>());
    QCOMPARE(spy.at(2).at(1).value<MeterWidget::AlarmCode>(), MeterWidget::AlarmLow);
}

void TestMeterWidget::savesEachPictureType_data() {
    QTest::addColumn<MeterWidget::PictureType>("type");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("svg") << MeterWidget::SvgPicture << QStringLiteral("meter.svg")
                         << QByteArray("<?xml");
    QTest::newRow("pdf") << MeterWidget::PdfPicture << QStringLiteral("meter.pdf")
                         << QByteArray("%PDF");
    QTest::newRow("png") << MeterWidget::PngPicture << QStringLiteral("meter.png")
                         << QByteArray("\x89PNG");
}

void TestMeterWidget::savesEachPictureType() {
    QFETCH(MeterWidget::PictureType, type);
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    MeterWidget w;
    fixture::paintSettled(w, *controlOf(w));
    QVERIFY(w.savePicture(type, dir.filePath(file)));
    QVERIFY(testsupport::fileBytes(dir.filePath(file)).startsWith(start));
    QVERIFY(!w.savePicture(MeterWidget::PictureType(4), dir.filePath(QStringLiteral("x.emf"))));
}

void TestMeterWidget::internalTimerAndClick() {
    MeterWidget w;
    QSignalSpy ticks(&w, &MeterWidget::internalTimer);
    QSignalSpy clicks(&w, &MeterWidget::clicked);
    w.setEnableInternalTimer(true);
    w.updateMeter();
    fixture::paintSettled(w, *controlOf(w));
    controlOf(w)->deliverTimer(MeterTimerMath::kTimerId);
    QCOMPARE(ticks.size(), 1);
    QTest::mouseClick(controlOf(w)->drawingWindow(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(clicks.size(), 1);
}

void TestMeterWidget::savesTheBytesOfARegistryMeter() {
    QTemporaryDir dir;
    const testsupport::ScopedEnv registry("BRISORA_REGISTRY",
                                          dir.filePath(QStringLiteral("registry.json")));
    QCOMPARE(com::loader::registerModule(testsupport::built(QStringLiteral("GAUGEKIT.so"))),
             com::S_OK);
    com::ControlSite registered;
    QCOMPARE(registered.createByProgId(QLatin1String(kIds.progId)), com::S_OK);
    QCOMPARE(registered.initNew(), com::S_OK);

    MeterWidget w;
    w.setScaleMax(120.0);
    w.setHighAlarmColor(QColor(0x10, 0x20, 0x30));
    w.setUnitsString(QStringLiteral("kPa"));
    w.setTitleString({QStringLiteral("Presión")});
    QVERIFY(com::succeeded(registered.setProperty(dispid::MeterScaleMax, 120.0)));
    QVERIFY(com::succeeded(
        registered.setProperty(dispid::MeterHighAlarmColor, std::int32_t(0x302010))));
    QVERIFY(
        com::succeeded(registered.setProperty(dispid::MeterUnitsString, QStringLiteral("kPa"))));
    QVERIFY(com::succeeded(
        registered.setIndexedProperty(dispid::TitleString, 0, QStringLiteral("Presión"))));

    const QString fromWidget = dir.filePath(QStringLiteral("widget.SER"));
    const QString fromRegistry = dir.filePath(QStringLiteral("registry.SER"));
    QVERIFY(w.saveSettings(fromWidget));
    com::Variant saved;
    QCOMPARE(registered.callMethod(dispid::SerializeSaveFile, {fromRegistry}, &saved), com::S_OK);
    QVERIFY(saved.boolValue());
    QCOMPARE(testsupport::fileBytes(fromWidget), testsupport::fileBytes(fromRegistry));

    // And back: the registry meter's file gives a widget its settings.
    QVERIFY(com::succeeded(registered.setProperty(dispid::MeterScaleMin, -5.0)));
    QVERIFY(com::succeeded(registered.callMethod(dispid::SerializeSaveFile, {fromRegistry})));
    MeterWidget loaded;
    QVERIFY(loaded.loadSettings(fromRegistry));
    QCOMPARE(loaded.scaleMin(), -5.0);
    QCOMPARE(loaded.highAlarmColor(), QColor(0x10, 0x20, 0x30));
    QCOMPARE(loaded.titleString().value(0), QStringLiteral("Presión"));
}

void TestMeterWidget::loadSettingsFailures() {
    QTemporaryDir dir;
    MeterWidget w;
    w.setScaleMax(50.0);
    QVERIFY(!w.loadSettings(dir.filePath(QStringLiteral("missing.SER"))));
    QFile shortFile(dir.filePath(QStringLiteral("short.SER")));
    QVERIFY(shortFile.open(QIODevice::WriteOnly));
    shortFile.write("\x01\x00\x01\x00", 4);
    shortFile.close();
    QVERIFY(!w.loadSettings(shortFile.fileName()));
    QVERIFY(!w.copyToClipboard());
    QVERIFY(!w.savePicture(2, dir.filePath(QStringLiteral("meter.emf"))));
}

void TestMeterWidget::valuesBeyondTheChannelsAreNotRead() {
    MeterWidget w;
    w.setNumChannels(2);
    w.updateMeter();
    fixture::paintSettled(w, *controlOf(w));
    w.setValues({1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0});
    const auto values = controlOf(w)->model().usedValues();
    QCOMPARE(values.size(), std::size_t(2));
    QCOMPARE(values[1], 2.0);
    // Fewer values than channels: only those given are replaced.
    w.setValues({8.0});
    QCOMPARE(controlOf(w)->model().usedValues()[0], 8.0);
    QCOMPARE(controlOf(w)->model().usedValues()[1], 2.0);
    w.setValues({});
}

void TestMeterWidget::propertyPagesWithoutRegistry() {
    // An empty registry: the pages must come from this process.
    QTemporaryDir dir;
    const testsupport::ScopedEnv registry("BRISORA_REGISTRY",
                                          dir.filePath(QStringLiteral("empty.json")));
    MeterWidget w;
    QStringList tabs;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* frame = qobject_cast<com::PropertyFrame*>(QApplication::activeModalWidget());
        if (!frame)
            return;
        title = frame->windowTitle();
        for (int i = 0; i < frame->tabs()->count(); ++i)
            tabs.append(frame->tabs()->tabText(i));
        frame->reject();
    });
    QVERIFY(w.showPropertyPages());
    QCOMPARE(title, QStringLiteral("Meter Properties"));
    QCOMPARE(tabs.size(), 5);
}

void TestMeterWidget::deletedWhileADialogIsOpen_data() {
    QTest::addColumn<Dialog>("dialog");
    QTest::addColumn<bool>("deleteWindow");
    QTest::newRow("property pages, meter deleted") << Dialog::PropertyPages << false;
    QTest::newRow("property pages, window deleted") << Dialog::PropertyPages << true;
    QTest::newRow("picture file, meter deleted") << Dialog::PictureFile << false;
    QTest::newRow("picture file, window deleted") << Dialog::PictureFile << true;
}

// The dialog was a stack object the meter owned as its child: deleting the meter or its
// window while the dialog ran freed it twice.
void TestMeterWidget::deletedWhileADialogIsOpen() {
    QFETCH(Dialog, dialog);
    QFETCH(bool, deleteWindow);
    const forms::CommonDialog::Handlers realDialogs = forms::CommonDialog::setHandlers({});
    auto* window = new QWidget;
    QPointer<MeterWidget> w = new MeterWidget(window);
    window->resize(300, 300);
    window->show();
    fixture::paintSettled(*w, *controlOf(*w));
    deleteOnceModal(deleteWindow ? window : static_cast<QWidget*>(w.data()));
    const bool shown = dialog == Dialog::PropertyPages ? w->showPropertyPages()
                                                       : w->savePicture(lum::kMetafileSvg, {});
    QVERIFY(!shown);
    QVERIFY(w.isNull());
    QVERIFY(!QApplication::activeModalWidget());
    if (!deleteWindow)
        delete window;
    forms::CommonDialog::setHandlers(realDialogs);
}

// The meter went while its file dialog was asking, and the dialog still named a file.
void TestMeterWidget::deletedWhileThePictureIsNamed() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("meter.svg"));
    QPointer<MeterWidget> w = new MeterWidget;
    fixture::paintSettled(*w, *controlOf(*w));
    forms::CommonDialog::Handlers hooks;
    hooks.file = [&](const forms::FileRequest&) -> std::optional<QString> {
        delete w.data();
        return target;
    };
    const forms::CommonDialog::Handlers previous = forms::CommonDialog::setHandlers(hooks);
    const bool saved = w->savePicture(lum::kMetafileSvg, {});
    forms::CommonDialog::setHandlers(previous);
    QVERIFY(!saved);
    QVERIFY(w.isNull());
    QVERIFY(!QFile::exists(target));
}

QTEST_MAIN(TestMeterWidget)
#include "tst_meterwidget.moc"
