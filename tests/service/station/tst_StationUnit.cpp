#include "TestFiles.h"
#include "ToolRun.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::machineTool;
using testsupport::runTool;
using Run = testsupport::ProgramRun;

// systemd's view of the unit, where the machine has systemd-analyze.
class tst_StationUnit : public QObject {
    Q_OBJECT

private slots:
    void unitIsAcceptedBySystemd();
};

void tst_StationUnit::unitIsAcceptedBySystemd() {
    const QString analyze = machineTool("systemd-analyze");
    if (analyze.isEmpty()) {
        QSKIP("systemd-analyze is not installed");
    }
    // The build's copy of the unit names the built program.
    const QString unit = QDir(testsupport::built(QStringLiteral("..")))
                             .filePath(QStringLiteral("test-env/brisora-station.service"));
    QVERIFY(QFile::exists(unit));
    const Run verify = runTool(analyze, {QStringLiteral("verify"), unit});
    QVERIFY2(verify.exitCode == 0, qPrintable(verify.out));
    QVERIFY2(!verify.out.contains(QStringLiteral("brisora-station.service:")),
             qPrintable(verify.out));
    const QString text = QString::fromUtf8(testsupport::fileBytes(unit));
    for (const char* line :
         {"Type=notify", "WatchdogSec=", "Restart=on-failure", "SupplementaryGroups=dialout",
          "StateDirectory=brisora", "ProtectSystem=strict", "ProtectHome=yes",
          "NoNewPrivileges=yes", "PrivateTmp=yes"}) {
        QVERIFY2(text.contains(QLatin1StringView(line)), line);
    }
}

QTEST_GUILESS_MAIN(tst_StationUnit)
#include "tst_StationUnit.moc"
