// The strip-chart control as a container drives it: created by ProgID from its module through
// the registry, set up in the order the temporal-evolution window uses, fed readings, printed
// and drawn.
#include "ChartLayout.h"
#include "ClassicPalette.h"
#include "PrintDialogs.h"
#include "TrazoPlotCtrl.h"
#include "TrazoPlotIds.h"

#include <ScopedEnv.h>

#include <com/ControlSite.h>
#include <com/ObjectLoader.h>
#include <com/Registry.h>
#include <com/RegistryTree.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace trazoplot;
using com::Variant;

namespace {

QString modulePath() {
    return QDir(qEnvironmentVariable("BRISORA_BIN_DIR")).filePath(QStringLiteral("TRAZOPLOT.so"));
}

QString referencePath() {
    return QDir(qEnvironmentVariable("BRISORA_SOURCE_DIR"))
        .filePath(QStringLiteral("tests/platform/trazoplot/data/chart-8h.png"));
}

// Answers the printer set-up with `handler` while it lives; the handler in place before comes
// back when it goes, also when a check fails on the way.
class SetupAnswer {
public:
    explicit SetupAnswer(PrintDialogs::SetupHandler handler)
        : m_previous(PrintDialogs::setSetupHandler(std::move(handler))) {}
    ~SetupAnswer() { PrintDialogs::setSetupHandler(m_previous); }
    SetupAnswer(const SetupAnswer&) = delete;
    SetupAnswer& operator=(const SetupAnswer&) = delete;

private:
    PrintDialogs::SetupHandler m_previous;
};

// What the window passes: humidity 0..100 %, pressure 15..115 kPa, 8 hours, every sample.
struct Setup {
    double hours = 8;
    double humidity[2] = {0, 100};
    double pressure[2] = {15, 115};
    double density = 1;
};

// Runs the window's set-up sequence through `invoke` and returns the first failure.
template <class Put, class Get, class Call>
com::HRESULT runSetup(const Setup& s, Put put, Get get, Call call) {
    using namespace dispid;
    com::HRESULT hr = com::S_OK;
    const auto step = [&hr](com::HRESULT r) {
        if (com::succeeded(hr))
            hr = r;
    };
    step(put(AxisVisible, axis::Time, Variant(true)));
    step(put(AxisMinimum, axis::Time, Variant(0.0)));
    step(put(AxisMaximum, axis::Time, Variant(double(std::int32_t(s.hours) * 60))));
    step(put(AxisMajorStep, axis::Time, Variant(60.0)));
    step(put(AxisVisible, axis::Left, Variant(true)));
    step(put(AxisMinimum, axis::Left, Variant(s.humidity[0])));
    step(put(AxisMaximum, axis::Left, Variant(s.humidity[1])));
    step(put(AxisMajorStep, axis::Left, Variant(20.0)));
    step(put(AxisPosition, axis::Left, Variant(0.0)));
    step(put(AxisVisible, axis::Right, Variant(true)));
    step(put(AxisMinimum, axis::Right, Variant(s.pressure[0])));
    step(put(AxisMaximum, axis::Right, Variant(s.pressure[1])));
    step(put(AxisMajorStep, axis::Right, Variant(20.0)));
    Variant end;
    step(get(AxisMaximum, axis::Time, &end));
    step(put(AxisPosition, axis::Right, end));
    const std::int32_t colours[3] = {0, 12, 1};
    const char* titles[3] = {"Tiempo (horas:minutos)", "Humedad (%)", "Presión (KPa)"};
    const std::int32_t axes[3] = {axis::Time, axis::Left, axis::Right};
    for (int i = 0; i < 3; ++i) {
        step(put(AxisColor, axes[i], Variant(colours[i])));
        step(put(AxisTitle, axes[i], Variant(QString::fromUtf8(titles[i]))));
    }
    step(put(SampleDensity, 0, Variant(s.density)));
    step(put(SampleDensity, 1, Variant(s.density)));
    step(call(Refresh, com::VariantList{}));
    return hr;
}

// A day of weather, one reading a second, smooth with a few sharp peaks.
double humidityAt(std::int64_t second) {
    const double t = double(second) / 3600.0;
    return 55 + 20 * std::sin(t * 0.9) + 4 * std::sin(t * 7.0) + (second % 5400 == 0 ? 15 : 0);
}
double pressureAt(std::int64_t second) {
    const double t = double(second) / 3600.0;
    return 101.3 + 1.5 * std::sin(t * 0.4 + 1.0) + 0.3 * std::sin(t * 11.0);
}

// Appends readings [from, to) as the window does: the value then -1.0, channel 0 then 1.
template <class Call>
void feed(Call call, std::int64_t from, std::int64_t to) {
    for (std::int64_t i = from; i < to; ++i) {
        double pair[2] = {humidityAt(i), -1.0};
        QCOMPARE(call(dispid::AppendSample, {Variant(0), Variant::r8Ref(pair, 2)}), com::S_OK);
        pair[0] = pressureAt(i);
        QCOMPARE(call(dispid::AppendSample, {Variant(1), Variant::r8Ref(pair, 2)}), com::S_OK);
        QCOMPARE(pair[1], -1.0); // the caller's array is only read
    }
}

// Share of pixels that differ clearly between two images of the same size.
double differingShare(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::abs(qRed(p[col]) - qRed(q[col])) +
                          std::abs(qGreen(p[col]) - qGreen(q[col])) +
                          std::abs(qBlue(p[col]) - qBlue(q[col]));
            differing += d > 96 ? 1 : 0;
        }
    }
    return double(differing) / double(x.width() * x.height());
}

} // namespace

