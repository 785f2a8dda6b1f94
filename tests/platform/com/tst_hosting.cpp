// A container's view: a control module registered into a fresh registry file, created by class
// id and by ProgID through the loader (this test does not link the module), hosted in a
// ControlSite, drawn, driven late-bound and heard through its events.
#include "com/ClassRegistration.h"
#include "com/ControlSite.h"
#include "com/ModuleExports.h"
#include "com/ObjectLoader.h"
#include "com/Registry.h"

#include <QLibrary>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace com;

namespace {

const Clsid kControl = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B20}");
const Clsid kPage = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B23}");
const QString kProgId = QStringLiteral("Test.TestCtrl.1");

QString modulePath() {
    return qEnvironmentVariable("BRISORA_BIN_DIR") + QStringLiteral("/comtestmodule.so");
}

HRESULT canUnloadNow() {
    QLibrary lib(modulePath());
    auto fn = reinterpret_cast<DllCanUnloadNowFn>(lib.resolve("DllCanUnloadNow"));
    return fn ? fn() : E_FAIL;
}

QList<int> ids(const QSignalSpy& spy) {
    QList<int> out;
    for (const QList<QVariant>& call : spy)
        out.append(call.at(0).toInt());
    return out;
}

} // namespace

class TestHosting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void registrationWritesTheClasses();
    void createFailures_data();
    void createFailures();
    void createByProgIdAndDriveLateBound();
    void drawRequestReachesOnDraw();
    void stockEventsFromInput();
    void streamStateTravelsBetweenSites();
    void destroyingTheSiteReleasesTheControl();
    void unregisterRemovesEverything();

private:
    QTemporaryDir m_dir;
};

void TestHosting::initTestCase() {
    QVERIFY2(QFile::exists(modulePath()), qPrintable(modulePath()));
    qputenv("BRISORA_REGISTRY", m_dir.filePath(QStringLiteral("registry.json")).toLocal8Bit());
    QCOMPARE(loader::registerModule(modulePath()), S_OK);
    QCOMPARE(loader::registerModule(modulePath()), S_OK); // twice is harmless
}

void TestHosting::cleanupTestCase() {
    qunsetenv("BRISORA_REGISTRY");
}

void TestHosting::registrationWritesTheClasses() {
    RegistryTree t;
    QCOMPARE(Registry().read(t), S_OK);
    QString path;
    QCOMPARE(registration::inprocServerPath(t, kControl, &path), S_OK);
    QCOMPARE(QFileInfo(path).canonicalFilePath(), QFileInfo(modulePath()).canonicalFilePath());
    QCOMPARE(registration::inprocServerPath(t, kPage, &path), S_OK);
    QVERIFY(!t.hasKey(registration::clsidKey(kPage) + "\\ProgID"));
    QVERIFY(t.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib")));
}

void TestHosting::createFailures_data() {
    QTest::addColumn<QString>("clsid");
    QTest::addColumn<HRESULT>("hr");
    QTest::newRow("not registered")
        << "{00000000-0000-0000-0000-000000000001}" << REGDB_E_CLASSNOTREG;
    QTest::newRow("page factory not available") << kPage.toString() << CLASS_E_CLASSNOTAVAILABLE;
}

void TestHosting::createFailures() {
    QFETCH(QString, clsid);
    QFETCH(HRESULT, hr);
    ControlSite site;
    QCOMPARE(hresultName(site.create(Guid::fromString(clsid))), hresultName(hr));
    QVERIFY(!site.hasControl());
    QCOMPARE(site.getProperty(1, nullptr), E_UNEXPECTED);
    QCOMPARE(site.createByProgId(QStringLiteral("No.Such.1")), REGDB_E_CLASSNOTREG);
}

void TestHosting::createByProgIdAndDriveLateBound() {
    ControlSite site;
    QCOMPARE(site.createByProgId(kProgId.toUpper()), S_OK);
    QCOMPARE(site.initNew(), S_OK);
    QCOMPARE(site.size(), QSize(200, 200));
    std::uint32_t status = 0;
    site.control()->GetMiscStatus(&status);
    QCOMPARE(status, 0x20191u);

    Variant v;
    QCOMPARE(site.getProperty(QStringLiteral("number"), &v), S_OK);
    QCOMPARE(v, Variant(7));
    QCOMPARE(site.setProperty(QStringLiteral("Caption"), Variant("Humedad")), S_OK);
    QCOMPARE(site.getProperty(4, &v), S_OK);
    QCOMPARE(v, Variant("Humedad"));
    QCOMPARE(site.setIndexedProperty(5, 2, Variant(std::int16_t(8))), S_OK);
    QCOMPARE(site.getIndexedProperty(5, 2, &v), S_OK);
    QCOMPARE(v, Variant(8));
    QCOMPARE(site.getIndexedProperty(5, 3, &v), DISP_E_BADINDEX);
    QCOMPARE(site.setProperty(QStringLiteral("Nope"), Variant(1)), DISP_E_UNKNOWNNAME);

    QSignalSpy events(&site, &ControlSite::controlEvent);
    QCOMPARE(site.callMethod(QStringLiteral("Fire"), {Variant(3)}), S_OK);
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.at(0).at(0).toInt(), 1);
    QCOMPARE(events.at(0).at(1).value<VariantList>(), VariantList{Variant(3)});
}

