// The meter's Designer plugin as Designer meets it, a form holding a meter as QUiLoader reads
// it, and the snapshot that tells the form what the property pages changed.
#include "PropertySnapshot.h"
#include "ui_meterenums.h"

#include <GaugeKit/MeterWidget.h>

#include <QAction>
#include <QBuffer>
#include <QDesignerFormEditorInterface>
#include <QDesignerTaskMenuExtension>
#include <QDir>
#include <QExtensionManager>
#include <QFile>
#include <QFormBuilder>
#include <QImage>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QTest>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

#include <TestFiles.h>

// A change made to a meter, and whether a meter shows it.
using Edit = std::function<void(GaugeKit::MeterWidget&)>;
using Check = std::function<bool(const GaugeKit::MeterWidget&)>;
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Check)

namespace {

QString pluginFolder() {
    return testsupport::built(QStringLiteral("designer"));
}

QDesignerCustomWidgetInterface* loadPlugin(QPluginLoader& loader) {
    loader.setFileName(QDir(pluginFolder()).filePath(QStringLiteral("libgaugekitdesigner.so")));
    if (!loader.load())
        qWarning() << loader.errorString();
    return qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
}

// The part of Designer's core a plugin uses: the extension manager.
class Core : public QDesignerFormEditorInterface {
public:
    Core() { setExtensionManager(new QExtensionManager(this)); }
};

QString formFile(const QString& name = QStringLiteral("meter.ui")) {
    return QDir(qEnvironmentVariable("BRISORA_SOURCE_DIR"))
        .filePath(QStringLiteral("tests/meter/designer/") + name);
}

// The meter of meterenums.ui has the values that form names, by number or by enumeration.
void checkEnumeratedForm(const GaugeKit::MeterWidget& meter) {
    using M = GaugeKit::MeterWidget;
    QCOMPARE(meter.type(), M::ArcMeter);
    QCOMPARE(meter.needleStyle(), M::ThinLine);
    QCOMPARE(meter.borderStyle(), M::CircleBorder);
    QCOMPARE(meter.tickPosition(), M::TicksMiddle);
    QCOMPARE(meter.windowBorderStyle(), M::DeepBorder);
    QCOMPARE(meter.tickLabelsPosition(), M::LabelsInside);
}

// Three entries unlike the defaults for the list property `name`.
QStringList textsFor(const QByteArray& name) {
    if (name.endsWith("Color"))
        return {QStringLiteral("#0a141e"), QStringLiteral("#28323c"), QStringLiteral("#46505a")};
    if (name.startsWith("titleFontS"))
        return {QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("7")};
    return {QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("tres")};
}

// The value after `current` in the list of the enumerated property `p`, the first after the last.
QVariant nextValue(const QMetaProperty& p, int current) {
    const QMetaEnum e = p.enumerator();
    int i = 0;
    while (i < e.keyCount() && e.value(i) != current)
        ++i;
    const int next = e.value((i + 1) % e.keyCount());
    return QVariant(p.metaType(), &next);
}

// Qt 6.4's form builder writes an enumerated property only when its value comes as a number (it
// cannot write QWidget's own focusPolicy either); Designer writes them itself.
class EnumerationsAsNumbers : public QFormBuilder {
protected:
    DomProperty* createProperty(QObject* object, const QString& name,
                                const QVariant& value) override {
        if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
            return QFormBuilder::createProperty(object, name, value.toInt());
        return QFormBuilder::createProperty(object, name, value);
    }
};

} // namespace

class TestMeterDesigner : public QObject {
    Q_OBJECT
private slots:
    void pluginCreatesAMeter();
    void pluginIconIsTheMeter();
    void enumerationsAreListsInDesigner_data();
    void enumerationsAreListsInDesigner();
    void formWithNumbersAndEnumerationsLoads();
    void formWithNumbersAndEnumerationsBuildsWithUic();
    void taskMenuOffersThePropertyPages();
    void formWithAMeterLoads();
    void everyDesignablePropertyTravelsInAForm();
    void snapshotNamesWhatChanged();
    void snapshotCarriesTitleAndChannelLists_data();
    void snapshotCarriesTitleAndChannelLists();
};

