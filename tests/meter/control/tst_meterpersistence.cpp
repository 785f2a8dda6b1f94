// Stored forms of the meter: stream, property bag, settings file, reset; old and hostile data.
#include "ExpectedStream.h"
#include "GaugeKitIds.h"
#include "MeterFixture.h"

#include <com/PropertyBag.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace gaugekit;
using fixture::Meter;

namespace {

// A set of non-default settings touching every kind of value and every array.
void customise(Meter& m) {
    QCOMPARE(m.put(dispid::PlotBackgroundColor, std::int32_t(0x123456)), com::S_OK);
    QCOMPARE(m.put(dispid::MeterType, std::int32_t(2)), com::S_OK);
    QCOMPARE(m.put(dispid::MeterArcEnable, false), com::S_OK);
    QCOMPARE(m.put(dispid::MeterScaleMax, 115.5), com::S_OK);
    QCOMPARE(m.put(dispid::MeterUnitsString, QStringLiteral("kPa °C €")), com::S_OK);
    QCOMPARE(m.put(dispid::MeterTickRelLength, 0.25), com::S_OK);
    QCOMPARE(m.put(dispid::MeterInitialValue, 42.0), com::S_OK);
    QCOMPARE(m.put(dispid::TimerFrequency, 2.5), com::S_OK);
    QCOMPARE(m.put(dispid::SDataSimulationMode, true), com::S_OK);
    QCOMPARE(m.put(dispid::MeterNumChannels, std::int32_t(9)), com::S_OK);
    QCOMPARE(m.putAt(dispid::TitleString, 1, QStringLiteral("Presión")), com::S_OK);
    QCOMPARE(m.putAt(dispid::TitleFontSize, 2, std::int32_t(14)), com::S_OK);
    QCOMPARE(m.putAt(dispid::MeterChannelColor, 4, std::int32_t(0xABCDEF)), com::S_OK);
    QCOMPARE(m.putAt(dispid::MeterChannelTagName, 3, QStringLiteral("HR")), com::S_OK);
}

// Every persisted property and array entry of two meters agrees.
void compareSettings(Meter& a, Meter& b) {
    for (const PropertyInfo* p : PropertyTable::persisted())
        QVERIFY2(a.get(p->dispid) == b.get(p->dispid), p->name);
    QCOMPARE(b->model().arrays, a->model().arrays);
    QCOMPARE(b->model().settings, b->store());
}

// Size of the first stored blob of a new meter (its three titles).
qsizetype firstBlobSize() {
    expected::Writer w;
    w.strings({"Meter", "", "Ondavia"});
    return w.bytes.size();
}

} // namespace

class TestMeterPersistence : public QObject {
    Q_OBJECT
private slots:
    void newMeterStoresTheDefaultStream();
    void settingsFileIsTheStream();
    void roundTrip_data();
    void roundTrip();
    void version10DataHasNoInitialValue();
    void bagKeepsTheMisspeltTickLengthKey();
    void resizeModeIsNotPersisted();
    void charactersOutsideWesternBecomeQuestionMarks();
    void truncatedStreamFailsAndKeepsWhatWasRead();
    void hostileLengthsFailWithoutAllocating_data();
    void hostileLengthsFailWithoutAllocating();
    void arraysKeepTheirFixedSize();
    void loadingMissingFileChangesNothing();
};

void TestMeterPersistence::newMeterStoresTheDefaultStream() {
    Meter m;
    QCOMPARE(m.saveStream().toHex(' '), expected::defaultStream().toHex(' '));
}

void TestMeterPersistence::settingsFileIsTheStream() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("meter.SER"));
    Meter m;
    customise(m);
    com::Variant ok;
    QCOMPARE(m.call(dispid::SerializeSaveFile, {path}, &ok), com::S_OK);
    QCOMPARE(ok, com::Variant(true));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), m.saveStream());
}

void TestMeterPersistence::roundTrip_data() {
    QTest::addColumn<QString>("form");
    QTest::newRow("stream") << "stream";
    QTest::newRow("property bag") << "bag";
    QTest::newRow("settings file") << "file";
}

