// The meter's dispatch interface: names, coercions, errors, indexed properties, values.
#include "GaugeKitIds.h"
#include "MeterDispatch.h"
#include "MeterFixture.h"

#include <QScopeGuard>
#include <QTest>

using namespace gaugekit;
using fixture::Meter;

class TestMeterDispatch : public QObject {
    Q_OBJECT
private slots:
    void namesAndIdentifiers_data();
    void namesAndIdentifiers();
    void putCoercesAsAutomation_data();
    void putCoercesAsAutomation();
    void errorsLeaveTheMeterAsItWas_data();
    void errorsLeaveTheMeterAsItWas();
    void newMeterReportsTheDesignedDefaults_data();
    void newMeterReportsTheDesignedDefaults();
    void indexedDefaults();
    void changeStepsReachTheModel();
    void updateDataValueStaysWithinTheChannels();
    void updateDynDataReadsNoMoreThanGiven();
    void interfaceDescription();
};

void TestMeterDispatch::namesAndIdentifiers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("dispid");
    QTest::newRow("first property") << "WindowBackgroundColor" << 1;
    QTest::newRow("any case") << "meterscalemax" << 38;
    QTest::newRow("last property") << "SDataSimulationMode" << 53;
    QTest::newRow("tick length") << "MeterTickRelLength" << 40;
    QTest::newRow("method") << "UpdateDynData" << 59;
    QTest::newRow("indexed") << "MeterChannelTagName" << 68;
    QTest::newRow("about box") << "AboutBox" << -552;
}

void TestMeterDispatch::namesAndIdentifiers() {
    QFETCH(QString, name);
    QFETCH(int, dispid);
    Meter m;
    com::DispId id = 0;
    QCOMPARE(m->GetIDOfName(name, &id), com::S_OK);
    QCOMPARE(id, dispid);
}

void TestMeterDispatch::putCoercesAsAutomation_data() {
    QTest::addColumn<int>("dispid");
    QTest::addColumn<com::Variant>("value");
    QTest::addColumn<com::Variant>("stored");
    QTest::newRow("short to long")
        << 15 << com::Variant(std::int16_t(3)) << com::Variant(std::int32_t(3));
    QTest::newRow("double rounds half to even")
        << 29 << com::Variant(2.5) << com::Variant(std::int32_t(2));
    QTest::newRow("text to long") << 36 << com::Variant("12") << com::Variant(std::int32_t(12));
    QTest::newRow("text to double") << 38 << com::Variant("115.5") << com::Variant(115.5);
    QTest::newRow("long to double") << 37 << com::Variant(std::int32_t(-5)) << com::Variant(-5.0);
    QTest::newRow("number to boolean") << 9 << com::Variant(std::int32_t(0)) << com::Variant(false);
    QTest::newRow("any non-zero is true")
        << 20 << com::Variant(std::int32_t(7)) << com::Variant(true);
    QTest::newRow("number to text") << 33 << com::Variant(std::int32_t(42)) << com::Variant("42");
    QTest::newRow("colour with high bits")
        << 1 << com::Variant(std::int32_t(0xFFFFFF)) << com::Variant(std::int32_t(0xFFFFFF));
}

void TestMeterDispatch::putCoercesAsAutomation() {
    QFETCH(int, dispid);
    QFETCH(com::Variant, value);
    QFETCH(com::Variant, stored);
    Meter m;
    QCOMPARE(m.put(dispid, value), com::S_OK);
    QCOMPARE(m.get(dispid), stored);
}

