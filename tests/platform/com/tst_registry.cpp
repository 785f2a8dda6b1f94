// The registry: key tree, the locked atomic file, concurrent writers and class registration.
#include "com/ClassRegistration.h"
#include "com/Registry.h"

#include <TestFiles.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace com;
using testsupport::fileBytes;

namespace {

const Clsid kClass = Guid::fromString(u"{11111111-2222-3333-4444-555555555555}");
const Clsid kPage = Guid::fromString(u"{11111111-2222-3333-4444-555555555556}");
const Guid kLib = Guid::fromString(u"{11111111-2222-3333-4444-555555555557}");

ControlClassInfo controlInfo() {
    return {kClass, QStringLiteral("Test Control"), QStringLiteral("Test.Ctrl.1"),
            kLib,   QStringLiteral("1.1"),          0x20191,
            1};
}

TypeLibraryDescription typeLib() {
    TypeLibraryDescription lib;
    lib.libId = kLib;
    lib.helpString = QStringLiteral("Test Control 1.0");
    lib.interfaces = {{kPage, QStringLiteral("_DTest"), {}, false, {}}};
    return lib;
}

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void treeNamesIgnoreCase();
    void treeRejectsBadValues();
    void missingFileIsEmpty();
    void updateWritesAndAbandonedEditWritesNothing();
    void corruptFileIsReportedNotOverwritten_data();
    void corruptFileIsReportedNotOverwritten();
    void fileLargerThanTheBoundIsRefusedNotOverwritten_data();
    void fileLargerThanTheBoundIsRefusedNotOverwritten();
    void endlessDeviceIsRefused_data();
    void endlessDeviceIsRefused();
    void environmentNamesTheFile();
    void lockLeftByADeadProcessDoesNotBlock();
    void twoProcessesLoseNothing();
    void controlRegistrationTwiceIsConsistent();
    void unregisterRemovesClassesAndProgId();
    void typeLibraryEntries();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestRegistry::init() {
    m_path = m_dir.filePath(QStringLiteral("reg-%1.json").arg(QTest::currentTestFunction()));
    QFile::remove(m_path);
}

void TestRegistry::treeNamesIgnoreCase() {
    RegistryTree t;
    QVERIFY(t.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32"), {},
                       QStringLiteral("/x.so")));
    QCOMPARE(t.stringValue(QStringLiteral("hkey_classes_root\\clsid\\{a}\\INPROCSERVER32")),
             QStringLiteral("/x.so"));
    QVERIFY(t.setValue(QStringLiteral("A\\B"), QStringLiteral("Flags"), 7));
    QCOMPARE(t.value(QStringLiteral("a\\b"), QStringLiteral("FLAGS"))->toUInt(), 7u);
    QCOMPARE(t.subKeys(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID")), QStringList{"{A}"});
    QVERIFY(t.deleteKey(QStringLiteral("hkey_classes_root\\CLSID")));
    QVERIFY(!t.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}")));
    QVERIFY(t.hasKey(QStringLiteral("HKEY_CLASSES_ROOT")));
    RegistryTree back;
    QVERIFY(back.fromJson(t.toJson()));
    QVERIFY(back == t);
}

void TestRegistry::treeRejectsBadValues() {
    RegistryTree t;
    QVERIFY(!t.setValue(QStringLiteral("K"), {}, 1.5));
    QVERIFY(!t.setValue(QStringLiteral("K"), {}, qlonglong(1) << 40));
    QVERIFY(!t.setValue(QString(), {}, QStringLiteral("x")));
    QVERIFY(t.isEmpty());
}

void TestRegistry::missingFileIsEmpty() {
    RegistryTree t;
    t.createKey(QStringLiteral("junk"));
    QCOMPARE(Registry(m_path).read(t), S_OK);
    QVERIFY(t.isEmpty());
    QVariant v;
    QCOMPARE(Registry(m_path).value(QStringLiteral("A"), {}, &v), REGDB_E_KEYMISSING);
}

void TestRegistry::updateWritesAndAbandonedEditWritesNothing() {
    Registry reg(m_path);
    QCOMPARE(reg.setValue(QStringLiteral("A\\B"), QStringLiteral("n"), 5), S_OK);
    const QByteArray before = fileBytes(m_path);
    QCOMPARE(reg.update([](RegistryTree& t) {
        t.setValue(QStringLiteral("A\\C"), {}, QStringLiteral("lost"));
        return false;
    }),
             S_FALSE);
    QCOMPARE(fileBytes(m_path), before);
    QVariant v;
    QCOMPARE(reg.value(QStringLiteral("a\\b"), QStringLiteral("N"), &v), S_OK);
    QCOMPARE(v.toUInt(), 5u);
    // Nothing is left beside the file: no temporary, no lock.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter(QFileInfo(m_path).fileName()),
             QStringList{QFileInfo(m_path).fileName()});
}

void TestRegistry::corruptFileIsReportedNotOverwritten_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not json") << QByteArray("{\"keys\": {");
    QTest::newRow("json array") << QByteArray("[1, 2]");
    QTest::newRow("bad value") << QByteArray("{\"values\": {\"x\": {\"dword\": -1}}}");
    QTest::newRow("unknown entry") << QByteArray("{\"kees\": {}}");
}