void TestMeterPersistence::roundTrip() {
    QFETCH(QString, form);
    Meter source;
    customise(source);
    Meter target;
    if (form == QLatin1String("stream")) {
        QCOMPARE(target.loadStream(source.saveStream()), com::S_OK);
    } else if (form == QLatin1String("bag")) {
        com::PropertyBag bag;
        QCOMPARE(source->Save(bag, true), com::S_OK);
        QCOMPARE(target->Load(bag), com::S_OK);
    } else {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.SER"));
        com::Variant ok;
        QCOMPARE(source.call(dispid::SerializeSaveFile, {path}, &ok), com::S_OK);
        QCOMPARE(target.call(dispid::SerializeLoadFile, {path}, &ok), com::S_OK);
        QCOMPARE(ok, com::Variant(true));
    }
    compareSettings(source, target);
    QCOMPARE(target.get(dispid::MeterUnitsString).stringValue(), QStringLiteral("kPa °C €"));
    QCOMPARE(target.getAt(dispid::TitleString, 1).stringValue(), QStringLiteral("Presión"));
    QCOMPARE(target.get(dispid::MeterNumChannels).i4Value(), 9);
}

void TestMeterPersistence::version10DataHasNoInitialValue() {
    Meter m;
    m.put(dispid::MeterInitialValue, 7.0);
    // Old data: its blobs follow the timer frequency directly; a changed title shows that
    // they are read from the right place.
    expected::Writer w;
    w.u32(0x00010000).i32(5292).i32(5292).u32(0);
    expected::defaultScalars(w, false);
    w.strings({"Old", "", "Footer"});
    QByteArray old = w.bytes;
    expected::Writer rest;
    expected::defaultBlobs(rest);
    // Skip the first blob of the defaults: it was replaced above.
    const qsizetype firstBlob = firstBlobSize();
    old.append(rest.bytes.mid(firstBlob));
    QCOMPARE(m.loadStream(old), com::S_OK);
    QCOMPARE(m.get(dispid::MeterInitialValue).r8Value(), 1.0);
    QCOMPARE(m.getAt(dispid::TitleString, 0).stringValue(), QStringLiteral("Old"));
    QCOMPARE(m.getAt(dispid::MeterChannelColor, 4).i4Value(), 0x808000);
    // Stored again, it is version 1.1 with the initial value in its place.
    QCOMPARE(m.saveStream().left(4), QByteArray::fromHex("01000100"));
}

void TestMeterPersistence::bagKeepsTheMisspeltTickLengthKey() {
    Meter m;
    m.put(dispid::MeterTickRelLength, 0.3);
    com::PropertyBag bag;
    QCOMPARE(m->Save(bag, true), com::S_OK);
    QVERIFY(bag.contains(QStringLiteral("MeteTickRelLength")));
    QVERIFY(!bag.contains(QStringLiteral("MeterTickRelLength")));
    QVERIFY(!bag.contains(QStringLiteral("WindowResizeMode")));

    com::PropertyBag correctlySpelt;
    correctlySpelt.write(QStringLiteral("MeterTickRelLength"), 0.5);
    Meter other;
    QCOMPARE(other->Load(correctlySpelt), com::S_OK);
    QCOMPARE(other.get(dispid::MeterTickRelLength).r8Value(), 0.1);
}

void TestMeterPersistence::resizeModeIsNotPersisted() {
    Meter source;
    source.put(dispid::WindowResizeMode, std::int32_t(3));
    Meter target;
    target.put(dispid::WindowResizeMode, std::int32_t(7));
    QCOMPARE(target.loadStream(source.saveStream()), com::S_OK);
    QCOMPARE(target.get(dispid::WindowResizeMode).i4Value(), 7);
    QCOMPARE(target->pageSite().resizeMode(), 7);
}

void TestMeterPersistence::charactersOutsideWesternBecomeQuestionMarks() {
    Meter source;
    source.putAt(dispid::TitleString, 0, QStringLiteral("湿度 %"));
    Meter target;
    QCOMPARE(target.loadStream(source.saveStream()), com::S_OK);
    QCOMPARE(target.getAt(dispid::TitleString, 0).stringValue(), QStringLiteral("?? %"));
}

void TestMeterPersistence::truncatedStreamFailsAndKeepsWhatWasRead() {
    Meter source;
    customise(source);
    const QByteArray full = source.saveStream();
    // The header (16 bytes) and PlotBackgroundColor, then the stream ends.
    Meter target;
    QCOMPARE(target.loadStream(full.left(16 + 4 + 2)), com::STG_E_READFAULT);
    QCOMPARE(target.get(dispid::PlotBackgroundColor).i4Value(), 0x123456);
    QCOMPARE(target->model().settings.plotBackgroundColor, 0x123456);

    // Any cut short of the whole fails; none crashes.
    for (qsizetype n = 0; n < full.size(); n += 7) {
        Meter m;
        QCOMPARE(m.loadStream(full.left(n)), com::STG_E_READFAULT);
    }
    Meter whole;
    QCOMPARE(whole.loadStream(full), com::S_OK);
}