void TestMeterDesigner::pluginCreatesAMeter() {
    QPluginLoader loader;
    QDesignerCustomWidgetInterface* plugin = loadPlugin(loader);
    QVERIFY(plugin);
    QCOMPARE(plugin->name(), QStringLiteral("GaugeKit::MeterWidget"));
    QCOMPARE(plugin->group(), QStringLiteral("GAUGEKIT"));
    QCOMPARE(plugin->includeFile(), QStringLiteral("GaugeKit/MeterWidget.h"));
    QVERIFY(!plugin->isContainer());
    QVERIFY(plugin->domXml().contains(QLatin1String("class=\"GaugeKit::MeterWidget\"")));
    QVERIFY(!plugin->icon().isNull());

    std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
    QVERIFY(widget);
    QCOMPARE(widget->metaObject()->className(), "GaugeKit::MeterWidget");
    QCOMPARE(widget->property("scaleMax"), QVariant(10.0));
    QCOMPARE(widget->property("titleString"), QVariant(QStringList{"Meter", QString(), "Ondavia"}));
    QVERIFY(qobject_cast<GaugeKit::MeterWidget*>(widget.get()));
}

// The widget box shows the meter's own picture (the grey face with its alarm arcs), not an
// empty icon that Designer replaces with its generic one.
void TestMeterDesigner::pluginIconIsTheMeter() {
    QPluginLoader loader;
    QDesignerCustomWidgetInterface* plugin = loadPlugin(loader);
    QVERIFY(plugin);
    for (const int size : {16, 22, 32}) {
        const QImage icon = plugin->icon().pixmap(size, size).toImage();
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(size)));
        // Below the hub: the face's grey.
        QCOMPARE(icon.pixelColor(size / 2, size * 7 / 8), QColor(0xc0, 0xc0, 0xc0));
    }
}

// The property editor shows an enumerated property as a list of its values' names.
void TestMeterDesigner::enumerationsAreListsInDesigner_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("initial");
    QTest::newRow("type") << QByteArray("type")
                          << QStringList{"NeedleMeter", "ArcMeter", "PieMeter"}
                          << QStringLiteral("NeedleMeter");
    QTest::newRow("needleStyle") << QByteArray("needleStyle") << QStringList{"ThinLine",
                                                                             "ThickLine",
                                                                             "ShortFilledTriangle",
                                                                             "ShortHollowTriangle",
                                                                             "LongFilledTriangle",
                                                                             "LongHollowTriangle"}
                                 << QStringLiteral("LongHollowTriangle");
    QTest::newRow("tickPosition") << QByteArray("tickPosition")
                                  << QStringList{"TicksInside", "TicksMiddle", "TicksOutside"}
                                  << QStringLiteral("TicksInside");
    QTest::newRow("tickLabelsPosition")
        << QByteArray("tickLabelsPosition") << QStringList{"LabelsInside", "LabelsOutside"}
        << QStringLiteral("LabelsInside");
    QTest::newRow("windowBorderStyle")
        << QByteArray("windowBorderStyle")
        << QStringList{"FlatBorder", "HighBorder", "DeepBorder", "NoWindowBorder"}
        << QStringLiteral("FlatBorder");
    QTest::newRow("borderStyle") << QByteArray("borderStyle")
                                 << QStringList{"NoBorder", "RectangleBorder", "CircleBorder",
                                                "RoundedRectangleBorder"}
                                 << QStringLiteral("NoBorder");
}

void TestMeterDesigner::enumerationsAreListsInDesigner() {
    QFETCH(QByteArray, name);
    QFETCH(QStringList, keys);
    QFETCH(QString, initial);
    QPluginLoader loader;
    QDesignerCustomWidgetInterface* plugin = loadPlugin(loader);
    QVERIFY(plugin);
    std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
    const QMetaObject* meta = widget->metaObject();
    const QMetaProperty p = meta->property(meta->indexOfProperty(name));
    QVERIFY(p.isDesignable());
    QVERIFY(p.isEnumType());
    QVERIFY(!p.isFlagType());
    const QMetaEnum e = p.enumerator();
    QCOMPARE(QLatin1String(e.scope()), QLatin1String("GaugeKit::MeterWidget"));
    QStringList seen;
    for (int i = 0; i < e.keyCount(); ++i)
        seen.append(QString::fromLatin1(e.key(i)));
    QCOMPARE(seen, keys);
    QCOMPARE(QString::fromLatin1(e.valueToKey(p.read(widget.get()).toInt())), initial);
}

