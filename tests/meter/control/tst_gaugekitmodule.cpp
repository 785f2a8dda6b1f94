// The GAUGEKIT module as containers meet it: loaded by path, registered, found by class id
// and ProgID in a fresh registry, never linked.
#include "GaugeKitIds.h"

#include <com/ClassFactory.h>
#include <com/ControlSite.h>
#include <com/ObjectLoader.h>
#include <com/PropertyFrame.h>
#include <com/Registry.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace gaugekit;

namespace {

QString modulePath() {
    return qEnvironmentVariable("BRISORA_BIN_DIR") + QStringLiteral("/GAUGEKIT.so");
}

QString clsidKey(const char* clsid) {
    return QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") + QLatin1String(clsid);
}

const char* const kPages[5] = {kClsidGeneralPage, kClsidLookPage, kClsidScalePage, kClsidAlarmPage,
                               kClsidTimerPage};

} // namespace

class TestGaugeKitModule : public QObject {
    Q_OBJECT
private slots:
    void init();
    void registerTwiceThenUnregister();
    void createByProgIdFromFreshRegistry();
    void frameMakesThePagesThroughTheRegistry();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    com::RegistryTree readRegistry();
};

void TestGaugeKitModule::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("BRISORA_REGISTRY", m_dir->filePath(QStringLiteral("registry.json")).toUtf8());
    QVERIFY(QFile::exists(modulePath()));
}

com::RegistryTree TestGaugeKitModule::readRegistry() {
    com::RegistryTree tree;
    com::Registry registry;
    if (com::failed(registry.read(tree)))
        qWarning() << registry.lastError();
    return tree;
}

