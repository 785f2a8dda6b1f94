// Handles, first-paint callbacks, the cached face, value updates, alarm callbacks and event
// forwarding of the lum library, driven as a meter control drives it.
#include "MeterFixture.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace lum;

namespace {

struct AlarmCall {
    quint64 pv;
    int channel;
    int code;
    double value;
    bool alarm;
    friend bool operator==(const AlarmCall&, const AlarmCall&) = default;
};

// Records the mouse and key events a widget receives.
class EventLog : public QWidget {
public:
    QList<QPoint> presses;
    QList<int> keys;

protected:
    void mousePressEvent(QMouseEvent* e) override { presses.append(e->position().toPoint()); }
    void keyPressEvent(QKeyEvent* e) override { keys.append(e->key()); }
};

QImage renderPlotImage(PlotHandle plot) {
    QWidget* w = LbGetPlotWindow(plot);
    QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    diag::renderPlot(plot, p);
    return image;
}

} // namespace

class TestLumLibrary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void pageSizeIsChecked();
    void firstPaintCallbacksRunOnce();
    void destroyingPageRetiresEverything();
    void deletingParentWidgetRetiresHandles();
    void staleForeignAndWrongKindHandlesAreRefused();
    void plotWithoutOwnerReportsError65();
    void valueUpdateKeepsCachedFace();
    void updateWithoutPlotMovesNeedles();
    void alarmCallbackOrderAndArguments_data();
    void alarmCallbackOrderAndArguments();
    void alarmsGoOnlyToTheirProcessVariable();
    void callbackMayDestroyTheProcessVariable();
    void firstPaintMayDestroyItsOwnPage();
    void releasePlotObjectsForRebuild();
    void meterArgumentsAreChecked();
    void textIdsAndPositionCodes();
    void mouseAndKeyEventsReachTheOwner();
    void outputsRefuseBadArguments();

private:
    QList<AlarmCall> m_calls;
};

void TestLumLibrary::initTestCase() {
    installFixtureCallbacks();
}

void TestLumLibrary::init() {
    m_calls.clear();
    LbCleanupAfterError();
    LrSetAlarmCallback([this](ProcessVarHandle pv, int ch, int code, double v, bool alarm) {
        m_calls.append({pv.raw(), ch, code, v, alarm});
        return 0;
    });
}

void TestLumLibrary::pageSizeIsChecked() {
    QWidget host;
    const PageHandle page = LbCreatePage(QStringLiteral("X"), &host, QString(), QString(), 0, 10, 0,
                                         0, 0, 0, 0, 50, nullptr);
    QVERIFY(page.isNull());
    QCOMPARE(LbGetLastError(), kErrInvalidArg);
    // Without a parent the page is a hidden window of its own, rendered offscreen on demand.
    MeterFixture f(MeterSetup{});
    const PageHandle alone = LbCreatePage(QStringLiteral("Y"), nullptr, QString(), QString(), 0, 10,
                                          0, 0, 0, 0, 120, 90, &f);
    QVERIFY(!LbGetPageWindow(alone)->isVisible());
    QCOMPARE(diag::grabPage(alone).size(), QSize(120, 90));
    QCOMPARE(f.plotCallbacks, 1);
    QCOMPARE(LbDestroyPage(alone), kOk);
}

void TestLumLibrary::firstPaintCallbacksRunOnce() {
    MeterFixture f(MeterSetup{});
    QVERIFY(LbIsValidPage(f.page));
    QCOMPARE(LbGetPageWindow(f.page)->parentWidget(), &f.host);
    QCOMPARE(f.pageCallbacks, 0);
    f.grab();
    f.grab();
    f.host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.host));
    f.host.repaint();
    QCOMPARE(f.pageCallbacks, 1);
    QCOMPARE(f.plotCallbacks, 1);
    QVERIFY(LbIsValidPlot(f.plot));
    QVERIFY(LrIsValidMeter(f.meter));
    QCOMPARE(diag::meterCount(f.plot), 1);
    // The plot covers the fractional rectangle 0.01..0.99 of the page.
    QCOMPARE(LbGetPlotWindow(f.plot)->geometry(), QRect(3, 2, 253, 157));
}