class TstTrazoControl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void registeredUnderItsOwnIdentifiers();
    void setupThroughTheModule();
    void errorsNeverCrash_data();
    void errorsNeverCrash();
    void appendRepaintsOnlyTheNewColumnsUntilItScrolls();
    void newestReadingDotIsRepaintedWhereItStandsOutOfThePlot();
    void partialRepaintsAfterAppendsMatchAFullPaint_data();
    void partialRepaintsAfterAppendsMatchAFullPaint();
    void drawingMatchesReference();
    void aSpikeOfOneSampleAmongAMillionIsDrawn();
    void printToTheTypedFileNeverOverwrites();
    void printIsAVectorReport();
    void appendSamplesTakesAStretchWithGaps();
    void labelsAtDesignedAndLargerSizes_data();
    void labelsAtDesignedAndLargerSizes();
    void setupDialogConfirmsWithOk();
    void printWithoutSetupWritesPdfToPrintDir();
    void designSurvivesSaveAndLoad();

private:
    // A new folder `name` in the test's folder, for BRISORA_PRINT_DIR to name.
    QString makePrintDir(const QString& name) {
        const QString dir = m_dir.filePath(name);
        QDir().mkpath(dir);
        return dir;
    }

    QTemporaryDir m_dir;
    QWidget* m_window = nullptr;
    com::ControlSite* m_site = nullptr;
};

void TstTrazoControl::initTestCase() {
    QVERIFY(m_dir.isValid());
    qputenv("BRISORA_REGISTRY", m_dir.filePath(QStringLiteral("registry.json")).toLocal8Bit());
    QCOMPARE(com::loader::registerModule(modulePath()), com::S_OK);
    m_window = new QWidget;
    m_window->resize(900, 420);
    m_site = new com::ControlSite(m_window);
    QCOMPARE(m_site->createByProgId(QLatin1String(kIds.progId)), com::S_OK);
    QCOMPARE(m_site->initNew(), com::S_OK);
    m_site->setGeometry(0, 0, 900, 400); // the container sizes it (twips become pixels there)
    QCOMPARE(m_site->activate(), com::S_OK);
}

void TstTrazoControl::cleanupTestCase() {
    delete m_window;
    QCOMPARE(com::loader::unregisterModule(modulePath()), com::S_OK);
    qunsetenv("BRISORA_REGISTRY");
}

// Containers find the chart by these entries; its type library is version 1.0, not the 1.1 of
// the meter module written by the same code.
void TstTrazoControl::registeredUnderItsOwnIdentifiers() {
    com::RegistryTree tree;
    com::Registry registry;
    QCOMPARE(registry.read(tree), com::S_OK);
    const QString control = QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") +
                            QLatin1String("{D02407C7-B898-4B39-AC92-61326F8F6A2F}");
    QCOMPARE(tree.stringValue(control), QStringLiteral("TrazoPlot Strip Chart"));
    QCOMPARE(tree.stringValue(control + QStringLiteral("\\ProgID")),
             QStringLiteral("TRAZOPLOTLib.TrazoPlot"));
    QCOMPARE(tree.stringValue(control + QStringLiteral("\\Version")), QStringLiteral("1.0"));
    QCOMPARE(tree.stringValue(control + QStringLiteral("\\MiscStatus")), QStringLiteral("131473"));
    QCOMPARE(tree.stringValue(control + QStringLiteral("\\TypeLib")),
             QStringLiteral("{81D7A90C-8841-47C3-BE76-67E190198B88}"));
    const QString typeLib =
        QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib\\{81D7A90C-8841-47C3-BE76-67E190198B88}\\1.0");
    QCOMPARE(tree.stringValue(typeLib), QStringLiteral("TrazoPlot Strip Chart"));
}

