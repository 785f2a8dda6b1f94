// Stored forms of the meter: stream, property bag, settings file, reset; old and hostile data.
#include "ExpectedStream.h"
#include "GaugeKitIds.h"
#include "MeterFixture.h"

#include <TestFiles.h>
#include <com/PropertyBag.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <sys/resource.h>

using namespace gaugekit;
using fixture::Meter;
using testsupport::fileBytes;

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

// Where the first blob of a new meter's stream starts.
qsizetype firstBlobOffset() {
    expected::Writer w;
    expected::defaultBlobs(w);
    return expected::defaultStream().size() - w.bytes.size();
}

// The default stream with the byte count of the first blob claiming nearly 4 GiB.
QByteArray withHugeBlob() {
    QByteArray stream = expected::defaultStream();
    stream.replace(firstBlobOffset(), 4, QByteArray::fromHex("f0ffffff"));
    return stream;
}

// Where the tick-label font name starts in a stream.
constexpr qsizetype kFontAt =
    16 + 4 * 8 + 8 * 2 + 4 * 2 + 2 + 8 * 2 + 4 + 8 + 4 * 6 + 1 + 8 * 5 + 4 * 5;

// The default stream with the font name claiming a 2 GiB string (0xFF, 0xFFFF, 32-bit length).
QByteArray withHugeString() {
    const QByteArray good = expected::defaultStream();
    const qsizetype fontAt = kFontAt;
    return good.left(fontAt) + QByteArray::fromHex("ffffff") + QByteArray::fromHex("ffffff7f") +
           good.mid(fontAt + 6);
}

// Stream offsets: after the 16-byte header come PlotBackgroundColor (16), WindowBorderColor,
// WindowBackgroundColor, WindowBorderStyle (28), WindowBorderThickness, MeterBorderColor,
// MeterBorderThickness, MeterBorderStyle (44), MeterBorderWidth (48), MeterBorderHeight (56),
// MeterType (64), MeterNeedleStyle (68); MeterTickPosition at 167 and MeterTickLabelsPosition
// at 171.
constexpr qsizetype kWindowBorderStyleAt = 28;
constexpr qsizetype kMeterBorderStyleAt = 44;
constexpr qsizetype kBorderWidthAt = 48;
constexpr qsizetype kBorderHeightAt = 56;
constexpr qsizetype kMeterTypeAt = 64;
constexpr qsizetype kNeedleStyleAt = 68;
constexpr qsizetype kTickPositionAt = 167;
constexpr qsizetype kTickLabelsPositionAt = 171;

QByteArray withLong(QByteArray stream, qsizetype at, qint32 value) {
    expected::Writer w;
    w.i32(value);
    return stream.replace(at, 4, w.bytes);
}

double doubleAt(const QByteArray& stream, qsizetype at) {
    double value = 0;
    std::memcpy(&value, stream.constData() + at, sizeof value);
    return value;
}

// What a device may read ahead of the archive.
constexpr qint64 kReadAhead = 64 * 1024;

// A pipe: it cannot tell its size; after `head` it sends zeros for ever, counting what is read.
class EndlessPipe : public QIODevice {
public:
    explicit EndlessPipe(QByteArray head)
        : m_head(std::move(head)) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 consumed() const { return m_consumed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        for (qint64 i = 0; i < maxSize; ++i, ++m_consumed)
            data[i] = m_consumed < m_head.size() ? m_head[m_consumed] : '\0';
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;
    qint64 m_consumed = 0;
};

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
    void hostileLengthsFromAPipe_data();
    void hostileLengthsFromAPipe();
    void overlongStringsAreCut();
    void nonFiniteRealsRoundTrip_data();
    void nonFiniteRealsRoundTrip();
    void arraysKeepTheirFixedSize();
    void borderWidthAndHeightKeepTheirPlaces_data();
    void borderWidthAndHeightKeepTheirPlaces();
    void enumeratedValuesOutsideTheirChoices_data();
    void enumeratedValuesOutsideTheirChoices();
    void enumeratedValueOutsideItsChoicesInABagIsTheDefault();
    void loadingMissingFileChangesNothing();
    void loadLeavesTheMeterModifiedAndTellsObservers();
    void failedSaveKeepsTheOldFile();
    void writeFailureIsTheArchiveError();
    void saveThatRunsOutOfRoomKeepsTheOldFile();
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
    QCOMPARE(fileBytes(path), m.saveStream());
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
    QVERIFY(com::succeeded(correctlySpelt.write(QStringLiteral("MeterTickRelLength"), 0.5)));
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
    const qsizetype firstBlob = firstBlobOffset();
    QTest::newRow("blob byte count") << withHugeBlob();
    // The element count inside the first blob claims 0xFFFFFFF0 strings.
    expected::Writer w;
    w.u16(0xFFFF).u32(0xFFFFFFF0);
    QByteArray hugeCount = good.left(firstBlob);
    expected::Writer blob;
    blob.blob(w.bytes);
    hugeCount.append(blob.bytes);
    QTest::newRow("array element count") << hugeCount;
    QTest::newRow("string length") << withHugeString();
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

void TestMeterPersistence::hostileLengthsFromAPipe_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("blob byte count") << withHugeBlob().left(firstBlobOffset() + 4);
    QTest::newRow("string length") << withHugeString().left(kFontAt + 7);
}