void TestLumLibrary::destroyingPageRetiresEverything() {
    auto f = std::make_unique<MeterFixture>(MeterSetup{});
    f->grab();
    const PageHandle page = f->page;
    const PlotHandle plot = f->plot;
    const MeterHandle meter = f->meter;
    const DcHandle dc = f->dc;
    QCOMPARE(LbDestroyPage(page), kOk);
    QVERIFY(!LbIsValidPage(page));
    QVERIFY(!LbIsValidPlot(plot));
    QVERIFY(!LrIsValidMeter(meter));
    QCOMPARE(LbAddText(plot, dc, QStringLiteral("x"), 0.5, 0.5, 6, 0), quint16(0));
    QCOMPARE(LbDestroyPage(page), kErrInvalidHandle);
    QCOMPARE(LbGetPageWindow(page), nullptr);
    // The process variable lives on its own until destroyed.
    const double v = 3.0;
    QCOMPARE(LrUpdateProcessVar(f->pv, std::span(&v, 1), PlotHandle{}), kOk);
}

void TestLumLibrary::deletingParentWidgetRetiresHandles() {
    auto host = std::make_unique<QWidget>();
    const PageHandle page = LbCreatePage(QStringLiteral("P"), host.get(), QString(), QString(), 0,
                                         10, 0, 0, 0, 0, 100, 100, this);
    const PlotHandle plot =
        LbCreatePlotArea(nullptr, page, 0.1, 0.1, 0.9, 0.9, 0xFFFFFF, 0, 1, this);
    QVERIFY(LbIsValidPlot(plot));
    host.reset();
    QVERIFY(!LbIsValidPage(page));
    QVERIFY(!LbIsValidPlot(plot));
    QCOMPARE(LbDestroyPage(page), kErrInvalidHandle);
}

void TestLumLibrary::staleForeignAndWrongKindHandlesAreRefused() {
    MeterFixture f(MeterSetup{});
    f.grab();
    // Wrong kind: the plot's bits presented as a page, a meter's as a plot.
    QVERIFY(!LbIsValidPage(PageHandle::fromRaw(f.plot.raw())));
    QCOMPARE(LbSetPlotBevel(PlotHandle::fromRaw(f.meter.raw()), 1), kErrInvalidHandle);
    // Foreign: made-up values, a slot far away, the right slot with another generation.
    QVERIFY(!LbIsValidPlot(PlotHandle::fromRaw(0x1234)));
    QVERIFY(!LbIsValidPlot(PlotHandle::fromRaw((quint64(2) << 56) | (quint64(1) << 24) | 9999)));
    QVERIFY(!LbIsValidPlot(PlotHandle::fromRaw(f.plot.raw() + (quint64(1) << 24))));
    // A DC belongs to its own plot only.
    MeterFixture other(MeterSetup{});
    other.grab();
    QCOMPARE(LbSetLineAttributes(f.plot, other.dc, 0, 1, 0), kErrInvalidHandle);
    QCOMPARE(LbSetLineAttributes(f.plot, f.dc, 0, 1, 0), kOk);
    // A meter is found only on its own plot.
    QCOMPARE(LrSetAlarmArcRange(other.plot, f.meter, 0, 10), kErrInvalidHandle);
    // Stale: a destroyed process variable, whose slot is then reused.
    const ProcessVarHandle pv = LrCreateProcessVar(QStringLiteral("X"), 1, QString(), 0, 0);
    QCOMPARE(LrDestroyProcessVar(pv), kOk);
    const ProcessVarHandle reused = LrCreateProcessVar(QStringLiteral("Y"), 1, QString(), 0, 0);
    QVERIFY(reused != pv);
    QCOMPARE(LrSetAlarm(pv, kAlarmHigh, 1.0, QString()), kErrInvalidHandle);
    QCOMPARE(LrDestroyProcessVar(pv), kErrInvalidHandle);
    QCOMPARE(LrSetAlarm(reused, kAlarmHigh, 1.0, QString()), kOk);
    LrDestroyProcessVar(reused);
    // The null handle names nothing.
    QCOMPARE(LbRedrawPlot(PlotHandle{}, 1), kErrInvalidHandle);
}