void TstTrazoControl::setupThroughTheModule() {
    Setup s;
    s.hours = 12;
    const com::HRESULT hr = runSetup(
        s,
        [this](com::DispId id, std::int32_t i, const Variant& v) {
            return m_site->setIndexedProperty(id, i, v);
        },
        [this](com::DispId id, std::int32_t i, Variant* v) {
            return m_site->getIndexedProperty(id, i, v);
        },
        [this](com::DispId id, const com::VariantList& a) { return m_site->callMethod(id, a); });
    QCOMPARE(hr, com::S_OK);
    Variant v;
    QCOMPARE(m_site->getIndexedProperty(dispid::AxisMaximum, axis::Time, &v), com::S_OK);
    QCOMPARE(v, Variant(720.0));
    QCOMPARE(m_site->getIndexedProperty(dispid::AxisPosition, axis::Right, &v), com::S_OK);
    QCOMPARE(v, Variant(720.0)); // the pressure axis stands at the right end
    QCOMPARE(m_site->getIndexedProperty(dispid::AxisTitle, axis::Right, &v), com::S_OK);
    QCOMPARE(v.stringValue(), QStringLiteral("Presión (KPa)"));
    QCOMPARE(m_site->getIndexedProperty(dispid::AxisColor, axis::Left, &v), com::S_OK);
    QCOMPARE(v, Variant(std::int32_t(12)));
    QCOMPARE(m_site->getIndexedProperty(dispid::SampleDensity, 1, &v), com::S_OK);
    QCOMPARE(v, Variant(1.0));
    // A whole-number density given as an integer is coerced like any automation value.
    QCOMPARE(m_site->setIndexedProperty(dispid::SampleDensity, 0, Variant(std::int16_t(3))),
             com::S_OK);
    QCOMPARE(m_site->getIndexedProperty(dispid::SampleDensity, 0, &v), com::S_OK);
    QCOMPARE(v, Variant(3.0));
    feed([this](com::DispId id, const com::VariantList& a) { return m_site->callMethod(id, a); }, 0,
         100);
}

void TstTrazoControl::errorsNeverCrash_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("flags");
    QTest::addColumn<com::VariantList>("args");
    QTest::addColumn<int>("result");
    const int put = com::DISPATCH_PROPERTYPUT;
    const int get = com::DISPATCH_PROPERTYGET;
    const int call = com::DISPATCH_METHOD;
    static double one[1] = {1.0};
    QTest::newRow("axis 2") << int(dispid::AxisMaximum) << put
                            << com::VariantList{Variant(2), Variant(1.0)}
                            << int(com::DISP_E_BADINDEX);
    QTest::newRow("read axis 4") << int(dispid::AxisMinimum) << get << com::VariantList{Variant(4)}
                                 << int(com::DISP_E_BADINDEX);
    QTest::newRow("time axis position")
        << int(dispid::AxisPosition) << get << com::VariantList{Variant(0)}
        << int(com::DISP_E_BADINDEX);
    QTest::newRow("title not text")
        << int(dispid::AxisMinimum) << put << com::VariantList{Variant(1), Variant("abc")}
        << int(com::DISP_E_TYPEMISMATCH);
    QTest::newRow("colour 20") << int(dispid::AxisColor) << put
                               << com::VariantList{Variant(1), Variant(20)}
                               << int(com::E_INVALIDARG);
    QTest::newRow("step zero") << int(dispid::AxisMajorStep) << put
                               << com::VariantList{Variant(1), Variant(0.0)}
                               << int(com::E_INVALIDARG);
    QTest::newRow("density of channel 2")
        << int(dispid::SampleDensity) << put << com::VariantList{Variant(2), Variant(1.0)}
        << int(com::DISP_E_BADINDEX);
    QTest::newRow("append to channel 2")
        << int(dispid::AppendSample) << call << com::VariantList{Variant(2), Variant::r8Ref(one, 1)}
        << int(com::DISP_E_BADINDEX);
    QTest::newRow("append a plain double")
        << int(dispid::AppendSample) << call << com::VariantList{Variant(0), Variant(1.0)}
        << int(com::DISP_E_TYPEMISMATCH);
    QTest::newRow("append a null reference")
        << int(dispid::AppendSample) << call
        << com::VariantList{Variant(0), Variant::r8Ref(nullptr, 2)} << int(com::E_POINTER);
    QTest::newRow("append an empty array")
        << int(dispid::AppendSample) << call << com::VariantList{Variant(0), Variant::r8Ref(one, 0)}
        << int(com::E_POINTER);
    QTest::newRow("append without values")
        << int(dispid::AppendSample) << call << com::VariantList{Variant(0)}
        << int(com::DISP_E_BADPARAMCOUNT);
    QTest::newRow("unknown member")
        << 999 << call << com::VariantList{} << int(com::DISP_E_MEMBERNOTFOUND);
}

