#include "LinkRig.h"

#include "link/frmServidorTramas.h"

#include "forms/MessageBox.h"

#include <QLabel>
#include <QtTest>

class TestVentana : public QObject {
    Q_OBJECT

private slots:
    void windowAsDesigned();
    void unloadRefusedUntilAllowedThenClosesPort();
    void portTroubleShowsNoMessageBox();
};

void TestVentana::windowAsDesigned() {
    forms::VirtualScheduler clock;
    frmServidorTramas frm(std::make_unique<comm::FakeSerialBackend>(clock), clock);
    QCOMPARE(frm.windowTitle(), QString("Servidor de Tramas"));
    // Never shown to the operator: a show request (from the window list, say) leaves it hidden,
    // so there is no top-level window or taskbar entry for it.
    frm.show();
    QVERIFY(frm.isHidden());
    QVERIFY(!frm.testAttribute(Qt::WA_WState_Created));
    QCOMPARE(frm.lblInformacion()->text(), QString("Label1"));
    QCOMPARE(frm.ifntPuertoSerie(), qint16(2));
    QCOMPARE(frm.strfntVelocidadPuertoSerie(), QString("9600,N,8,1"));
    frm.subCambiaVelocidadPuertoSerie(2, "9600,N,8,1");
    QCOMPARE(frm.lblInformacion()->text(),
             QString("Servidor Tramas: Puerto-> COM2 y Velocidad -> 9600 baudios"));
}

void TestVentana::unloadRefusedUntilAllowedThenClosesPort() {
    forms::VirtualScheduler clock;
    frmServidorTramas frm(std::make_unique<comm::FakeSerialBackend>(clock), clock);
    QVERIFY(!frm.close());
    QVERIFY(frm.servidor().bfntPuertoAbierto());
    frm.bCerrraVentana = true;
    QVERIFY(frm.close());
    QVERIFY(!frm.servidor().bfntPuertoAbierto());
}

void TestVentana::portTroubleShowsNoMessageBox() {
    // Port trouble goes to the main window's status bar; a box here would stack with
    // "Error de tiempo" and stand over a window the operator never sees.
    qunsetenv("BRISORA_COM2");
    forms::MessageBoxRecorder boxes;
    forms::VirtualScheduler clock;
    auto fake = std::make_unique<comm::FakeSerialBackend>(clock);
    fake->setOpenFailure(comm::CommError::DeviceNotFound);
    frmServidorTramas frm(std::move(fake), clock);
    frm.subCambiaVelocidadPuertoSerie(2, "9600,N,8,1");
    frm.subMandaTrama(1, 0, 0x40, 4, 0);
    QVERIFY(frm.bfntErrorTiempo());
    clock.advanceBy(10);
    QVERIFY(boxes.requests().isEmpty());
    QCOMPARE(frm.servidor().enfntEstadoPuerto(), clsServidorTramas::enEstadoPuerto::NoSePuedeAbrir);
    QCOMPARE(frm.servidor().strfntMotivoPuerto(), QString("el dispositivo no existe"));
}

QTEST_MAIN(TestVentana)
#include "tst_ventana.moc"