void TestMeterDispatch::errorsLeaveTheMeterAsItWas_data() {
    QTest::addColumn<int>("dispid");
    QTest::addColumn<int>("flags");
    QTest::addColumn<com::VariantList>("args");
    QTest::addColumn<com::HRESULT>("error");
    const int put = com::DISPATCH_PROPERTYPUT;
    const int get = com::DISPATCH_PROPERTYGET;
    QTest::newRow("unknown member")
        << 69 << put << com::VariantList{1} << com::DISP_E_MEMBERNOTFOUND;
    QTest::newRow("text that is no number")
        << 38 << put << com::VariantList{"ten"} << com::DISP_E_TYPEMISMATCH;
    QTest::newRow("double too large for a long")
        << 36 << put << com::VariantList{1e12} << com::DISP_E_OVERFLOW;
    QTest::newRow("missing value") << 38 << put << com::VariantList{} << com::DISP_E_BADPARAMCOUNT;
    QTest::newRow("title -1") << 62 << put << com::VariantList{-1, "x"} << com::DISP_E_BADINDEX;
    QTest::newRow("title 3") << 62 << put << com::VariantList{3, "x"} << com::DISP_E_BADINDEX;
    QTest::newRow("title size 3 read") << 66 << get << com::VariantList{3} << com::DISP_E_BADINDEX;
    QTest::newRow("channel 5") << 67 << put << com::VariantList{5, 1} << com::DISP_E_BADINDEX;
    QTest::newRow("tag name -1 read") << 68 << get << com::VariantList{-1} << com::DISP_E_BADINDEX;
    QTest::newRow("values not by reference")
        << 59 << int(com::DISPATCH_METHOD) << com::VariantList{1.0} << com::DISP_E_TYPEMISMATCH;
}

void TestMeterDispatch::errorsLeaveTheMeterAsItWas() {
    QFETCH(int, dispid);
    QFETCH(int, flags);
    QFETCH(com::VariantList, args);
    QFETCH(com::HRESULT, error);
    Meter m;
    const QByteArray before = m.saveStream();
    com::Variant result;
    QCOMPARE(m->Invoke(dispid, std::uint16_t(flags), args, &result), error);
    QCOMPARE(m.saveStream(), before);
}