void TestMeterDesigner::formWithNumbersAndEnumerationsLoads() {
    QUiLoader loader;
    loader.addPluginPath(pluginFolder());
    QFile file(formFile(QStringLiteral("meterenums.ui")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> form(loader.load(&file));
    QVERIFY2(form, qPrintable(loader.errorString()));
    auto* meter = form->findChild<GaugeKit::MeterWidget*>(QStringLiteral("pressure"));
    QVERIFY(meter);
    checkEnumeratedForm(*meter);
}

void TestMeterDesigner::formWithNumbersAndEnumerationsBuildsWithUic() {
    QWidget form;
    Ui::Enumerated ui;
    ui.setupUi(&form);
    checkEnumeratedForm(*ui.pressure);
}

void TestMeterDesigner::taskMenuOffersThePropertyPages() {
    QPluginLoader loader;
    QDesignerCustomWidgetInterface* plugin = loadPlugin(loader);
    QVERIFY(plugin);
    Core core;
    plugin->initialize(&core);
    QVERIFY(plugin->isInitialized());
    std::unique_ptr<QWidget> meter(plugin->createWidget(nullptr));
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), meter.get());
    QVERIFY(menu);
    QCOMPARE(menu->taskActions().size(), 1);
    QCOMPARE(menu->taskActions().at(0)->text(), QStringLiteral("Edit Meter Properties..."));
    QCOMPARE(menu->preferredEditAction(), menu->taskActions().at(0));
    // Other widgets get no entry.
    QWidget plain;
    QVERIFY(!qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), &plain));
}

void TestMeterDesigner::formWithAMeterLoads() {
    QUiLoader loader;
    loader.addPluginPath(pluginFolder());
    QVERIFY(loader.availableWidgets().contains(QStringLiteral("GaugeKit::MeterWidget")));
    QFile file(formFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> form(loader.load(&file));
    QVERIFY2(form, qPrintable(loader.errorString()));
    auto* meter = form->findChild<GaugeKit::MeterWidget*>(QStringLiteral("humidity"));
    QVERIFY(meter);
    QCOMPARE(meter->scaleMax(), 100.0);
    QCOMPARE(meter->highAlarmStart(), 80.0);
    QCOMPARE(meter->highAlarmColor(), QColor(200, 16, 32));
    QCOMPARE(meter->unitsString(), QStringLiteral("%"));
    QCOMPARE(meter->numChannels(), 2);
    QCOMPARE(meter->alarmArcsEnable(), false);
    QCOMPARE(meter->titleString(), (QStringList{"Humedad", QString(), "Sótano"}));
    // What the form does not name keeps the control's default.
    QCOMPARE(meter->scaleMin(), 0.0);
    QCOMPARE(meter->windowBackgroundColor(), QColor(0xC0, 0xC0, 0xC0));
}

void TestMeterDesigner::everyDesignablePropertyTravelsInAForm() {
    QWidget form;
    form.setObjectName(QStringLiteral("Form"));
    auto* meter = new GaugeKit::MeterWidget(&form);
    meter->setObjectName(QStringLiteral("meter"));
    // A value unlike the default for every designable property of the meter.
    const QMetaObject* meta = meter->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isDesignable())
            continue;
        QVariant v = p.read(meter);
        switch (v.typeId()) {
        case QMetaType::Int:
            v = v.toInt() + 2;
            break;
        case QMetaType::Double:
            v = v.toDouble() + 0.5;
            break;
        case QMetaType::Bool:
            v = !v.toBool();
            break;
        case QMetaType::QString:
            v = QStringLiteral("Añil");
            break;
        case QMetaType::QStringList:
            v = textsFor(p.name());
            break;
        case QMetaType::QColor:
            v = QColor(10, 20, 30);
            break;
        default:
            if (p.isEnumType()) {
                v = nextValue(p, v.toInt());
                break;
            }
            QFAIL(p.name());
        }
        QVERIFY(p.write(meter, v));
    }
    const PropertySnapshot written(*meter);
    // The 53 scalar properties and the seven lists, all changed.
    const GaugeKit::MeterWidget fresh;
    QCOMPARE(written.changedSince(PropertySnapshot(fresh)).size(), 60);

    QBuffer ui;
    ui.open(QIODevice::WriteOnly);
    EnumerationsAsNumbers().save(&ui, &form);
    ui.close();
    QUiLoader loader;
    loader.addPluginPath(pluginFolder());
    ui.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> loaded(loader.load(&ui));
    QVERIFY2(loaded, qPrintable(loader.errorString()));
    auto* back = loaded->findChild<GaugeKit::MeterWidget*>(QStringLiteral("meter"));
    QVERIFY(back);
    QCOMPARE(PropertySnapshot(*back).changedSince(written), QStringList());
}