// Such a pipe once made a load grow to gigabytes before it failed.
void TestMeterPersistence::hostileLengthsFromAPipe() {
    QFETCH(QByteArray, head);
    Meter m;
    EndlessPipe pipe(head);
    QCOMPARE(m->Load(&pipe), com::STG_E_READFAULT);
    // The device reads ahead a little; never anything near the claimed length.
    QVERIFY2(pipe.consumed() <= kReadAhead, qPrintable(QString::number(pipe.consumed())));
}

void TestMeterPersistence::overlongStringsAreCut() {
    Meter m;
    const QString longer(MeterSettings::kMaxStringLength + 10, QLatin1Char('x'));
    QCOMPARE(m.put(dispid::MeterUnitsString, longer), com::S_OK);
    QCOMPARE(m.putAt(dispid::MeterChannelTagName, 4, longer), com::S_OK);
    QCOMPARE(m.get(dispid::MeterUnitsString).stringValue().size(), MeterSettings::kMaxStringLength);
    // What the meter writes it reads back, from a pipe too.
    Meter target;
    EndlessPipe pipe(m.saveStream());
    QCOMPARE(target->Load(&pipe), com::S_OK);
    QCOMPARE(target.getAt(dispid::MeterChannelTagName, 4).stringValue(),
             longer.left(MeterSettings::kMaxStringLength));
}

void TestMeterPersistence::nonFiniteRealsRoundTrip_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity();
    // Regression: JSON writes -0 as 0, so the bag gave back +0.
    QTest::newRow("minus zero") << -0.0;
}

