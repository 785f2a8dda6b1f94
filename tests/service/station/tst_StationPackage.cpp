#include "TestFiles.h"
#include "ToolRun.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::machineTool;
using testsupport::runTool;
using Run = testsupport::ProgramRun;

// The Debian package cpack makes from the install rules, checked with dpkg-deb.
class tst_StationPackage : public QObject {
    Q_OBJECT

private slots:
    void debianPackageHoldsTheServiceAndMakesItsUser();
};

void tst_StationPackage::debianPackageHoldsTheServiceAndMakesItsUser() {
    const QString cpack = machineTool("cpack");
    const QString dpkgDeb = machineTool("dpkg-deb");
    if (cpack.isEmpty() || dpkgDeb.isEmpty()) {
        QSKIP("cpack or dpkg-deb is not installed");
    }
    QTemporaryDir out;
    const QString build = QDir(testsupport::built(QStringLiteral(".."))).absolutePath();
    const Run pack = runTool(
        cpack, {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path()},
        build);
    QVERIFY2(pack.exitCode == 0, qPrintable(pack.out));
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    const QString deb = QDir(out.path()).filePath(debs.first());

    const Run contents = runTool(dpkgDeb, {QStringLiteral("--contents"), deb});
    QCOMPARE(contents.exitCode, 0);
    for (const char* path :
         {"/bin/brisora-station", "/bin/Brisora", "/bin/brisora-archive",
          "/lib/systemd/system/brisora-station.service", "etc/brisora/station.conf"}) {
        QVERIFY2(contents.out.contains(QLatin1StringView(path)), path);
    }
    // Installed, not enabled: no link into a target's wants.
    QVERIFY(!contents.out.contains(QStringLiteral(".wants/")));

    const Run postinst =
        runTool(dpkgDeb, {QStringLiteral("--info"), deb, QStringLiteral("postinst")});
    QCOMPARE(postinst.exitCode, 0);
    QVERIFY(postinst.out.contains(QStringLiteral("adduser --system --group")));
    QVERIFY(postinst.out.contains(QStringLiteral("brisora dialout")));
    QVERIFY(!postinst.out.contains(QStringLiteral("systemctl enable")));
    QVERIFY(!postinst.out.contains(QStringLiteral("deb-systemd-helper enable")));
    const Run postrm = runTool(dpkgDeb, {QStringLiteral("--info"), deb, QStringLiteral("postrm")});
    QCOMPARE(postrm.exitCode, 0);
    QVERIFY(!postrm.out.contains(QStringLiteral("/var/lib/brisora")) ||
            !postrm.out.contains(QStringLiteral("rm -")));
    const Run conffiles =
        runTool(dpkgDeb, {QStringLiteral("--info"), deb, QStringLiteral("conffiles")});
    QVERIFY(conffiles.out.contains(QStringLiteral("brisora/station.conf")));
    const Run control =
        runTool(dpkgDeb, {QStringLiteral("--field"), deb, QStringLiteral("Depends")});
    QVERIFY2(control.out.contains(QStringLiteral("adduser")), qPrintable(control.out));
}

QTEST_GUILESS_MAIN(tst_StationPackage)
#include "tst_StationPackage.moc"
