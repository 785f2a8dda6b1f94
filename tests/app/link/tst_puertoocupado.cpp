#include "LinkRig.h"

#include <QtTest>

// The port held by another Brisora program: the console is told who holds it, and takes the
// port at a later request once it is free.
class tst_PuertoOcupado : public QObject {
    Q_OBJECT

private slots:
    void motivoNombraAlTitularYSeReintenta();
};

void tst_PuertoOcupado::motivoNombraAlTitularYSeReintenta() {
    LinkRig rig;
    rig.fake->setOpenFailure(comm::CommError::DeviceBusy, {},
                             QStringLiteral("brisora-station (pid 4242)"));
    rig.server->subCambiaVelocidadPuertoSerie(2, QStringLiteral("9600,N,8,1"));
    QCOMPARE(rig.server->enfntEstadoPuerto(), clsServidorTramas::enEstadoPuerto::NoSePuedeAbrir);
    QCOMPARE(rig.server->strfntMotivoPuerto(),
             QStringLiteral("el puerto lo usa brisora-station (pid 4242)"));

    // Without a name (a program that knows nothing of the lock) the old text stays.
    rig.fake->setOpenFailure(comm::CommError::DeviceBusy);
    rig.server->subCambiaVelocidadPuertoSerie(2, QStringLiteral("9600,N,8,1"));
    QCOMPARE(rig.server->strfntMotivoPuerto(),
             QStringLiteral("el puerto está en uso por otro programa"));

    // Freed: the next request opens it.
    rig.fake->setOpenFailure(comm::CommError::None);
    rig.at(20, reply(1234));
    rig.send();
    QCOMPARE(rig.server->enfntEstadoPuerto(), clsServidorTramas::enEstadoPuerto::Abierto);
}

QTEST_GUILESS_MAIN(tst_PuertoOcupado)
#include "tst_puertoocupado.moc"