void TstTrazoControl::errorsNeverCrash() {
    QFETCH(int, id);
    QFETCH(int, flags);
    QFETCH(com::VariantList, args);
    QFETCH(int, result);
    Variant out;
    QCOMPARE(int(m_site->invoke(id, std::uint16_t(flags), args, &out)), result);
}

void TstTrazoControl::appendRepaintsOnlyTheNewColumnsUntilItScrolls() {
    StripChart chart;
    QCOMPARE(chart.settings().setMaximum(axis::Time, 60.0), com::S_OK); // one hour on the plot
    ChartRenderer renderer;
    const QRect bounds(0, 0, 900, 400);
    for (int i = 0; i < 3600; ++i)
        QCOMPARE(chart.append(0, 50.0), com::S_OK);
    std::int64_t before = chart.count();
    QCOMPARE(chart.append(0, 60.0), com::S_OK);
    const QRect growing = renderer.dirtyAfterAppend(bounds, chart, before);
    QVERIFY(!growing.isEmpty());
    QVERIFY2(growing.width() < 20, qPrintable(QString::number(growing.width())));
    // From here on every few samples move the window by one column: everything repaints.
    bool scrolled = false;
    for (int i = 0; i < 10 && !scrolled; ++i) {
        before = chart.count();
        QCOMPARE(chart.append(0, 50.0), com::S_OK);
        scrolled = renderer.dirtyAfterAppend(bounds, chart, before) == bounds;
    }
    QVERIFY(scrolled);
}

// The newest reading is marked with a dot that may stand over the axes (at the start of a run,
// or at the ends of the value range): its whole place must be repainted when it moves on, or
// a stale half dot stays on the axis.
void TstTrazoControl::newestReadingDotIsRepaintedWhereItStandsOutOfThePlot() {
    StripChart chart;
    ChartRenderer renderer;
    const QRect bounds(0, 0, 900, 400);
    const QRectF plot = ChartLayout(bounds, chart.settings(), renderer.fonts()).plot();
    const double top = chart.settings().channelAxis(0).maximum;
    QCOMPARE(chart.append(0, top), com::S_OK);
    const QRect dirty = renderer.dirtyAfterAppend(bounds, chart, 0);
    const QRectF dot(plot.topLeft() - QPointF(2.5, 2.5), QSizeF(5.0, 5.0));
    QVERIFY2(QRectF(dirty).contains(dot), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                         .arg(dirty.x())
                                                         .arg(dirty.y())
                                                         .arg(dirty.width())
                                                         .arg(dirty.height())));
}

void TstTrazoControl::partialRepaintsAfterAppendsMatchAFullPaint_data() {
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("density");
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("gaps");
    QTest::addColumn<int>("lag"); // readings that only the first channel gets at the start
    QTest::newRow("1 h") << 1.0 << 1.0 << 1500 << false << 0;
    QTest::newRow("1 h, density 3") << 1.0 << 3.0 << 1500 << false << 0;
    QTest::newRow("1 h, density 7, gaps") << 1.0 << 7.0 << 1500 << true << 0;
    QTest::newRow("1 h, second channel behind") << 1.0 << 1.0 << 1500 << false << 300;
    QTest::newRow("3 min, wide buckets") << 0.05 << 1.0 << 175 << false << 0;
    QTest::newRow("1 h, scrolled") << 1.0 << 1.0 << 4000 << false << 0;
    QTest::newRow("8 h") << 8.0 << 1.0 << 20000 << true << 0;
}