void TestGaugeKitModule::registerTwiceThenUnregister() {
    QCOMPARE(com::loader::registerModule(modulePath()), com::S_OK);
    const com::RegistryTree once = readRegistry();
    QCOMPARE(com::loader::registerModule(modulePath()), com::S_OK);
    QCOMPARE(readRegistry(), once);

    const QString control = clsidKey(kIds.clsidControl);
    QCOMPARE(once.stringValue(control), QStringLiteral("Ondavia Meter Control 1.0"));
    QCOMPARE(once.stringValue(control + QStringLiteral("\\ProgID")),
             QStringLiteral("GAUGEKIT.GAUGEKITCtrl.1"));
    QCOMPARE(once.stringValue(control + QStringLiteral("\\InprocServer32"),
                              QStringLiteral("ThreadingModel")),
             QStringLiteral("Apartment"));
    QCOMPARE(once.stringValue(control + QStringLiteral("\\Version")), QStringLiteral("1.1"));
    QCOMPARE(once.stringValue(control + QStringLiteral("\\MiscStatus")), QStringLiteral("131473"));
    QCOMPARE(once.stringValue(QStringLiteral("HKEY_CLASSES_ROOT\\GAUGEKIT.GAUGEKITCtrl.1\\CLSID")),
             QLatin1String(kIds.clsidControl));
    const QStringList pageNames = {"GAUGEKIT Property Page", "Meter Look Property Page",
                                   "Meter Scale Property Page", "Meter Alarms Property Page",
                                   "Timer Property Page"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(once.stringValue(clsidKey(kPages[i])), pageNames[i]);
        QVERIFY(!once.hasKey(clsidKey(kPages[i]) + QStringLiteral("\\ProgID")));
    }
    const QString typeLib =
        QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib\\") + QLatin1String(kIds.libId);
    QCOMPARE(once.stringValue(typeLib + QStringLiteral("\\1.1")),
             QStringLiteral("Ondavia Meter Control 1.0"));

    QCOMPARE(com::loader::unregisterModule(modulePath()), com::S_OK);
    const com::RegistryTree after = readRegistry();
    QVERIFY(!after.hasKey(control));
    QVERIFY(!after.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\GAUGEKIT.GAUGEKITCtrl.1")));
    QVERIFY(!after.hasKey(typeLib));
    for (const char* page : kPages)
        QVERIFY(!after.hasKey(clsidKey(page)));
}

void TestGaugeKitModule::createByProgIdFromFreshRegistry() {
    com::ControlSite site;
    QCOMPARE(site.createByProgId(QStringLiteral("GAUGEKIT.GAUGEKITCtrl.1")),
             com::REGDB_E_CLASSNOTREG);
    QCOMPARE(com::loader::registerModule(modulePath()), com::S_OK);
    QCOMPARE(site.createByProgId(QStringLiteral("GAUGEKIT.GAUGEKITCtrl.1")), com::S_OK);
    QCOMPARE(site.initNew(), com::S_OK);
    std::uint32_t status = 0;
    QCOMPARE(site.control()->GetMiscStatus(&status), com::S_OK);
    QCOMPARE(status, 0x20191u);
    QList<com::Clsid> pages;
    QCOMPARE(site.control()->GetPropertyPages(&pages), com::S_OK);
    QCOMPARE(pages.size(), 5);
    QCOMPARE(pages.first().toString(), QLatin1String(kClsidGeneralPage));
    QCOMPARE(pages.last().toString(), QLatin1String(kClsidTimerPage));
    QCOMPARE(site.controlSize(), QSize(200, 200));
    com::Variant v;
    QCOMPARE(site.getProperty(QStringLiteral("MeterStopArc"), &v), com::S_OK);
    QCOMPARE(v, com::Variant(std::int32_t(180)));
}

void TestGaugeKitModule::frameMakesThePagesThroughTheRegistry() {
    QCOMPARE(com::loader::registerModule(modulePath()), com::S_OK);
    com::ControlSite first;
    com::ControlSite second;
    for (com::ControlSite* site : {&first, &second}) {
        QCOMPARE(site->create(com::Guid::fromString(QString::fromLatin1(kIds.clsidControl))),
                 com::S_OK);
        QCOMPARE(site->initNew(), com::S_OK);
    }
    // The first is clicked (current); the frame edits the second, which it was given.
    first.resize(200, 200);
    QCOMPARE(first.activate(), com::S_OK);
    QTest::mouseClick(first.controlWindow(), Qt::LeftButton, {}, QPoint(5, 5));
    QList<com::Clsid> pages;
    QCOMPARE(second.control()->GetPropertyPages(&pages), com::S_OK);
    com::PropertyFrame frame(QStringLiteral("Meter"), {second.unknown()}, pages);
    QCOMPARE(frame.status(), com::S_OK);
    QCOMPARE(frame.pageCount(), 5);
    QStringList captions;
    for (int i = 0; i < frame.pageCount(); ++i) {
        com::PageInfo info;
        QCOMPARE(frame.page(i)->GetPageInfo(&info), com::S_OK);
        captions << info.title;
    }
    QCOMPARE(captions, (QStringList{"General", "Appearance", "Scale", "Alarms", "Timer"}));
    auto* width = frame.page(0)->Window()->findChild<QLineEdit*>(QStringLiteral("208"));
    QVERIFY(width);
    QCOMPARE(width->text(), QStringLiteral("1"));
    width->setText(QStringLiteral("6"));
    emit width->textEdited(width->text());
    QVERIFY(frame.applyButton()->isEnabled());
    QVERIFY(frame.applyPages());
    com::Variant v;
    QCOMPARE(second.getProperty(QStringLiteral("WindowBorderThickness"), &v), com::S_OK);
    QCOMPARE(v, com::Variant(std::int32_t(6)));
    QCOMPARE(first.getProperty(QStringLiteral("WindowBorderThickness"), &v), com::S_OK);
    QCOMPARE(v, com::Variant(std::int32_t(1)));

    // A class id that is no page of the module leaves it out and says why.
    com::PropertyFrame partial(QStringLiteral("Meter"), {second.unknown()},
                               {com::Guid::fromString(QString::fromLatin1(kIds.clsidControl))});
    QVERIFY(com::failed(partial.status()));
    QCOMPARE(partial.pageCount(), 0);
}

QTEST_MAIN(TestGaugeKitModule)
#include "tst_gaugekitmodule.moc"
