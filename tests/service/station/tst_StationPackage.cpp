#include "TestFiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
};

Run run(const QString& program, const QStringList& arguments, const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(600000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAll());
    return r;
}

QString tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

} // namespace

// The Debian package cpack makes from the install rules, checked with dpkg-deb.
class tst_StationPackage : public QObject {
    Q_OBJECT

private slots:
    void debianPackageHoldsTheServiceAndMakesItsUser();
};

void tst_StationPackage::debianPackageHoldsTheServiceAndMakesItsUser() {
    const QString cpack = tool("cpack");
    const QString dpkgDeb = tool("dpkg-deb");
    if (cpack.isEmpty() || dpkgDeb.isEmpty()) {
        QSKIP("cpack or dpkg-deb is not installed");
    }
    QTemporaryDir out;
    const QString build = QDir(testsupport::built(QStringLiteral(".."))).absolutePath();
    const Run pack =
        run(cpack, {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path()},
            build);
    QVERIFY2(pack.exitCode == 0, qPrintable(pack.out));
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    const QString deb = QDir(out.path()).filePath(debs.first());

    const Run contents = run(dpkgDeb, {QStringLiteral("--contents"), deb});
    QCOMPARE(contents.exitCode, 0);
    for (const char* path :
         {"/bin/brisora-station", "/bin/Brisora", "/bin/brisora-archive",
          "/lib/systemd/system/brisora-station.service", "etc/brisora/station.conf"}) {
        QVERIFY2(contents.out.contains(QLatin1StringView(path)), path);
    }
    // Installed, not enabled: no link into a target's wants.
    QVERIFY(!contents.out.contains(QStringLiteral(".wants/")));

    const Run postinst = run(dpkgDeb, {QStringLiteral("--info"), deb, QStringLiteral("postinst")});
    QCOMPARE(postinst.exitCode, 0);
    QVERIFY(postinst.out.contains(QStringLiteral("adduser --system --group")));
    QVERIFY(postinst.out.contains(QStringLiteral("brisora dialout")));
    QVERIFY(!postinst.out.contains(QStringLiteral("enable")));
    const Run postrm = run(dpkgDeb, {QStringLiteral("--info"), deb, QStringLiteral("postrm")});
    QCOMPARE(postrm.exitCode, 0);
    QVERIFY(!postrm.out.contains(QStringLiteral("/var/lib/brisora")) ||
            !postrm.out.contains(QStringLiteral("rm -")));
    const Run conffiles =
        run(dpkgDeb, {QStringLiteral("--info"), deb, QStringLiteral("conffiles")});
    QVERIFY(conffiles.out.contains(QStringLiteral("brisora/station.conf")));
    const Run control = run(dpkgDeb, {QStringLiteral("--field"), deb, QStringLiteral("Depends")});
    QVERIFY2(control.out.contains(QStringLiteral("adduser")), qPrintable(control.out));
}

QTEST_GUILESS_MAIN(tst_StationPackage)
#include "tst_StationPackage.moc"