// Only the columns dirtyAfterAppend() names are repainted while the chart stands still. The
// trace drawn that way used to differ from a full paint (its zigzag of extremes ordered from
// where each partial build began), leaving doubled line fragments until the chart scrolled.
void TstTrazoControl::partialRepaintsAfterAppendsMatchAFullPaint() {
    QFETCH(double, hours);
    QFETCH(double, density);
    QFETCH(int, samples);
    QFETCH(bool, gaps);
    QFETCH(int, lag);
    StripChart chart;
    ChartSettings& s = chart.settings();
    QVERIFY(com::succeeded(s.setMaximum(axis::Time, hours * 60)));
    QVERIFY(com::succeeded(s.setPosition(axis::Right, hours * 60)));
    QVERIFY(com::succeeded(s.setDensity(0, density)));
    QVERIFY(com::succeeded(s.setDensity(1, density)));
    const QRect bounds(0, 0, 640, 400);
    QImage shown(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    ChartRenderer renderer;
    const auto repaint = [&](const QRect& dirty) {
        QPainter p(&shown);
        renderer.paint(p, bounds, chart, dirty);
    };
    repaint({});
    for (int i = 0; i < samples; ++i) {
        const double noise = double((i * 7919) % 23);
        const double humidity = gaps && i % 53 == 0 ? std::nan("") : 50 + 40 * std::sin(i / 50.0);
        const double values[kChannelCount] = {humidity + noise,
                                              30 + 20 * std::cos(i / 70.0) + noise / 2};
        for (int channel = 0; channel < (i < lag ? 1 : kChannelCount); ++channel) {
            const std::int64_t before = chart.count();
            QCOMPARE(chart.append(channel, values[channel]), com::S_OK);
            const QRect dirty = renderer.dirtyAfterAppend(bounds, chart, before);
            if (!dirty.isEmpty())
                repaint(dirty);
        }
    }
    QImage full(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&full);
        ChartRenderer().paint(p, bounds, chart);
    }
    QRect differing;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            if (shown.pixel(x, y) != full.pixel(x, y))
                differing |= QRect(x, y, 1, 1);
    QVERIFY2(differing.isEmpty(), qPrintable(QStringLiteral("differ in %1,%2 %3x%4")
                                                 .arg(differing.x())
                                                 .arg(differing.y())
                                                 .arg(differing.width())
                                                 .arg(differing.height())));
}

void TstTrazoControl::drawingMatchesReference() {
    const auto held = com::ComPtr<TrazoPlotCtrl>::adopt(new TrazoPlotCtrl);
    TrazoPlotCtrl* ctrl = held.get();
    QVERIFY(com::succeeded(ctrl->InitNew()));
    const auto invoke = [ctrl](com::DispId id, std::uint16_t flags, const com::VariantList& a,
                               Variant* r) { return ctrl->Invoke(id, flags, a, r); };
    const com::HRESULT hr = runSetup(
        Setup{},
        [&](com::DispId id, std::int32_t i, const Variant& v) {
            return invoke(id, com::DISPATCH_PROPERTYPUT, {Variant(i), v}, nullptr);
        },
        [&](com::DispId id, std::int32_t i, Variant* v) {
            return invoke(id, com::DISPATCH_PROPERTYGET, {Variant(i)}, v);
        },
        [&](com::DispId id, const com::VariantList& a) {
            return invoke(id, com::DISPATCH_METHOD, a, nullptr);
        });
    QCOMPARE(hr, com::S_OK);
    // Ten hours on an eight-hour axis: the chart has scrolled by two hours.
    feed([&](com::DispId id,
             const com::VariantList& a) { return invoke(id, com::DISPATCH_METHOD, a, nullptr); },
         0, 10 * 3600);
    QImage image(900, 400, QImage::Format_RGB32);
    image.fill(Qt::gray);
    {
        QPainter p(&image);
        QCOMPARE(ctrl->Draw(&p, image.rect()), com::S_OK);
    }
    if (qEnvironmentVariableIsSet("BRISORA_UPDATE_REFERENCES"))
        QVERIFY(image.save(referencePath()));
    const QImage reference(referencePath());
    QVERIFY2(!reference.isNull(), qPrintable(referencePath()));
    QCOMPARE(image.size(), reference.size());
    const double share = differingShare(image, reference);
    if (share >= 0.02)
        image.save(QDir(m_dir.path()).filePath(QStringLiteral("chart-8h-actual.png")));
    QVERIFY2(share < 0.02, qPrintable(QStringLiteral("%1 of the pixels differ").arg(share)));
}