void TestLumLibrary::plotWithoutOwnerReportsError65() {
    QWidget host;
    const PageHandle page = LbCreatePage(QStringLiteral("P"), &host, QString(), QString(), 0, 10, 0,
                                         0, 0, 0, 80, 80, this);
    const PlotHandle plot =
        LbCreatePlotArea(nullptr, page, 0.0, 0.0, 1.0, 1.0, 0xFFFFFF, 0, 1, nullptr);
    QVERIFY(LbIsValidPlot(plot));
    // The page's owner is this test object, not a fixture: run only the plot's paint.
    LbGetPlotWindow(plot)->grab();
    QCOMPARE(LbPendingError(), kLibErrorPlotWithoutOwner);
    LbCleanupAfterError();
    QCOMPARE(LbPendingError(), 0);
    LbDestroyPage(page);
}

void TestLumLibrary::valueUpdateKeepsCachedFace() {
    MeterFixture f(MeterSetup{});
    f.grab();
    const int builds = diag::staticLayerBuilds(f.plot);
    QVERIFY(builds >= 1);
    const QImage before = renderPlotImage(f.plot);
    for (double v : {2.0, 7.5, 9.5, 0.5}) {
        QCOMPARE(f.update(std::span(&v, 1)), kOk);
        renderPlotImage(f.plot);
    }
    QCOMPARE(diag::staticLayerBuilds(f.plot), builds);
    QVERIFY(renderPlotImage(f.plot) != before);
    // A change of the face (a new text) or of the size rebuilds it once.
    LbAddText(f.plot, f.dc, QStringLiteral("x"), 0.1, 0.1, 0, 0);
    renderPlotImage(f.plot);
    QCOMPARE(diag::staticLayerBuilds(f.plot), builds + 1);
    LbGetPlotWindow(f.plot)->resize(200, 120);
    renderPlotImage(f.plot);
    renderPlotImage(f.plot);
    QCOMPARE(diag::staticLayerBuilds(f.plot), builds + 2);
}

void TestLumLibrary::updateWithoutPlotMovesNeedles() {
    for (int type : {0, 1, 2}) {
        MeterSetup s;
        s.type = type;
        MeterFixture f(s);
        f.grab();
        const QImage before = renderPlotImage(f.plot);
        const double v = 8.0;
        QCOMPARE(f.update(std::span(&v, 1), false), kOk);
        QCOMPARE(LrGetProcessVarValue(f.pv, 0), 8.0);
        QVERIFY2(renderPlotImage(f.plot) != before, qPrintable(QString::number(type)));
    }
}

void TestLumLibrary::alarmCallbackOrderAndArguments_data() {
    QTest::addColumn<QList<double>>("first");
    QTest::addColumn<QList<double>>("second");
    QTest::addColumn<QList<AlarmCall>>("expected"); // pv field 1 stands for the fixture's pv
    using L = QList<double>;
    QTest::newRow("no change") << L{5, 5, 5} << L{6, 4, 5} << QList<AlarmCall>{};
    QTest::newRow("channels in order")
        << L{5, 5, 5} << L{0.5, 5, 9.5}
        << QList<AlarmCall>{{1, 0, kAlarmLow, 0.5, true}, {1, 2, kAlarmHigh, 9.5, true}};
    QTest::newRow("return to OK") << L{9.5, 0.5, 5} << L{5, 5, 5}
                                  << QList<AlarmCall>{{1, 0, kAlarmOk, 5, false},
                                                      {1, 1, kAlarmOk, 5, false}};
    QTest::newRow("limits are inclusive")
        << L{5, 5, 5} << L{9.0, 1.0, 5}
        << QList<AlarmCall>{{1, 0, kAlarmHigh, 9.0, true}, {1, 1, kAlarmLow, 1.0, true}};
    QTest::newRow("fewer values than channels")
        << L{5, 5, 5} << L{9.9} << QList<AlarmCall>{{1, 0, kAlarmHigh, 9.9, true}};
}

void TestLumLibrary::alarmCallbackOrderAndArguments() {
    QFETCH(QList<double>, first);
    QFETCH(QList<double>, second);
    QFETCH(QList<AlarmCall>, expected);
    MeterSetup s;
    s.channels = 3;
    MeterFixture f(s);
    f.grab();
    QCOMPARE(f.update(first), kOk);
    m_calls.clear();
    QCOMPARE(f.update(second), kOk);
    for (AlarmCall& c : expected)
        c.pv = f.pv.raw();
    QCOMPARE(m_calls, expected);
}