void TestRegistry::corruptFileIsReportedNotOverwritten() {
    QFETCH(QByteArray, content);
    QFile f(m_path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    Registry reg(m_path);
    QCOMPARE(reg.setValue(QStringLiteral("A"), {}, QStringLiteral("x")), REGDB_E_READREGDB);
    QVERIFY(reg.lastError().contains(QStringLiteral("corrupt")));
    QCOMPARE(fileBytes(m_path), content);
}

void TestRegistry::fileLargerThanTheBoundIsRefusedNotOverwritten_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<HRESULT>("result");
    QTest::newRow("at the bound") << Registry::kMaxFileBytes << S_OK;
    QTest::newRow("one byte more") << Registry::kMaxFileBytes + 1 << REGDB_E_READREGDB;
}

void TestRegistry::fileLargerThanTheBoundIsRefusedNotOverwritten() {
    QFETCH(qint64, size);
    QFETCH(HRESULT, result);
    // A valid registry padded with blanks: only its size can make it unwelcome.
    QByteArray content("{}");
    content.append(size - content.size(), ' ');
    QFile f(m_path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(content), size);
    f.close();
    Registry::clearLastThreadError();
    Registry reg(m_path);
    QCOMPARE(reg.setValue(QStringLiteral("A"), {}, QStringLiteral("x")), result);
    if (result == S_OK)
        return;
    QCOMPARE(Registry::lastThreadError(), reg.lastError());
    QVERIFY2(reg.lastError().contains(QStringLiteral("larger than 8 MiB")),
             qPrintable(reg.lastError()));
    QVERIFY(fileBytes(m_path) == content);
}

void TestRegistry::endlessDeviceIsRefused_data() {
    QTest::addColumn<QString>("device");
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
    QTest::newRow("/dev/full") << QStringLiteral("/dev/full");
}

void TestRegistry::endlessDeviceIsRefused() {
    // Reading such a file used to go on until memory ran out.
    QFETCH(QString, device);
    if (!QFile::exists(device))
        QSKIP("no such device here");
    Registry reg(device);
    RegistryTree t;
    QCOMPARE(reg.read(t), REGDB_E_READREGDB);
    QVERIFY2(reg.lastError().contains(QStringLiteral("larger than")), qPrintable(reg.lastError()));
}

void TestRegistry::environmentNamesTheFile() {
    qputenv("BRISORA_REGISTRY", m_path.toLocal8Bit());
    QCOMPARE(Registry::defaultPath(), m_path);
    QCOMPARE(Registry().setValue(QStringLiteral("E"), {}, QStringLiteral("v")), S_OK);
    QVERIFY(fileBytes(m_path).contains("\"E\""));
    qunsetenv("BRISORA_REGISTRY");
    QVERIFY(Registry::defaultPath().endsWith(QStringLiteral("/brisora/registry.json")));
}

void TestRegistry::lockLeftByADeadProcessDoesNotBlock() {
    // A writer that died while holding the lock leaves its lock file behind.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile lock(m_path + QStringLiteral(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nRegistryWriter\n" +
               QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    Registry reg(m_path);
    QCOMPARE(reg.setValue(QStringLiteral("A"), {}, QStringLiteral("after crash")), S_OK);
    QVariant v;
    QCOMPARE(reg.value(QStringLiteral("A"), {}, &v), S_OK);
    QCOMPARE(v.toString(), QStringLiteral("after crash"));
}