// A million readings, flat but for one far above the rest: the column that holds it reaches up to
// it, and no other column does, after a full paint and after the paints that follow it.
void TstTrazoControl::aSpikeOfOneSampleAmongAMillionIsDrawn() {
    const QRect bounds(0, 0, 1920, 400);
    const std::int64_t total = 1000000;
    const std::int64_t spike = total - 40000;
    StripChart chart;
    ChartSettings& s = chart.settings();
    QCOMPARE(s.setMaximum(axis::Time, 31 * 60.0), com::S_OK);
    QCOMPARE(s.setMinimum(axis::Left, 0.0), com::S_OK);
    QCOMPARE(s.setMaximum(axis::Left, 100.0), com::S_OK);
    com::HRESULT appended = com::S_OK;
    for (std::int64_t i = 0; i < total && com::succeeded(appended); ++i)
        appended = chart.append(0, i == spike ? 95.0 : 40.0 + double(i % 3));
    QCOMPARE(appended, com::S_OK);
    ChartRenderer renderer;
    const ChartLayout layout(bounds, s, renderer.fonts());
    const QRectF plot = layout.plot();
    const TimeWindow w = chart.window(plot.width());
    const LinearScale x(double(w.firstSample), double(w.lastSample()), plot.left(), plot.right());
    const LinearScale y(0.0, 100.0, plot.bottom(), plot.top());
    const int spikeX = int(x.toPixel(double(spike)));
    const int row = int(y.toPixel(90.0)); // well inside the spike's stroke, far above the rest
    const QColor colour = ClassicPalette::color(s.leftAxis().colorCode);
    const auto isCurve = [&colour](QRgb p) {
        return std::abs(qRed(p) - colour.red()) + std::abs(qGreen(p) - colour.green()) +
                   std::abs(qBlue(p) - colour.blue()) <
               200;
    };
    QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    for (int paint = 0; paint < 2; ++paint) { // the second paint reads what the first kept
        {
            QPainter p(&image);
            renderer.paint(p, bounds, chart);
        }
        int reached = 0;
        for (int col = int(plot.left()) + 2; col < int(plot.right()) - 2; ++col) {
            if (!isCurve(image.pixel(col, row)))
                continue;
            QVERIFY2(std::abs(col - spikeX) <= 2,
                     qPrintable(QStringLiteral("column %1 reaches the spike's height").arg(col)));
            ++reached;
        }
        QVERIFY2(reached > 0,
                 qPrintable(QStringLiteral("the spike at column %1 is lost in paint %2")
                                .arg(spikeX)
                                .arg(paint)));
    }
}

void TstTrazoControl::printToTheTypedFileNeverOverwrites() {
    // The file name typed in the set-up was ignored: every print went to a time-stamped name.
    // It is used now, and a file already there gets "-2", "-3" before the extension.
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed: printing would go to it");
    const QString dir = makePrintDir(QStringLiteral("to-file"));
    const testsupport::ScopedEnv printDir("BRISORA_PRINT_DIR", dir);
    const QString typed = QDir(makePrintDir(QStringLiteral("typed"))).filePath("informe.pdf");
    QFile earlier(QFileInfo(typed).dir().filePath("informe-2.pdf"));
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    QVERIFY(earlier.write("kept") == 4);
    earlier.close();
    QString shown;
    QMarginsF marginsShown;
    const SetupAnswer answer([&](QPrinter& printer) {
        shown = printer.outputFileName();
        marginsShown = printer.pageLayout().margins(QPageLayout::Millimeter);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(typed);
        printer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        return true;
    });
    const auto held = com::ComPtr<TrazoPlotCtrl>::adopt(new TrazoPlotCtrl);
    TrazoPlotCtrl* ctrl = held.get();
    QVERIFY(com::succeeded(ctrl->InitNew()));
    QCOMPARE(ctrl->Invoke(dispid::PrintSetup, com::DISPATCH_METHOD, {}, nullptr), com::S_OK);
    QCOMPARE(QFileInfo(shown).absolutePath(), dir); // before any choice, where prints go
    QVERIFY(marginsShown.left() >= 15.0 && marginsShown.top() >= 15.0);
    QStringList targets;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(ctrl->Invoke(dispid::PrintChart, com::DISPATCH_METHOD, {}, nullptr), com::S_OK);
        Variant target;
        QCOMPARE(ctrl->Invoke(dispid::PrintTarget, com::DISPATCH_METHOD, {}, &target), com::S_OK);
        targets << target.stringValue();
    }
    // The set-up shows the margins the prints kept, never under 15 mm.
    QCOMPARE(ctrl->Invoke(dispid::PrintSetup, com::DISPATCH_METHOD, {}, nullptr), com::S_OK);
    QCOMPARE(shown, QFileInfo(typed).dir().filePath("informe-5.pdf"));
    QCOMPARE(marginsShown, QMarginsF(15, 15, 15, 15));
    const QString folder = QFileInfo(typed).absolutePath();
    QCOMPARE(targets, (QStringList{typed, folder + "/informe-3.pdf", folder + "/informe-4.pdf"}));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("kept"));
    for (const QString& target : targets) {
        QFile pdf(target);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5).startsWith("%PDF"));
    }
    QVERIFY(QDir(dir).isEmpty());
}