void TestMeterPersistence::hostileLengthsFailWithoutAllocating_data() {
    QTest::addColumn<QByteArray>("stream");
    const QByteArray good = expected::defaultStream();
    const qsizetype firstBlob = good.size() - [] {
        expected::Writer w;
        expected::defaultBlobs(w);
        return w.bytes.size();
    }();
    // The byte count of the first blob claims nearly 4 GiB.
    QByteArray hugeBlob = good;
    hugeBlob.replace(firstBlob, 4, QByteArray::fromHex("f0ffffff"));
    QTest::newRow("blob byte count") << hugeBlob;
    // The element count inside the first blob claims 0xFFFFFFF0 strings.
    expected::Writer w;
    w.u16(0xFFFF).u32(0xFFFFFFF0);
    QByteArray hugeCount = good.left(firstBlob);
    expected::Writer blob;
    blob.blob(w.bytes);
    hugeCount.append(blob.bytes);
    QTest::newRow("array element count") << hugeCount;
    // The font name claims a 2 GiB string (0xFF, 0xFFFF, 32-bit length).
    const qsizetype fontAt =
        16 + 4 * 8 + 8 * 2 + 4 * 2 + 2 + 8 * 2 + 4 + 8 + 4 * 6 + 1 + 8 * 5 + 4 * 5;
    QByteArray hugeString = good.left(fontAt);
    hugeString.append(QByteArray::fromHex("ffffff") + QByteArray::fromHex("ffffff7f"));
    hugeString.append(good.mid(fontAt + 6));
    QTest::newRow("string length") << hugeString;
    QTest::newRow("a byte short") << good.left(good.size() - 1);
    // A blob announcing three titles but holding none.
    expected::Writer empty;
    empty.u16(3);
    expected::Writer shortBlob;
    shortBlob.blob(empty.bytes);
    QTest::newRow("array longer than its blob") << good.left(firstBlob) + shortBlob.bytes;
}

void TestMeterPersistence::hostileLengthsFailWithoutAllocating() {
    QFETCH(QByteArray, stream);
    Meter m;
    QCOMPARE(m.loadStream(stream), com::STG_E_READFAULT);
    // The meter still works.
    QCOMPARE(m.getAt(dispid::TitleString, 2).stringValue(), QStringLiteral("Ondavia"));
}

void TestMeterPersistence::arraysKeepTheirFixedSize() {
    const QByteArray good = expected::defaultStream();
    expected::Writer defaults;
    expected::defaultBlobs(defaults);
    const QByteArray scalars = good.left(good.size() - defaults.bytes.size());
    const qsizetype firstBlob = firstBlobSize();

    // Four titles: the fourth is dropped.
    expected::Writer four;
    four.strings({"A", "B", "C", "D"});
    Meter m;
    QCOMPARE(m.loadStream(scalars + four.bytes + defaults.bytes.mid(firstBlob)), com::S_OK);
    QCOMPARE(m.getAt(dispid::TitleString, 2).stringValue(), QStringLiteral("C"));
    com::HRESULT hr = com::S_OK;
    m.getAt(dispid::TitleString, 3, &hr);
    QCOMPARE(hr, com::DISP_E_BADINDEX);

    // One title: the others stay as they were.
    expected::Writer one;
    one.strings({"Only"});
    Meter n;
    QCOMPARE(n.loadStream(scalars + one.bytes + defaults.bytes.mid(firstBlob)), com::S_OK);
    QCOMPARE(n.getAt(dispid::TitleString, 0).stringValue(), QStringLiteral("Only"));
    QCOMPARE(n.getAt(dispid::TitleString, 2).stringValue(), QStringLiteral("Ondavia"));
}

void TestMeterPersistence::loadingMissingFileChangesNothing() {
    Meter m;
    m.put(dispid::MeterScaleMax, 55.0);
    com::Variant ok;
    QCOMPARE(m.call(dispid::SerializeLoadFile, {QStringLiteral("/nonexistent/dir/x.SER")}, &ok),
             com::S_OK);
    QCOMPARE(ok, com::Variant(false));
    QCOMPARE(m.get(dispid::MeterScaleMax).r8Value(), 55.0);
    QCOMPARE(m.call(dispid::SerializeSaveFile, {QStringLiteral("/nonexistent/dir/x.SER")}, &ok),
             com::S_OK);
    QCOMPARE(ok, com::Variant(false));
}

QTEST_MAIN(TestMeterPersistence)
#include "tst_meterpersistence.moc"