// Every property of a new meter, those that are not stored included, as designed: created,
// and then reset as a container does with a new control.
void TestMeterDispatch::newMeterReportsTheDesignedDefaults_data() {
    QTest::addColumn<int>("dispid");
    QTest::addColumn<com::Variant>("value");
    QTest::newRow("1 WindowBackgroundColor") << 1 << com::Variant(std::int32_t(0xC0C0C0));
    QTest::newRow("2 WindowBorderColor") << 2 << com::Variant(std::int32_t(0));
    QTest::newRow("3 PlotBackgroundColor") << 3 << com::Variant(std::int32_t(0xFFFFFF));
    QTest::newRow("4 WindowBorderStyle") << 4 << com::Variant(std::int32_t(0));
    QTest::newRow("5 WindowResizeMode") << 5 << com::Variant(std::int32_t(10));
    QTest::newRow("6 WindowBorderThickness") << 6 << com::Variant(std::int32_t(1));
    QTest::newRow("7 MeterType") << 7 << com::Variant(std::int32_t(0));
    QTest::newRow("8 MeterNeedleStyle") << 8 << com::Variant(std::int32_t(5));
    QTest::newRow("9 MeterDynTextEnable") << 9 << com::Variant(true);
    QTest::newRow("10 MeterArcEnable") << 10 << com::Variant(true);
    QTest::newRow("11 MeterCenterX") << 11 << com::Variant(0.5);
    QTest::newRow("12 MeterCenterY") << 12 << com::Variant(0.5);
    QTest::newRow("13 MeterDynTextPrecision") << 13 << com::Variant(std::int32_t(1));
    QTest::newRow("14 MeterDiameter") << 14 << com::Variant(0.5);
    QTest::newRow("15 MeterNumChannels") << 15 << com::Variant(std::int32_t(1));
    QTest::newRow("16 MeterStartArc") << 16 << com::Variant(std::int32_t(0));
    QTest::newRow("17 MeterStopArc") << 17 << com::Variant(std::int32_t(180));
    QTest::newRow("18 MeterLowAlarmColor") << 18 << com::Variant(std::int32_t(0x800000));
    QTest::newRow("19 MeterHighAlarmColor") << 19 << com::Variant(std::int32_t(128));
    QTest::newRow("20 MeterAlarmArcsEnable") << 20 << com::Variant(true);
    QTest::newRow("21 MeterAlarmArcThickness") << 21 << com::Variant(0.1);
    QTest::newRow("22 MeterHighAlarmStart") << 22 << com::Variant(9.0);
    QTest::newRow("23 MeterHighAlarmStop") << 23 << com::Variant(10.0);
    QTest::newRow("24 MeterLowAlarmStart") << 24 << com::Variant(0.0);
    QTest::newRow("25 MeterLowAlarmStop") << 25 << com::Variant(1.0);
    QTest::newRow("26 MeterTickPosition") << 26 << com::Variant(std::int32_t(0));
    QTest::newRow("27 MeterTickLabelsPosition") << 27 << com::Variant(std::int32_t(0));
    QTest::newRow("28 MeterTickLabelsColor") << 28 << com::Variant(std::int32_t(0));
    QTest::newRow("29 MeterTickLabelsSize") << 29 << com::Variant(std::int32_t(8));
    QTest::newRow("30 MeterTickLabelsFontStyle") << 30 << com::Variant(std::int32_t(0));
    QTest::newRow("31 MeterTickLabelsFont") << 31 << com::Variant(QStringLiteral("Arial"));
    QTest::newRow("32 MeterLineColor") << 32 << com::Variant(std::int32_t(0));
    QTest::newRow("33 MeterUnitsString") << 33 << com::Variant(QString());
    QTest::newRow("34 MeterUnitsStringEnable") << 34 << com::Variant(false);
    QTest::newRow("35 MeterLineThickness") << 35 << com::Variant(std::int32_t(1));
    QTest::newRow("36 MeterMinorTicks") << 36 << com::Variant(std::int32_t(3));
    QTest::newRow("37 MeterScaleMin") << 37 << com::Variant(0.0);
    QTest::newRow("38 MeterScaleMax") << 38 << com::Variant(10.0);
    QTest::newRow("39 MeterTickLabelsPrecision") << 39 << com::Variant(std::int32_t(0));
    QTest::newRow("40 MeterTickRelLength") << 40 << com::Variant(0.1);
    QTest::newRow("41 MeterTickStep") << 41 << com::Variant(2.0);
    QTest::newRow("42 MeterNormalAlarmColor") << 42 << com::Variant(std::int32_t(0x008000));
    QTest::newRow("43 MeterValueArcThickness") << 43 << com::Variant(0.1);
    QTest::newRow("44 MeterScaleCenter") << 44 << com::Variant(0.0);
    QTest::newRow("45 MeterBorderColor") << 45 << com::Variant(std::int32_t(0));
    QTest::newRow("46 MeterBorderThickness") << 46 << com::Variant(std::int32_t(1));
    QTest::newRow("47 MeterBorderStyle") << 47 << com::Variant(std::int32_t(0));
    QTest::newRow("48 MeterInitialValue") << 48 << com::Variant(1.0);
    QTest::newRow("49 EnableInternalTimer") << 49 << com::Variant(false);
    QTest::newRow("50 TimerFrequency") << 50 << com::Variant(1.0);
    QTest::newRow("51 MeterBorderHeight") << 51 << com::Variant(0.8);
    QTest::newRow("52 MeterBorderWidth") << 52 << com::Variant(0.8);
    QTest::newRow("53 SDataSimulationMode") << 53 << com::Variant(false);
}

void TestMeterDispatch::newMeterReportsTheDesignedDefaults() {
    QFETCH(int, dispid);
    QFETCH(com::Variant, value);
    const auto created = com::ComPtr<CGAUGEKITCtrl>::adopt(new CGAUGEKITCtrl);
    com::Variant got;
    QCOMPARE(created->Invoke(dispid, com::DISPATCH_PROPERTYGET, {}, &got), com::S_OK);
    QCOMPARE(got, value);
    QCOMPARE(created->InitNew(), com::S_OK);
    QCOMPARE(created->Invoke(dispid, com::DISPATCH_PROPERTYGET, {}, &got), com::S_OK);
    QCOMPARE(got, value);
}