void TstTrazoControl::printIsAVectorReport() {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed: printing would go to it");
    const QString dir = makePrintDir(QStringLiteral("report"));
    const testsupport::ScopedEnv printDir("BRISORA_PRINT_DIR", dir);
    QCOMPARE(m_site->setProperty(dispid::PrintTitle, Variant(QStringLiteral("Estación 7"))),
             com::S_OK);
    Variant title;
    QCOMPARE(m_site->getProperty(dispid::PrintTitle, &title), com::S_OK);
    QCOMPARE(title.stringValue(), QStringLiteral("Estación 7"));
    QCOMPARE(m_site->callMethod(dispid::PrintChart), com::S_OK);
    const QFileInfoList files = QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile pdf(files.first().filePath());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    // Lines and text, no picture of the chart: it prints sharp at any size.
    QVERIFY(!bytes.contains("/Subtype /Image"));
    QVERIFY(bytes.contains("/Font"));
    if (qEnvironmentVariableIsSet("BRISORA_CAPTURAS"))
        QFile::copy(pdf.fileName(),
                    QDir(qEnvironmentVariable("BRISORA_CAPTURAS")).filePath("informe.pdf"));
}

void TstTrazoControl::appendSamplesTakesAStretchWithGaps() {
    const auto held = com::ComPtr<TrazoPlotCtrl>::adopt(new TrazoPlotCtrl);
    TrazoPlotCtrl* ctrl = held.get();
    QVERIFY(com::succeeded(ctrl->InitNew()));
    std::vector<double> values{50.0, std::nan(""), 52.0, 53.0};
    QCOMPARE(ctrl->Invoke(dispid::AppendSamples, com::DISPATCH_METHOD,
                          {Variant(0), Variant::r8Ref(values.data(), 4)}, nullptr),
             com::S_OK);
    QCOMPARE(ctrl->chart().store(0).count(), std::int64_t(4));
    QVERIFY(std::isnan(ctrl->chart().store(0).at(1)));
    QCOMPARE(ctrl->chart().store(0).at(3), 53.0);
    QCOMPARE(ctrl->chart().store(1).count(), std::int64_t(0));
    QCOMPARE(ctrl->Invoke(dispid::AppendSamples, com::DISPATCH_METHOD,
                          {Variant(2), Variant::r8Ref(values.data(), 4)}, nullptr),
             com::DISP_E_BADINDEX);
    QCOMPARE(ctrl->chart().count(), std::int64_t(4));
}

void TstTrazoControl::labelsAtDesignedAndLargerSizes_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("pressureFrom");
    QTest::addColumn<double>("pressureTo");
    // The console's window on a 1024-pixel screen, and enlarged.
    QTest::newRow("designed") << QSize(707, 478) << 15.0 << 115.0;
    QTest::newRow("designed, pressure 90-110") << QSize(707, 478) << 90.0 << 110.0;
    QTest::newRow("enlarged") << QSize(1500, 900) << 15.0 << 115.0;
}