void TestHosting::drawRequestReachesOnDraw() {
    ControlSite site;
    QCOMPARE(site.create(kControl), S_OK);
    QVERIFY(com::succeeded(site.initNew()));
    site.resize(120, 80);
    QCOMPARE(site.activate(), S_OK);
    QVERIFY(site.controlWindow());
    QCOMPARE(site.controlWindow()->geometry(), QRect(0, 0, 120, 80));
    const QImage picture = site.grab().toImage();
    QCOMPARE(picture.pixelColor(60, 40), QColor(Qt::darkBlue));
    // The extent follows the window.
    site.show();
    site.resize(100, 50);
    QSize extent;
    site.control()->GetExtent(&extent);
    QCOMPARE(extent, QSize(2646, 1323));
}

void TestHosting::stockEventsFromInput() {
    ControlSite site;
    QVERIFY(com::succeeded(site.create(kControl)));
    QVERIFY(com::succeeded(site.initNew()));
    QVERIFY(com::succeeded(site.activate()));
    site.show();
    QVERIFY(QTest::qWaitForWindowExposed(&site));
    QSignalSpy events(&site, &ControlSite::controlEvent);
    QTest::mouseClick(site.controlWindow(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QCOMPARE(ids(events), (QList<int>{DISPID_MOUSEDOWN, DISPID_MOUSEUP, DISPID_CLICK}));
    const auto down = events.at(0).at(1).value<VariantList>();
    QCOMPARE(down, (VariantList{std::int16_t(1), std::int16_t(1), 10, 20}));
    events.clear();
    QTest::keyClick(site.controlWindow(), Qt::Key_A);
    QCOMPARE(ids(events), (QList<int>{DISPID_KEYDOWN, DISPID_KEYPRESS, DISPID_KEYUP}));
    QCOMPARE(events.at(0).at(1).value<VariantList>(),
             (VariantList{std::int16_t(0x41), std::int16_t(0)}));
    QCOMPARE(events.at(1).at(1).value<VariantList>(), VariantList{std::int16_t('a')});
}

void TestHosting::streamStateTravelsBetweenSites() {
    QByteArray state;
    {
        ControlSite a;
        QVERIFY(com::succeeded(a.create(kControl)));
        QVERIFY(com::succeeded(a.initNew()));
        QVERIFY(com::succeeded(a.setProperty(QStringLiteral("Number"), Variant(-9))));
        a.resize(259, 161);
        QVERIFY(com::succeeded(a.activate()));
        QCOMPARE(a.saveStream(&state), S_OK);
    }
    ControlSite b;
    QCOMPARE(b.create(kControl), S_OK);
    QCOMPARE(b.loadStream(state), S_OK);
    QCOMPARE(b.size(), QSize(259, 161));
    Variant v;
    QVERIFY(com::succeeded(b.getProperty(1, &v)));
    QCOMPARE(v, Variant(-9));
    QCOMPARE(b.loadStream(state.left(10)), STG_E_READFAULT);
}

void TestHosting::destroyingTheSiteReleasesTheControl() {
    QCOMPARE(canUnloadNow(), S_OK);
    auto* parent = new QWidget;
    auto* site = new ControlSite(parent);
    QVERIFY(com::succeeded(site->create(kControl)));
    QVERIFY(com::succeeded(site->initNew()));
    QVERIFY(com::succeeded(site->activate()));
    QPointer<QWidget> window = site->controlWindow();
    QVERIFY(window);
    QCOMPARE(canUnloadNow(), S_FALSE);
    delete parent; // the site goes with its parent; it closes the control first
    QVERIFY(!window);
    QCOMPARE(canUnloadNow(), S_OK);
}

void TestHosting::unregisterRemovesEverything() {
    QCOMPARE(loader::unregisterModule(modulePath()), S_OK);
    RegistryTree t;
    QCOMPARE(Registry().read(t), S_OK);
    QVERIFY(!t.hasKey(registration::clsidKey(kControl)));
    QVERIFY(!t.hasKey(registration::clsidKey(kPage)));
    QVERIFY(!t.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\") + kProgId));
    ControlSite site;
    QCOMPARE(site.create(kControl), REGDB_E_CLASSNOTREG);
    // A corrupt registry file is an error of its own, never "not registered".
    QFile f(Registry::defaultPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{");
    f.close();
    QCOMPARE(site.create(kControl), REGDB_E_READREGDB);
    // Registering into it reports the registry's failure and its reason, not a type-library
    // error.
    QString why;
    QCOMPARE(loader::registerModule(modulePath(), &why), REGDB_E_READREGDB);
    QVERIFY2(why.contains(Registry::defaultPath()) && why.contains(QStringLiteral("corrupt")),
             qPrintable(why));
    QCOMPARE(loader::unregisterModule(modulePath(), &why), REGDB_E_READREGDB);
}

QTEST_MAIN(TestHosting)
#include "tst_hosting.moc"