void TestRegistry::twoProcessesLoseNothing() {
    const QString tool = qEnvironmentVariable("BRISORA_BIN_DIR") + "/com_registry_writer";
    QVERIFY2(QFile::exists(tool), qPrintable(tool));
    constexpr int kWrites = 40;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISORA_REGISTRY"), m_path);
    QProcess a, b;
    for (QProcess* p : {&a, &b})
        p->setProcessEnvironment(env);
    a.start(tool, {QStringLiteral("a"), QString::number(kWrites)});
    b.start(tool, {QStringLiteral("b"), QString::number(kWrites)});
    for (QProcess* p : {&a, &b}) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }
    RegistryTree t;
    QCOMPARE(Registry(m_path).read(t), S_OK);
    for (const char* who : {"a", "b"}) {
        const QString key = QStringLiteral("HKEY_CLASSES_ROOT\\Writers\\") + who;
        QCOMPARE(t.valueNames(key).size(), kWrites);
    }
}

void TestRegistry::controlRegistrationTwiceIsConsistent() {
    RegistryTree once;
    registration::registerControlClass(once, controlInfo(), QStringLiteral("/m/x.so"));
    registration::registerPropertyPageClass(once, kPage, QStringLiteral("Page"),
                                            QStringLiteral("/m/x.so"));
    RegistryTree twice = once;
    registration::registerControlClass(twice, controlInfo(), QStringLiteral("/m/x.so"));
    registration::registerPropertyPageClass(twice, kPage, QStringLiteral("Page"),
                                            QStringLiteral("/m/x.so"));
    QVERIFY(twice == once);

    const QString key = registration::clsidKey(kClass);
    QCOMPARE(once.stringValue(key), QStringLiteral("Test Control"));
    QCOMPARE(once.stringValue(key + "\\InprocServer32"), QStringLiteral("/m/x.so"));
    QCOMPARE(once.stringValue(key + "\\InprocServer32", QStringLiteral("ThreadingModel")),
             QStringLiteral("Apartment"));
    QCOMPARE(once.stringValue(key + "\\MiscStatus"), QStringLiteral("131473"));
    QCOMPARE(once.stringValue(key + "\\MiscStatus\\1"), QStringLiteral("131473"));
    QCOMPARE(once.stringValue(key + "\\ProgID"), QStringLiteral("Test.Ctrl.1"));
    QCOMPARE(once.stringValue(key + "\\TypeLib"), kLib.toString());
    QCOMPARE(once.stringValue(key + "\\Version"), QStringLiteral("1.1"));
    QVERIFY(once.hasKey(key + "\\Insertable"));
    Clsid found;
    QCOMPARE(registration::clsidFromProgId(once, QStringLiteral("test.ctrl.1"), &found), S_OK);
    QCOMPARE(found, kClass);
    const QString page = registration::clsidKey(kPage);
    QCOMPARE(once.subKeys(page), QStringList{"InprocServer32"});
    QVERIFY(once.valueNames(page + "\\InprocServer32") == QStringList{QString()});
}

void TestRegistry::unregisterRemovesClassesAndProgId() {
    RegistryTree t;
    t.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\Other"), {}, QStringLiteral("stays"));
    const RegistryTree before = t;
    registration::registerControlClass(t, controlInfo(), QStringLiteral("/m/x.so"));
    registration::registerPropertyPageClass(t, kPage, QStringLiteral("Page"),
                                            QStringLiteral("/m/x.so"));
    registration::unregisterClass(t, kClass); // ProgID found under the class key
    registration::unregisterClass(t, kPage);
    t.deleteKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID")); // the now empty parent
    QVERIFY(t == before);
    QString path;
    QCOMPARE(registration::inprocServerPath(t, kClass, &path), REGDB_E_CLASSNOTREG);
}

void TestRegistry::typeLibraryEntries() {
    RegistryTree t;
    registration::registerTypeLibrary(t, typeLib(), QStringLiteral("/m/x.so"));
    const QString ver = QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib\\") + kLib.toString() + "\\1.1";
    QCOMPARE(t.stringValue(ver), QStringLiteral("Test Control 1.0"));
    QCOMPARE(t.stringValue(ver + "\\0\\linux"), QStringLiteral("/m/x.so"));
    QCOMPARE(t.stringValue(ver + "\\HELPDIR"), QStringLiteral("/m"));
    QVERIFY(t.hasKey(ver + "\\FLAGS"));
    QCOMPARE(t.stringValue("HKEY_CLASSES_ROOT\\Interface\\" + kPage.toString()),
             QStringLiteral("_DTest"));
    registration::unregisterTypeLibrary(t, typeLib());
    QVERIFY(t.subKeys(QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib")).isEmpty());
    QVERIFY(t.subKeys(QStringLiteral("HKEY_CLASSES_ROOT\\Interface")).isEmpty());
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
