// The about box: its texts, the registry lookup of the system-information tool, starting it or
// saying it is not there, and the set-up that records an installed tool.

#include "frmAbout.h"

#include "forms/MessageBox.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kClavePrimera =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kClaveSegunda =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kNoDisponible =
    QStringLiteral("La información del sistema no está disponible en este momento");

} // namespace

class tst_acercade : public QObject {
    Q_OBJECT

private slots:
    void init();
    void textosDeLaVentana();
    void leeValoresDelRegistro_data();
    void leeValoresDelRegistro();
    void arrancaLaHerramienta_data();
    void arrancaLaHerramienta();
    void preparacionRegistraLaHerramienta();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString registro() const { return m_dir->filePath(QStringLiteral("registry.json")); }
};

void tst_acercade::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_acercade::textosDeLaVentana() {
    frmAbout frm(nullptr, clsInfoSistema(com::Registry(registro())));
    QCOMPARE(frm.windowTitle(), QStringLiteral("Acerca de Brisora"));
    QCOMPARE(frm.lblVersion()->text(), QStringLiteral("Versión 2.0.0"));
    QCOMPARE(frm.cmdOK()->text(), QStringLiteral("Aceptar"));
    QCOMPARE(frm.cmdSysInfo()->text(), QStringLiteral("&Info. del sistema..."));
    QVERIFY(frm.cmdOK()->isDefault());
    QCOMPARE(frm.cmdOK()->nextInFocusChain(), frm.cmdSysInfo());
    QStringList descripciones;
    for (auto* l : frm.findChildren<QLabel*>(QStringLiteral("lblDescription"))) {
        descripciones << l->text();
    }
    QCOMPARE(descripciones,
             QStringList({"Control Brisora Meteorológica", "Versión para Win95/98/NT       2001"}));
    for (const char* strRetrato : {"picRetratoUno", "picRetratoDos", "picIcon"}) {
        QVERIFY(!frm.findChild<QLabel*>(strRetrato)->pixmap().isNull());
    }
    // Aceptar and Escape both close it.
    frm.show();
    frm.cmdOK()->click();
    QVERIFY(!frm.isVisible());
    frm.show();
    QTest::keyClick(&frm, Qt::Key_Escape);
    QVERIFY(!frm.isVisible());
}

void tst_acercade::leeValoresDelRegistro_data() {
    QTest::addColumn<quint32>("raiz");
    QTest::addColumn<QVariant>("guardado"); // invalid: nothing stored
    QTest::addColumn<bool>("exito");
    QTest::addColumn<QString>("leido");
    const quint32 hklm = clsInfoSistema::HKEY_LOCAL_MACHINE;
    QTest::newRow("texto") << hklm << QVariant(QStringLiteral("/usr/bin/hardinfo")) << true
                           << "/usr/bin/hardinfo";
    QTest::newRow("texto con su NUL")
        << hklm << QVariant(QStringLiteral("C:\\x") + QChar(0)) << true << "C:\\x";
    QTest::newRow("número") << hklm << QVariant(0x1Fu) << true << "&h1F";
    QTest::newRow("texto vacío") << hklm << QVariant(QString()) << true << "";
    QTest::newRow("no existe") << hklm << QVariant() << false << "";
    QTest::newRow("raíz desconocida")
        << 0x80000009u << QVariant(QStringLiteral("x")) << false << "";
    QTest::newRow("mayor que el búfer") << hklm << QVariant(QString(1025, u'a')) << false << "";
    QTest::newRow("cabe justo") << hklm << QVariant(QString(1023, u'a') + QChar(0)) << true
                                << QString(1023, u'a');
}

void tst_acercade::leeValoresDelRegistro() {
    QFETCH(quint32, raiz);
    QFETCH(QVariant, guardado);
    QFETCH(bool, exito);
    QFETCH(QString, leido);
    com::Registry reg(registro());
    if (guardado.isValid()) {
        QCOMPARE(reg.setValue(kClavePrimera, QStringLiteral("PATH"), guardado), com::S_OK);
    }
    clsInfoSistema info(reg);
    QString valor = QStringLiteral("previo");
    QCOMPARE(info.GetKeyValue(raiz, clsInfoSistema::gREGKEYSYSINFO, clsInfoSistema::gREGVALSYSINFO,
                              valor),
             exito);
    QCOMPARE(valor, leido);
}