// A bag file with such a value was once written with "value": null and then failed to load.
void TestMeterPersistence::nonFiniteRealsRoundTrip() {
    QFETCH(double, value);
    Meter source;
    QCOMPARE(source.put(dispid::MeterScaleMax, value), com::S_OK);
    QCOMPARE(source.put(dispid::TimerFrequency, value), com::S_OK);
    com::PropertyBag bag;
    QCOMPARE(source->Save(bag, true), com::S_OK);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.json"));
    QCOMPARE(bag.saveToFile(path), com::S_OK);
    com::PropertyBag loaded;
    QCOMPARE(loaded.loadFromFile(path), com::S_OK);
    Meter target;
    QCOMPARE(target->Load(loaded), com::S_OK);
    for (com::DispId id : {dispid::MeterScaleMax, dispid::TimerFrequency}) {
        const double back = target.get(id).r8Value();
        QVERIFY(std::isnan(value) ? std::isnan(back) : back == value);
        QCOMPARE(std::signbit(back), std::signbit(value));
    }
    QCOMPARE(target.saveStream(), source.saveStream());
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

void TestMeterPersistence::borderWidthAndHeightKeepTheirPlaces_data() {
    QTest::addColumn<QString>("form");
    QTest::newRow("stream (a container's stored design)") << "stream";
    QTest::newRow("property bag") << "bag";
    QTest::newRow("settings file") << "file";
}

// Width and height are stored side by side; with both at their default, or equal, a swap would
// go unseen.
void TestMeterPersistence::borderWidthAndHeightKeepTheirPlaces() {
    QFETCH(QString, form);
    Meter source;
    QCOMPARE(source.put(dispid::MeterBorderWidth, 0.3), com::S_OK);
    QCOMPARE(source.put(dispid::MeterBorderHeight, 0.6), com::S_OK);
    Meter target;
    if (form == QLatin1String("stream")) {
        const QByteArray stream = source.saveStream();
        QCOMPARE(doubleAt(stream, kBorderWidthAt), 0.3);
        QCOMPARE(doubleAt(stream, kBorderHeightAt), 0.6);
        QCOMPARE(target.loadStream(stream), com::S_OK);
    } else if (form == QLatin1String("bag")) {
        com::PropertyBag bag;
        QCOMPARE(source->Save(bag, true), com::S_OK);
        com::Variant width, height;
        QCOMPARE(bag.read(QStringLiteral("MeterBorderWidth"), width), com::S_OK);
        QCOMPARE(bag.read(QStringLiteral("MeterBorderHeight"), height), com::S_OK);
        QCOMPARE(width, com::Variant(0.3));
        QCOMPARE(height, com::Variant(0.6));
        QCOMPARE(target->Load(bag), com::S_OK);
    } else {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.SER"));
        QVERIFY(source->serializeSaveFile(path));
        QCOMPARE(doubleAt(fileBytes(path), kBorderWidthAt), 0.3);
        com::Variant ok;
        QCOMPARE(target.call(dispid::SerializeLoadFile, {path}, &ok), com::S_OK);
        QCOMPARE(ok, com::Variant(true));
    }
    QCOMPARE(target.get(dispid::MeterBorderWidth).r8Value(), 0.3);
    QCOMPARE(target.get(dispid::MeterBorderHeight).r8Value(), 0.6);
    QCOMPARE(target->model().settings.meterBorderWidth, 0.3);
    QCOMPARE(target->model().settings.meterBorderHeight, 0.6);
}

void TestMeterPersistence::enumeratedValuesOutsideTheirChoices_data() {
    QTest::addColumn<int>("dispid");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("accepted");
    const int window = dispid::WindowBorderStyle, meter = dispid::MeterBorderStyle;
    const int type = dispid::MeterType, needle = dispid::MeterNeedleStyle;
    const int tick = dispid::MeterTickPosition, labels = dispid::MeterTickLabelsPosition;
    const int w = int(kWindowBorderStyleAt), m = int(kMeterBorderStyleAt);
    const int t = int(kMeterTypeAt), n = int(kNeedleStyleAt);
    const int tp = int(kTickPositionAt), lp = int(kTickLabelsPositionAt);
    QTest::newRow("window border None") << window << w << 3 << true;
    QTest::newRow("window border 4") << window << w << 4 << false;
    QTest::newRow("window border -1") << window << w << -1 << false;
    // The bytes of a text where the number belongs: "file".
    QTest::newRow("window border text") << window << w << 0x656C6966 << false;
    QTest::newRow("meter border empty entry") << meter << m << 4 << true;
    QTest::newRow("meter border 5") << meter << m << 5 << false;
    QTest::newRow("meter type Pie") << type << t << 2 << true;
    QTest::newRow("meter type 3") << type << t << 3 << false;
    QTest::newRow("needle Long Hollow Triangle") << needle << n << 5 << true;
    QTest::newRow("needle 6") << needle << n << 6 << false;
    QTest::newRow("ticks Middle") << tick << tp << 3 << true;
    QTest::newRow("ticks Outside") << tick << tp << 4 << true;
    QTest::newRow("ticks 1") << tick << tp << 1 << false;
    QTest::newRow("ticks 5") << tick << tp << 5 << false;
    QTest::newRow("labels Outside") << labels << lp << 4 << true;
    QTest::newRow("labels 3") << labels << lp << 3 << false;
}

// Refused as a length beyond its bound is: the archive error, the property keeps its value.
void TestMeterPersistence::enumeratedValuesOutsideTheirChoices() {
    QFETCH(int, dispid);
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(bool, accepted);
    const QByteArray stream = withLong(expected::defaultStream(), offset, value);
    Meter m;
    QCOMPARE(m.put(dispid, std::int32_t(1)), com::S_OK);
    QCOMPARE(m.loadStream(stream), accepted ? com::S_OK : com::STG_E_READFAULT);
    QCOMPARE(m.get(dispid).i4Value(), accepted ? value : 1);
    if (!accepted)
        QCOMPARE(m.saveStream().mid(offset, 4), withLong(QByteArray(4, 0), 0, 1));
}

void TestMeterPersistence::enumeratedValueOutsideItsChoicesInABagIsTheDefault() {
    Meter source;
    QCOMPARE(source.put(dispid::MeterType, std::int32_t(2)), com::S_OK);
    QCOMPARE(source.put(dispid::MeterNeedleStyle, std::int32_t(3)), com::S_OK);
    com::PropertyBag bag;
    QCOMPARE(source->Save(bag, true), com::S_OK);
    QCOMPARE(bag.write(QStringLiteral("MeterType"), com::Variant(std::int32_t(9))), com::S_OK);
    Meter target;
    QCOMPARE(target.put(dispid::MeterType, std::int32_t(1)), com::S_OK);
    QCOMPARE(target->Load(bag), com::S_OK);
    QCOMPARE(target.get(dispid::MeterType).i4Value(), 0);
    QCOMPARE(target.get(dispid::MeterNeedleStyle).i4Value(), 3);
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

void TestMeterPersistence::loadLeavesTheMeterModifiedAndTellsObservers() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.SER"));
    Meter source;
    customise(source);
    QVERIFY(source->serializeSaveFile(path));
    Meter target;
    QCOMPARE(target->IsDirty(), com::S_FALSE);
    QList<double> seen;
    const int id =
        target->addLoadObserver([&seen](CGAUGEKITCtrl& c) { seen << c.store().meterScaleMax; });
    com::Variant ok;
    QCOMPARE(target.call(dispid::SerializeLoadFile, {path}, &ok), com::S_OK);
    // A meter that has not drawn yet was once left unmodified, so its container skipped saving.
    QCOMPARE(target->IsDirty(), com::S_OK);
    QCOMPARE(seen, QList<double>{115.5});
    target->removeLoadObserver(id);
    QCOMPARE(target.call(dispid::SerializeLoadFile, {path}, &ok), com::S_OK);
    QCOMPARE(seen.size(), 1);
}

void TestMeterPersistence::failedSaveKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.SER"));
    Meter old;
    QVERIFY(old->serializeSaveFile(path));
    const QByteArray before = fileBytes(path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool folderWritable =
        QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly);
    if (folderWritable) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("this user writes into read-only folders");
    }
    Meter changed;
    customise(changed);
    com::Variant ok;
    QCOMPARE(changed.call(dispid::SerializeSaveFile, {path}, &ok), com::S_OK);
    QCOMPARE(ok, com::Variant(false));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(fileBytes(path), before);
}