void TestMeterDispatch::indexedDefaults() {
    Meter m;
    const QStringList titles = {"Meter", "", "Ondavia"};
    const QList<int> sizes = {8, 6, 4};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m.getAt(dispid::TitleString, i).stringValue(), titles[i]);
        QCOMPARE(m.getAt(dispid::TitleFont, i).stringValue(), QStringLiteral("Arial"));
        QCOMPARE(m.getAt(dispid::TitleFontSize, i).i4Value(), sizes[i]);
    }
    // The palette's dark blue, dark green, dark red, yellow and dark cyan.
    const QList<int> colors = {0x800000, 0x008000, 0x000080, 0x00FFFF, 0x808000};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(m.getAt(dispid::MeterChannelColor, i).i4Value(), colors[i]);
    QCOMPARE(m.putAt(dispid::TitleColor, 2, std::int32_t(0xFF)), com::S_OK);
    QCOMPARE(m.getAt(dispid::TitleColor, 2).i4Value(), 0xFF);
}

void TestMeterDispatch::changeStepsReachTheModel() {
    Meter m;
    m.put(dispid::MeterScaleMax, 100.0);
    QCOMPARE(m->model().settings.meterScaleMax, 100.0);
    m.put(dispid::WindowResizeMode, std::int32_t(4));
    QCOMPARE(m->pageSite().resizeMode(), 4);
    m->setModifiedFlag(false);
    m.put(dispid::SDataSimulationMode, true);
    QVERIFY(m->isModified());
}

void TestMeterDispatch::updateDataValueStaysWithinTheChannels() {
    Meter m;
    m.put(dispid::MeterNumChannels, std::int32_t(2));
    QCOMPARE(m.call(dispid::UpdateDataValue, {std::int32_t(1), 7.5, false}), com::S_OK);
    QCOMPARE(m->model().values[1], 7.5);
    // An index equal to the channel count, and channels beyond the five slots, change nothing.
    QCOMPARE(m.call(dispid::UpdateDataValue, {std::int32_t(2), 3.0, true}), com::S_OK);
    QCOMPARE(m->model().values[2], 0.0);
    m.put(dispid::MeterNumChannels, std::int32_t(50));
    QCOMPARE(m.call(dispid::UpdateDataValue, {std::int32_t(7), 3.0, true}), com::S_OK);
    QCOMPARE(m.call(dispid::UpdateDataValue, {std::int32_t(-1), 3.0, true}), com::S_OK);
    QCOMPARE(m.get(dispid::MeterNumChannels).i4Value(), 50);
    QCOMPARE(m->model().usedValues().size(), std::size_t(5));
}

void TestMeterDispatch::updateDynDataReadsNoMoreThanGiven() {
    // Without a drawing nothing is taken (with one, see the drawing tests).
    Meter m;
    double values[5] = {1, 2, 3, 4, 5};
    QCOMPARE(m.call(dispid::UpdateDynData, {com::Variant::r8Ref(values, 5)}), com::S_OK);
    QCOMPARE(m->model().values[0], 0.0);
}

void TestMeterDispatch::interfaceDescription() {
    const com::InterfaceDescription d = MeterDispatch::dispatchInterface();
    QCOMPARE(d.name, QStringLiteral("_DGAUGEKIT"));
    QCOMPARE(d.helpString, QStringLiteral("Dispatch interface for GAUGEKIT Control"));
    QCOMPARE(d.members.size(), 53 + 8 + 7 + 1);
    const com::InterfaceDescription e = MeterDispatch::eventInterface();
    QCOMPARE(e.helpString, QStringLiteral("Event interface for GAUGEKIT Control"));
    const auto alarm =
        std::find_if(e.members.begin(), e.members.end(), [](const auto& m) { return m.id == 2; });
    QVERIFY(alarm != e.members.end());
    QCOMPARE(alarm->name, QStringLiteral("OnAlarmEvent"));
    QCOMPARE(alarm->args.size(), 4);
}

QTEST_MAIN(TestMeterDispatch)
#include "tst_meterdispatch.moc"