void tst_acercade::arrancaLaHerramienta_data() {
    QTest::addColumn<bool>("primera");
    QTest::addColumn<bool>("segunda");
    QTest::addColumn<bool>("archivo");
    QTest::addColumn<bool>("arranca");
    QTest::addColumn<QString>("esperado"); // "1": first value, "2": the folder's tool, "": none
    QTest::newRow("primer valor") << true << true << true << true << "1";
    QTest::newRow("segundo valor y archivo") << false << true << true << true << "2";
    QTest::newRow("segundo valor sin archivo") << false << true << false << true << "";
    QTest::newRow("ninguno") << false << false << false << true << "";
    QTest::newRow("no arranca") << true << false << false << false << "1";
}

void tst_acercade::arrancaLaHerramienta() {
    QFETCH(bool, primera);
    QFETCH(bool, segunda);
    QFETCH(bool, archivo);
    QFETCH(bool, arranca);
    QFETCH(QString, esperado);
    com::Registry reg(registro());
    const QString strPrimera = m_dir->filePath(QStringLiteral("herramienta"));
    const QString strCarpeta = m_dir->filePath(QStringLiteral("carpeta"));
    const QString strSegunda = strCarpeta + QStringLiteral("/MSINFO32.EXE");
    if (primera) {
        QCOMPARE(reg.setValue(kClavePrimera, QStringLiteral("PATH"), strPrimera), com::S_OK);
    }
    if (segunda) {
        QCOMPARE(reg.setValue(kClaveSegunda, QStringLiteral("MSINFO"), strCarpeta), com::S_OK);
    }
    QVERIFY(QDir().mkpath(strCarpeta));
    if (archivo) {
        QFile f(strSegunda);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    forms::MessageBoxRecorder mensajes;
    QStringList arrancados;
    frmAbout frm(nullptr, clsInfoSistema(reg));
    frm.setArrancaPrograma([&](const QString& strRuta) {
        arrancados << strRuta;
        return arranca;
    });
    frm.cmdSysInfo()->click();
    const QString strEsperado = esperado == u"1"   ? strPrimera
                                : esperado == u"2" ? strSegunda
                                                   : QString();
    QCOMPARE(arrancados, strEsperado.isEmpty() ? QStringList() : QStringList{strEsperado});
    const bool bMensaje = strEsperado.isEmpty() || !arranca;
    QCOMPARE(mensajes.requests().size(), bMensaje ? 1 : 0);
    if (bMensaje) {
        const auto& m = mensajes.requests().first();
        QCOMPARE(m.text, kNoDisponible);
        QCOMPARE(m.caption, QStringLiteral("Brisora"));
        QCOMPARE(m.buttons, forms::MsgButtons::Ok);
        QCOMPARE(m.icon, forms::MsgIcon::None);
    }
}

void tst_acercade::preparacionRegistraLaHerramienta() {
    // An installed tool found on the search path is recorded as the first value.
    const QString strBin = m_dir->filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(strBin));
    QFile herramienta(strBin + QStringLiteral("/gnome-system-monitor"));
    QVERIFY(herramienta.open(QIODevice::WriteOnly));
    herramienta.write("#!/bin/sh\n");
    herramienta.close();
    herramienta.setPermissions(herramienta.permissions() | QFileDevice::ExeOwner);

    QProcess programa;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), strBin);
    env.insert(QStringLiteral("BRISORA_REGISTRY"), registro());
    programa.setProcessEnvironment(env);
    programa.start(qEnvironmentVariable("BRISORA_BIN_DIR") + QStringLiteral("/Brisora"),
                   {QStringLiteral("--setup")});
    QVERIFY(programa.waitForFinished(60000));
    QCOMPARE(programa.exitCode(), 0);
    QCOMPARE(clsInfoSistema(com::Registry(registro())).strfntRutaHerramienta(),
             herramienta.fileName());
}

QTEST_MAIN(tst_acercade)
#include "tst_acercade.moc"