void TestMeterDesigner::snapshotNamesWhatChanged() {
    GaugeKit::MeterWidget meter;
    const PropertySnapshot before(meter);
    meter.setScaleMax(42.0);
    meter.setLineColor(Qt::red);
    meter.setTitleColor({Qt::blue});
    meter.setMinimumWidth(10); // QWidget's own: the form editor tracks it itself
    const PropertySnapshot after(meter);
    QCOMPARE(after.changedSince(before), (QStringList{"lineColor", "scaleMax", "titleColor"}));
    QCOMPARE(after.value(QStringLiteral("scaleMax")), QVariant(42.0));
    QVERIFY(after.changedSince(after).isEmpty());
}

// The title colours, sizes and styles and the channel colours, once left out of forms: what
// the property pages set reaches the snapshot as texts a form stores, and those texts give
// another meter the same setting.
void TestMeterDesigner::snapshotCarriesTitleAndChannelLists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Check>("matches");
    using Meter = GaugeKit::MeterWidget;
    const QList<QColor> titleColors{QColor(1, 2, 3), QColor(Qt::red), QColor(Qt::white)};
    const QList<QColor> channelColors{QColor(Qt::green), QColor(4, 5, 6), QColor(7, 8, 9),
                                      QColor(Qt::black), QColor(Qt::gray)};
    QTest::newRow("title colours")
        << QStringLiteral("titleColor") << Edit([=](Meter& m) { m.setTitleColor(titleColors); })
        << QStringList{"#010203", "#ff0000", "#ffffff"}
        << Check([=](const Meter& m) { return m.titleColor() == titleColors; });
    QTest::newRow("title sizes") << QStringLiteral("titleFontSize") << Edit([](Meter& m) {
        m.setTitleFontSize({20, 16, 11});
    }) << QStringList{"20", "16", "11"}
                                 << Check([](const Meter& m) {
                                        return m.titleFontSize() == QList{20, 16, 11};
                                    });
    QTest::newRow("title styles") << QStringLiteral("titleFontStyle") << Edit([](Meter& m) {
        m.setTitleFontStyle({1, 6, 7});
    }) << QStringList{"1", "6", "7"}
                                  << Check([](const Meter& m) {
                                         return m.titleFontStyle() == QList{1, 6, 7};
                                     });
    QTest::newRow("channel colours")
        << QStringLiteral("channelColor")
        << Edit([=](Meter& m) { m.setChannelColor(channelColors); })
        << QStringList{"#00ff00", "#040506", "#070809", "#000000", "#a0a0a4"}
        << Check([=](const Meter& m) { return m.channelColor() == channelColors; });
}

void TestMeterDesigner::snapshotCarriesTitleAndChannelLists() {
    QFETCH(QString, name);
    QFETCH(Edit, edit);
    QFETCH(QStringList, texts);
    QFETCH(Check, matches);
    GaugeKit::MeterWidget meter;
    const PropertySnapshot before(meter);
    edit(meter);
    const PropertySnapshot after(meter);
    QCOMPARE(after.changedSince(before), QStringList{name});
    QCOMPARE(after.value(name), QVariant(texts));

    GaugeKit::MeterWidget other;
    QVERIFY(!matches(other));
    QVERIFY(other.setProperty(qPrintable(name), after.value(name)));
    QVERIFY(matches(other));
}

QTEST_MAIN(TestMeterDesigner)
#include "tst_meterdesigner.moc"