void TstTrazoControl::labelsAtDesignedAndLargerSizes() {
    QFETCH(QSize, size);
    QFETCH(double, pressureFrom);
    QFETCH(double, pressureTo);
    ChartSettings s;
    QCOMPARE(s.setMaximum(axis::Time, 480), com::S_OK);
    QCOMPARE(s.setStep(axis::Time, 60), com::S_OK);
    QCOMPARE(s.setStep(axis::Left, 20), com::S_OK);
    QCOMPARE(s.setStep(axis::Right, 20), com::S_OK);
    QCOMPARE(s.setMinimum(axis::Right, pressureFrom), com::S_OK);
    QCOMPARE(s.setMaximum(axis::Right, pressureTo), com::S_OK);
    QCOMPARE(s.setPosition(axis::Right, 480), com::S_OK);
    const ChartFonts fonts = ChartFonts::standard();
    const QRect bounds(QPoint(0, 0), size);
    const ChartLayout layout(bounds, s, fonts);
    const QFontMetricsF label(fonts.label);
    const QFontMetricsF title(fonts.title);
    const std::vector<double> time = layout.timeTicks(s.timeAxis(), 0, 480);
    QVERIFY(time.size() >= 4);
    // Neighbouring time labels stand apart.
    const double perMinute = layout.plot().width() / 480.0;
    for (std::size_t i = 1; i < time.size(); ++i)
        QVERIFY((time[i] - time[i - 1]) * perMinute >
                label.horizontalAdvance(ScaleMath::hoursMinutes(time[i])) + 4);
    for (const AxisSettings* a : {&s.leftAxis(), &s.rightAxis()}) {
        const std::vector<double> ticks = layout.valueTicks(*a);
        QVERIFY(ticks.size() >= 4);
        QVERIFY(layout.plot().height() / double(ticks.size()) > label.height());
    }
    // The window lays a panel over the top-left corner, down to 43 px: the top value label
    // (centred on the plot's top) stays below it.
    QVERIFY(layout.plot().top() - label.height() / 2 > 44);
    // The time axis's labels and title stay inside the chart.
    const double titleBottom = layout.plot().bottom() + ChartLayout::kTick + 3 * ChartLayout::kGap +
                               label.height() + title.height();
    QVERIFY(titleBottom <= bounds.bottom() + 1);
    QVERIFY(layout.plot().left() >= label.horizontalAdvance("0:00") / 2);
    QVERIFY(bounds.right() - layout.plot().right() >= label.horizontalAdvance("8:00") / 2);
}

void TstTrazoControl::setupDialogConfirmsWithOk() {
    QPrinter printer;
    QPrintDialog dialog(&printer);
    PrintDialogs::prepareSetupDialog(dialog);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons != nullptr);
    QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(),
             QCoreApplication::translate("QPlatformTheme", "OK"));
}

void TstTrazoControl::printWithoutSetupWritesPdfToPrintDir() {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed: printing would go to it");
    const QString dir = makePrintDir(QStringLiteral("prints"));
    const testsupport::ScopedEnv printDir("BRISORA_PRINT_DIR", dir);
    QVERIFY(QFileInfo(dir).isDir());
    // Through the module: the container never sees the chart's classes.
    QCOMPARE(m_site->callMethod(dispid::PrintChart), com::S_OK);
    const QFileInfoList files =
        QDir(dir).entryInfoList({QStringLiteral("Brisora-*.pdf")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY(files.first().size() > 1000);
}

void TstTrazoControl::designSurvivesSaveAndLoad() {
    QCOMPARE(m_site->setIndexedProperty(dispid::AxisTitle, axis::Left, Variant("Humedad (%)")),
             com::S_OK);
    QCOMPARE(m_site->setIndexedProperty(dispid::AxisMaximum, axis::Right, Variant(130.5)),
             com::S_OK);
    QByteArray stream;
    QCOMPARE(m_site->saveStream(&stream), com::S_OK);
    com::ControlSite other;
    QCOMPARE(other.createByProgId(QLatin1String(kIds.progId)), com::S_OK);
    QCOMPARE(other.loadStream(stream), com::S_OK);
    Variant v;
    QCOMPARE(other.getIndexedProperty(dispid::AxisMaximum, axis::Right, &v), com::S_OK);
    QCOMPARE(v, Variant(130.5));
    QCOMPARE(other.getIndexedProperty(dispid::AxisTitle, axis::Left, &v), com::S_OK);
    QCOMPARE(v.stringValue(), QStringLiteral("Humedad (%)"));
    // A damaged stream never leaves unusable settings behind.
    QCOMPARE(other.loadStream(stream.left(stream.size() / 2)), com::STG_E_READFAULT);
    QCOMPARE(other.getIndexedProperty(dispid::AxisMajorStep, axis::Right, &v), com::S_OK);
    QVERIFY(v.r8Value() > 0.0);
}

QTEST_MAIN(TstTrazoControl)
#include "tst_trazocontrol.moc"