void TestLumLibrary::alarmsGoOnlyToTheirProcessVariable() {
    MeterFixture a(MeterSetup{});
    MeterFixture b(MeterSetup{});
    a.grab();
    b.grab();
    m_calls.clear();
    const double high = 9.5;
    b.update(std::span(&high, 1));
    QCOMPARE(m_calls.size(), 1);
    QCOMPARE(m_calls.first().pv, b.pv.raw());
    QCOMPARE(LrGetProcessVarAlarm(a.pv, 0), kAlarmOk);
    QCOMPARE(LrGetProcessVarAlarm(b.pv, 0), kAlarmHigh);
}

void TestLumLibrary::callbackMayDestroyTheProcessVariable() {
    MeterSetup s;
    s.channels = 2;
    MeterFixture f(s);
    f.grab();
    LrSetAlarmCallback([&](ProcessVarHandle pv, int, int, double, bool) {
        LrDestroyProcessVar(pv);
        LrSetAlarmCallback({});
        return 0;
    });
    const double values[] = {9.5, 9.5};
    QCOMPARE(f.update(values), kOk);
    QCOMPARE(LrSetAlarm(f.pv, kAlarmHigh, 1, QString()), kErrInvalidHandle);
    // The meter keeps its last values and still paints.
    renderPlotImage(f.plot);
}

void TestLumLibrary::firstPaintMayDestroyItsOwnPage() {
    PageHandle page;
    Context context;
    LbInitialize(
        &context,
        [](void* owner, PageHandle p) {
            LbCreatePlotArea(nullptr, p, 0.0, 0.0, 1.0, 1.0, 0xFFFFFF, 0, 1, owner);
        },
        [&page](void*, PlotHandle, DcHandle) { LbDestroyPage(page); }, kInitFlags);
    QWidget host;
    host.resize(120, 80);
    page = LbCreatePage(QStringLiteral("P"), &host, QString(), QString(), 0, 10, 0, 0, 0, 0, 120,
                        80, this);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    for (int i = 0; i < 3 && LbIsValidPage(page); ++i)
        host.repaint();
    QVERIFY(!LbIsValidPage(page));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(host.findChildren<QWidget*>().isEmpty());
    installFixtureCallbacks();
}

void TestLumLibrary::releasePlotObjectsForRebuild() {
    MeterFixture f(MeterSetup{});
    f.grab();
    const PlotHandle old = f.plot;
    const MeterHandle meter = f.meter;
    QCOMPARE(LrReleasePlotObjects(old), kOk);
    QVERIFY(!LbIsValidPlot(old));
    QVERIFY(!LrIsValidMeter(meter));
    // The rebuild: a fresh plot area on the same page, built at its first paint.
    f.onPage(f.page);
    QVERIFY(f.plot != old);
    f.grab();
    QCOMPARE(f.plotCallbacks, 2);
    QCOMPARE(diag::meterCount(f.plot), 1);
    // Only one plot area is left on the page: rebuilds do not pile them up.
    QCOMPARE(LbGetPageWindow(f.page)->findChildren<QWidget*>().size(), 1);
}

void TestLumLibrary::meterArgumentsAreChecked() {
    MeterFixture f(MeterSetup{});
    f.grab();
    const Colorref colors[5] = {};
    const auto needle = [&](int channel, double min) {
        return LrCreateNeedleMeter(f.plot, f.pv, channel, min, 10, 0.5, 0.5, 0.5, 0, 180, 9, colors,
                                   0.1, 2, 3, 0, 0, 0, true, 1, true, false, true, 0.1, {});
    };
    QVERIFY(needle(1, 0).isNull()); // the fixture's process variable has one channel
    QCOMPARE(LbGetLastError(), kErrInvalidArg);
    QVERIFY(needle(kAllChannels, std::nan("")).isNull());
    // Out-of-range styles and short colour lists fall back to defaults.
    QVERIFY(!needle(0, 0).isNull());
    // Absurd positions are held within reach of the plot rather than handed to the painter.
    QVERIFY(!LrCreatePieMeter(f.plot, f.pv, 0, 0, 10, 0, 1e300, -1e300, 1e300, 0, 180, 1, 2, 0.1, 2,
                              3, 0, 0, true, true, 0.1, {})
                 .isNull());
    QVERIFY(LbAddText(f.plot, f.dc, QStringLiteral("far"), -1e300, 1e300, 6, 0) != 0);
    QCOMPARE(LrAddMeterBorder(f.plot, f.meter, 0.5, 0.5, 0.8, 0.8, 0, 7, 0, 1), kErrInvalidArg);
    QCOMPARE(LbSetPlotBevel(f.plot, 3), kErrInvalidArg);
    renderPlotImage(f.plot);
}

