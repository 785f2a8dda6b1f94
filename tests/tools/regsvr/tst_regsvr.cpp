// brisora-regsvr's command line: help, bad usage that does nothing, and modules registered and
// unregistered in the registry file named by BRISORA_REGISTRY.
#include <ProgramRun.h>
#include <TestFiles.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using testsupport::ProgramRun;

namespace {

const QString kModule = QStringLiteral("comtestmodule.so");
const QString kUsage = QStringLiteral("usage: brisora-regsvr [--unregister] [--] MODULE...\n");
constexpr int kUsageError = 64;

} // namespace

class TestRegsvr : public QObject {
    Q_OBJECT
private slots:
    void init();
    void usage_data();
    void usage();
    void registersAndUnregisters();
    void moduleNamedLikeAnOptionAfterDoubleDash();
    void version();

private:
    ProgramRun regsvr(const QStringList& args);
    QString registryText() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRegsvr::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

ProgramRun TestRegsvr::regsvr(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISORA_REGISTRY"), m_dir->filePath(QStringLiteral("reg.json")));
    return testsupport::runProgram(QStringLiteral("brisora-regsvr"), args, env, m_dir->path());
}

QString TestRegsvr::registryText() const {
    return QString::fromUtf8(testsupport::fileBytes(m_dir->filePath(QStringLiteral("reg.json"))));
}

void TestRegsvr::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    const QString module = testsupport::built(kModule);
    QTest::newRow("--help") << QStringList{"--help"} << 0;
    QTest::newRow("-h with a module") << QStringList{"-h", module} << 0;
    QTest::newRow("nothing") << QStringList{} << kUsageError;
    // An unknown option used to be taken for a module, and the modules after it registered.
    QTest::newRow("unknown short option") << QStringList{"-u", module} << kUsageError;
    QTest::newRow("unknown long option")
        << QStringList{module, "--unregister", "--all"} << kUsageError;
    QTest::newRow("value on a switch") << QStringList{"--unregister=yes", module} << kUsageError;
}

void TestRegsvr::usage() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    const ProgramRun run = regsvr(args);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY2(run.out.startsWith(kUsage), qPrintable(run.out));
        QCOMPARE(run.err, QString());
    } else {
        QVERIFY2(run.err.contains(kUsage), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("reg.json"))));
}

void TestRegsvr::registersAndUnregisters() {
    const QString module = testsupport::built(kModule);
    ProgramRun run = regsvr({module});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("registered ") + module + u'\n');
    QVERIFY(registryText().contains(module));
    run = regsvr({QStringLiteral("--unregister"), module, QStringLiteral("missing.so")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QStringLiteral("unregistered ") + module + u'\n');
    QVERIFY2(run.err.contains(QStringLiteral("missing.so: CO_E_DLLNOTFOUND")), qPrintable(run.err));
    QVERIFY(!registryText().contains(module));
}

void TestRegsvr::moduleNamedLikeAnOptionAfterDoubleDash() {
    const QString copy = m_dir->filePath(QStringLiteral("-m.so"));
    QVERIFY(QFile::copy(testsupport::built(kModule), copy));
    const ProgramRun run = regsvr({QStringLiteral("--"), QStringLiteral("-m.so")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out, QStringLiteral("registered ") + copy + u'\n');
    QVERIFY(registryText().contains(copy));
}

// The version of project() in CMakeLists.txt, and nothing done.
void TestRegsvr::version() {
    const ProgramRun run = regsvr({QStringLiteral("--version"), testsupport::built(kModule)});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^brisora-regsvr \\d+\\.\\d+\\.\\d+\n$"))
                 .match(run.out)
                 .hasMatch(),
             qPrintable(run.out));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("reg.json"))));
}

QTEST_GUILESS_MAIN(TestRegsvr)
#include "tst_regsvr.moc"