// Saving onto /dev/full once answered FALSE with a success result.
void TestMeterPersistence::writeFailureIsTheArchiveError() {
    const QString full = QStringLiteral("/dev/full");
    if (!QFileInfo::exists(full))
        QSKIP("no /dev/full here");
    Meter m;
    com::Variant ok;
    QCOMPARE(m.call(dispid::SerializeSaveFile, {full}, &ok), com::STG_E_WRITEFAULT);
    // The device is still a device: nothing was renamed over it.
    QVERIFY(!QFileInfo(full).isFile());
}

// A save once truncated the old file before writing; now a write that fails half way (here the
// process may write no file larger than 100 bytes, as a full disk would refuse) leaves it.
void TestMeterPersistence::saveThatRunsOutOfRoomKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.SER"));
    Meter old;
    QVERIFY(old->serializeSaveFile(path));
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.size() > 100);

    Meter changed;
    customise(changed);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    com::Variant ok;
    const com::HRESULT hr = changed.call(dispid::SerializeSaveFile, {path}, &ok);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(hr, com::STG_E_WRITEFAULT);
    QCOMPARE(fileBytes(path), bytes);
    // Nothing is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("m.SER")});
}

QTEST_MAIN(TestMeterPersistence)
#include "tst_meterpersistence.moc"