void TestLumLibrary::textIdsAndPositionCodes() {
    MeterSetup s;
    s.title.clear();
    s.footer.clear();
    MeterFixture f(s);
    f.grab();
    LbSetFont(0x0000FF, QStringLiteral("Arial"), 10, kFontBold);
    const quint16 a = LbAddText(f.plot, f.dc, QStringLiteral("Top"), 0.5, 0.0, 6, 0);
    const quint16 b = LbAddText(f.plot, f.dc, QStringLiteral("Bottom"), 0.5, 1.0, 14, 0);
    QVERIFY(a != 0 && b != 0 && a != b);
    const QImage image = renderPlotImage(f.plot);
    // Top centre hangs below y 0; bottom centre sits above the bottom edge: red pixels in the
    // top and bottom bands near the middle.
    const auto redIn = [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = image.width() / 2 - 20; x < image.width() / 2 + 20; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                    return true;
            }
        return false;
    };
    QVERIFY(redIn(0, 16));
    QVERIFY(redIn(image.height() - 16, image.height()));
}

void TestLumLibrary::mouseAndKeyEventsReachTheOwner() {
    EventLog host;
    host.resize(200, 100);
    const PageHandle page = LbCreatePage(QStringLiteral("P"), &host, QString(), QString(), 0, 10, 0,
                                         0, 10, 5, 180, 90, this);
    const PlotHandle plot = LbCreatePlotArea(nullptr, page, 0.5, 0.0, 1.0, 1.0, 0, 0, 1, this);
    QWidget* plotWidget = LbGetPlotWindow(plot);
    QTest::mousePress(plotWidget, Qt::LeftButton, {}, QPoint(4, 7));
    QTest::mousePress(LbGetPageWindow(page), Qt::LeftButton, {}, QPoint(1, 1));
    QTest::keyPress(plotWidget, Qt::Key_A);
    // Positions arrive in the owner's coordinates: page at (10, 5), plot at x 90 of the page.
    QCOMPARE(host.presses, (QList<QPoint>{QPoint(104, 12), QPoint(11, 6)}));
    QCOMPARE(host.keys, QList<int>{Qt::Key_A});
    EventLog other;
    QCOMPARE(LbSetEventTarget(page, &other), kOk);
    QTest::mousePress(plotWidget, Qt::LeftButton, {}, QPoint(4, 7));
    QCOMPARE(other.presses.size(), 1);
    QCOMPARE(host.presses.size(), 2);
    LbDestroyPage(page);
}

void TestLumLibrary::outputsRefuseBadArguments() {
    MeterFixture f(MeterSetup{});
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("x.svg"));
    QCOMPARE(LbSavePageMetafile(PageHandle(), kMetafileSvg, file), kErrInvalidHandle);
    QCOMPARE(LbSavePageMetafile(f.page, 7, file), kErrInvalidArg);
    QCOMPARE(LbSavePageMetafile(f.page, kMetafileSvg, QString()), kErrInvalidArg);
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(LbCopyPageToClipboard(PageHandle()), kErrInvalidHandle);
    QImage image(10, 10, QImage::Format_ARGB32);
    QCOMPARE(LbDrawPageInto(nullptr, f.page, QRect(0, 0, 10, 10), 1), kErrInvalidArg);
    QPainter p(&image);
    QCOMPARE(LbDrawPageInto(&p, f.page, QRect(), 1), kErrInvalidArg);
    QCOMPARE(LbDrawPageInto(&p, PageHandle(), QRect(0, 0, 10, 10), 1), kErrInvalidHandle);
    QCOMPARE(LbDrawPageInto(&p, f.page, QRect(0, 0, 10, 10), 1), kOk);
}

QTEST_MAIN(TestLumLibrary)
#include "tst_lum_library.moc"
