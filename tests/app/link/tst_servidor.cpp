#include "LinkRig.h"

#include <QtTest>

using Script = QList<QPair<qint64, QByteArray>>;
using Result = clsServidorTramas::enResultadoEnvio;

namespace {

// Unlock messages 150 ms apart from `first` up to `last` inclusive.
QList<qint64> repeats(qint64 first, qint64 last) {
    QList<qint64> times;
    for (qint64 t = first; t <= last; t += 150) {
        times << t;
    }
    return times;
}

QByteArray spacedScript(Script& script, qint64 start, const QByteArray& bytes, qint64 gap) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        script << qMakePair(start + i * gap, bytes.mid(i, 1));
    }
    return bytes;
}

} // namespace

class TestServidor : public QObject {
    Q_OBJECT

private slots:
    void exchange_data();
    void exchange();
    void lateBytesAfterTimeOutDrawNoUnlocksNorShiftNextReply();
    void secondSendWhileWaitingIsRefused();
    void portFailureIsReportedOnceAndPortReopens();
    void lostDeviceIsReportedAndReopened();
    void portStateFollowsEveryChange();
    void replyCutShortByTimeOutIsNotContinued();
    void lostPortStaysLostUntilItOpens();
    void portIsFollowedBetweenExchanges();
    void changingPortAndSpeedReopensWithThem_data();
    void changingPortAndSpeedReopensWithThem();
};

void TestServidor::exchange_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<qint64>("ends");
    QTest::addColumn<QString>("flags"); // T time-out, X transmission, S check sum, U unknown
    QTest::addColumn<QList<qint64>>("unlocks");
    QTest::addColumn<QByteArray>("frame");

    const QByteArray data = reply(512);
    const QByteArray ones(8, '\x01');
    QTest::newRow("normal reply") << Script{{10, data}} << qint64(10) << "" << QList<qint64>{}
                                  << data;
    {
        Script s;
        spacedScript(s, 10, data.left(4), 1);
        s << qMakePair(qint64(13 + 1999), data.mid(4));
        QTest::newRow("gap 1999 ms: no unlock")
            << s << qint64(2012) << "" << QList<qint64>{} << data;
    }
    QTest::newRow("gap 2000 ms: unlock, error frame")
        << Script{{10, data.left(3)}, {2020, errorFrame()}} << qint64(2020) << "X"
        << QList<qint64>{2010} << errorFrame();
    QTest::newRow("silent station: unlocks until 8000")
        << Script{} << qint64(8000) << "T" << repeats(2000, 8000) << ones;
    QTest::newRow("unlocks measured from the last byte")
        << Script{{10, data.left(3)}, {2100, "\x40"}, {2450, errorFrame().mid(1)}} << qint64(2450)
        << "X" << QList<qint64>{2010, 2250, 2400} << errorFrame();
    QTest::newRow("after an unlock any byte starts a fresh frame")
        << Script{{10, data.left(3)}, {2020, "\x77" + errorFrame().mid(1)}} << qint64(2020) << "X"
        << QList<qint64>{2010} << "\x77" + errorFrame().mid(1);
    QTest::newRow("data frame while recovering, then time-out")
        << Script{{10, data.left(3)}, {2020, data}} << qint64(8000) << "TU"
        << (QList<qint64>{2010} + repeats(2170, 8000)) << data;
    QTest::newRow("data frame, then error frame while recovering")
        << Script{{10, data.left(3)}, {2020, data}, {2100, errorFrame()}} << qint64(2100) << "XU"
        << QList<qint64>{2010} << errorFrame();
    QTest::newRow("error frame outside recovery is a plain reply")
        << Script{{10, errorFrame()}} << qint64(10) << "" << QList<qint64>{} << errorFrame();
    {
        QByteArray bad = data;
        bad[7] = static_cast<char>(bad[7] + 1);
        QTest::newRow("wrong check sum")
            << Script{{10, bad}} << qint64(10) << "S" << QList<qint64>{} << bad;
    }
    QTest::newRow("stray bytes before the start byte")
        << Script{{5, "\x11\x22"}, {10, data}} << qint64(10) << "" << QList<qint64>{} << data;
    QTest::newRow("0x40 as data is stored")
        << Script{{10, reply(0x4040)}} << qint64(10) << "" << QList<qint64>{} << reply(0x4040);
    QTest::newRow("ninth byte does not overwrite the reply")
        << Script{{10, data + "\x99"}} << qint64(10) << "" << QList<qint64>{} << data;
    QTest::newRow("receive event with nothing to read")
        << Script{{5, QByteArray()}, {10, data}} << qint64(10) << "U" << QList<qint64>{} << data;
    {
        Script s;
        spacedScript(s, 1000, data.left(4), 1999);
        QTest::newRow("time-out without unlock keeps what arrived")
            << s << qint64(8000) << "T" << QList<qint64>{} << data.left(4) + QByteArray(4, '\0');
    }
    QTest::newRow("after unlocks, unwritten places hold 1")
        << Script{{10, data.left(3)}, {2020, data.left(2)}} << qint64(8000) << "T"
        << (QList<qint64>{2010} + repeats(2170, 8000)) << data.left(2) + ones.left(6);
}

void TestServidor::exchange() {
    QFETCH(Script, script);
    QFETCH(qint64, ends);
    QFETCH(QString, flags);
    QFETCH(QList<qint64>, unlocks);
    QFETCH(QByteArray, frame);

    LinkRig rig;
    const qint64 origin = rig.clock.nowMs();
    for (const auto& [at, bytes] : script) {
        rig.at(at, bytes);
    }
    QCOMPARE(rig.send(), Result::Terminado);
    QCOMPARE(rig.clock.nowMs() - origin, ends);
    const auto& e = rig.server->estado();
    QCOMPARE(rig.server->bfntErrorTiempo(), flags.contains('T'));
    QCOMPARE(rig.server->bfntErrorTransmision(), flags.contains('X'));
    QCOMPARE(rig.server->bfntErrorSumaLogica(), flags.contains('S'));
    QCOMPARE(rig.server->bfntErrorDesconocido(), flags.contains('U'));
    QCOMPARE(rig.fake->written().left(8), QByteArray::fromHex("4001004002040087"));
    QCOMPARE(rig.writeTimes(origin, 8), unlocks);
    QVERIFY(rig.fake->written().mid(8).count('\x01') == rig.fake->written().size() - 8);
    QCOMPARE(rig.received(), frame);
    QVERIFY(!rig.server->temporizadorEspera().Enabled());
    QVERIFY(!rig.server->temporizadorDesbloqueo().Enabled());
    if (flags.isEmpty()) {
        QVERIFY(!rig.server->bfntEstadoServidor());
        QVERIFY(e.bEsperaInicio);
        QCOMPARE(e.iBytesRecibidos, qint16(0));
    }
    std::array<qint16, 7> copy{};
    rig.server->subLeeTramaRecibida(copy);
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(copy[i], qint16(static_cast<quint8>(frame[i])));
    }
    qint16 shortCopy[3] = {-1, -1, -1}; // a short array gets only what fits
    rig.server->subLeeTramaRecibida(shortCopy);
    QCOMPARE(shortCopy[2], qint16(static_cast<quint8>(frame[2])));
}

void TestServidor::lateBytesAfterTimeOutDrawNoUnlocksNorShiftNextReply() {
    LinkRig rig;
    rig.send(); // silent station: time-out at 8000
    QVERIFY(rig.server->bfntErrorTiempo());
    rig.at(100, reply(512).left(3)); // the slow reply turns up after all
    rig.clock.advanceBy(10000);
    const qsizetype writesBefore = rig.fake->writes().size();
    rig.clock.advanceBy(10000);
    QCOMPARE(rig.fake->writes().size(), writesBefore); // no unlock messages while idle

    rig.at(10, reply(300));
    rig.send(clsTrama::iPETICION_PRESION);
    QVERIFY(!rig.server->bfntErrorTiempo());
    QVERIFY(!rig.server->bfntErrorSumaLogica());
    QCOMPARE(rig.received(), reply(300));
}

void TestServidor::secondSendWhileWaitingIsRefused() {
    LinkRig rig;
    Result inner = Result::Terminado;
    bool unknownBefore = false;
    rig.clock.post(
        [&] {
            unknownBefore = rig.server->bfntErrorDesconocido();
            inner = rig.send(clsTrama::iPETICION_PRESION);
        },
        2100);
    rig.at(2020, reply(512)); // recovering: counts as unknown, the wait goes on
    rig.at(2200, errorFrame());
    QCOMPARE(rig.send(), Result::Terminado);
    QCOMPARE(inner, Result::Rechazado);
    QVERIFY(unknownBefore);
    // The running exchange went on as if the refused call had not been made.
    QCOMPARE(rig.clock.nowMs(), 2200);
    QVERIFY(rig.server->bfntErrorTransmision());
    QVERIFY(rig.server->bfntErrorDesconocido());
    QCOMPARE(rig.fake->written(), QByteArray::fromHex("4001004002040087") + "\x01\x01");
    QCOMPARE(rig.writeTimes(0, 8), QList<qint64>({2000, 2170}));
}

void TestServidor::portFailureIsReportedOnceAndPortReopens() {
    LinkRig rig(comm::CommError::DeviceNotFound);
    QStringList messages;
    rig.server->setAvisoPuerto([&](const QString& m) { messages << m; });
    QCOMPARE(messages, QStringList{"No se puede abrir el puerto COM2 (/dev/ttyS1): el "
                                   "dispositivo no existe."});
    QVERIFY(!rig.server->bfntPuertoAbierto());
    rig.fake->setOpenFailure(comm::CommError::DeviceBusy);
    rig.send();
    rig.send();
    QVERIFY(rig.server->bfntErrorTiempo());
    QCOMPARE(rig.clock.nowMs(), 16000);
    QCOMPARE(messages.size(), 1); // not repeated at every request
    QCOMPARE(rig.server->strfntFalloPuerto(),
             QString("No se puede abrir el puerto COM2 (/dev/ttyS1): el puerto está en uso por "
                     "otro programa."));

    rig.fake->setOpenFailure(comm::CommError::None); // plugged in again
    rig.at(10, reply(512));
    rig.send();
    QVERIFY(!rig.server->bfntErrorTiempo());
    QCOMPARE(rig.received(), reply(512));
    QCOMPARE(rig.fake->openCount(), 1);
}

void TestServidor::lostDeviceIsReportedAndReopened() {
    LinkRig rig;
    QStringList messages;
    rig.server->setAvisoPuerto([&](const QString& m) { messages << m; });
    rig.at(5, reply(512).left(2));
    rig.fake->loseDeviceAt(rig.clock.nowMs() + 6);
    rig.send();
    QVERIFY(rig.server->bfntErrorTiempo());
    QVERIFY(!rig.server->bfntPuertoAbierto());
    QCOMPARE(messages, QStringList{"Se ha perdido el puerto COM2 (/dev/ttyS1): el dispositivo "
                                   "se ha desconectado."});
    rig.at(10, reply(700));
    rig.send();
    QCOMPARE(rig.fake->openCount(), 2);
    QCOMPARE(rig.received(), reply(700));
    QCOMPARE(messages.size(), 1);
}

void TestServidor::portStateFollowsEveryChange() {
    using Estado = clsServidorTramas::enEstadoPuerto;
    LinkRig rig(comm::CommError::DeviceBusy);
    QList<QPair<Estado, QString>> cambios;
    rig.server->setCambioPuerto([&] {
        cambios.append({rig.server->enfntEstadoPuerto(), rig.server->strfntMotivoPuerto()});
    });
    rig.send(); // still busy: no change to tell
    rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
    rig.send();
    rig.fake->setOpenFailure(comm::CommError::None);
    rig.at(10, reply(512));
    rig.send();
    rig.fake->loseDeviceAt(rig.clock.nowMs() + 6);
    rig.send();
    rig.server->subCierraPuerto();
    const QList<QPair<Estado, QString>> esperados{
        {Estado::NoSePuedeAbrir, "el puerto está en uso por otro programa"},
        {Estado::NoSePuedeAbrir, "el dispositivo no existe"},
        {Estado::Abierto, ""},
        {Estado::Perdido, "el dispositivo se ha desconectado"},
        {Estado::Cerrado, ""}};
    QCOMPARE(cambios, esperados);
}

// The reply's bytes trickle in more slowly than a byte a second and less slowly than the
// unlock limit: six of them have come when the time-out ends the exchange. The next exchange
// must not take them as the start of its reply.
void TestServidor::replyCutShortByTimeOutIsNotContinued() {
    LinkRig rig;
    const QByteArray slow = reply(999);
    for (int i = 0; i < 6; ++i) {
        rig.at(100 + 1500 * i, slow.mid(i, 1));
    }
    rig.send();
    QVERIFY(rig.server->bfntErrorTiempo());
    QCOMPARE(rig.server->estado().iBytesRecibidos, qint16(6));
    rig.at(10, reply(300));
    rig.send(clsTrama::iPETICION_PRESION);
    QVERIFY(!rig.server->bfntErrorTiempo());
    QVERIFY(!rig.server->bfntErrorSumaLogica());
    QCOMPARE(rig.received(), reply(300));
    QCOMPARE(rig.clock.nowMs(), 8010);
}

// Regression: once a lost device could not be opened again, the port was told as one that
// never opened.
void TestServidor::lostPortStaysLostUntilItOpens() {
    using Estado = clsServidorTramas::enEstadoPuerto;
    LinkRig rig;
    QList<Estado> cambios;
    rig.server->setCambioPuerto([&] { cambios << rig.server->enfntEstadoPuerto(); });
    rig.fake->loseDeviceAt(rig.clock.nowMs() + 6);
    rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
    rig.send();
    rig.send(); // opened again in vain
    QCOMPARE(rig.server->enfntEstadoPuerto(), Estado::Perdido);
    QVERIFY(rig.server->bfntErrorTiempo());
    rig.fake->setOpenFailure(comm::CommError::None);
    rig.at(10, reply(512));
    rig.send();
    QCOMPARE(rig.received(), reply(512));
    QCOMPARE(cambios, (QList<Estado>{Estado::Abierto, Estado::Perdido, Estado::Abierto}));

    // Another port is a new start: one that does not open never was open.
    rig.fake->loseDeviceAt(rig.clock.nowMs() + 6);
    rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
    rig.clock.advanceBy(100);
    rig.server->subCambiaVelocidadPuertoSerie(3, QStringLiteral("9600,N,8,1"));
    QCOMPARE(rig.server->enfntEstadoPuerto(), Estado::NoSePuedeAbrir);
}

// The port's state follows the device while no request goes out (a box open in the middle of
// a tick): a port that is not usable is tried again every second between exchanges, never
// during one.
void TestServidor::portIsFollowedBetweenExchanges() {
    using Estado = clsServidorTramas::enEstadoPuerto;
    LinkRig rig;
    rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
    rig.fake->loseDeviceAt(rig.clock.nowMs() + 6);
    rig.send(); // the device goes during the exchange; the watch waits for its end
    QCOMPARE(rig.fake->openCount(), 1);
    rig.fake->setOpenFailure(comm::CommError::None);
    rig.clock.advanceBy(clsServidorTramas::iTIEMPO_VIGILANCIA_MS);
    QCOMPARE(rig.server->enfntEstadoPuerto(), Estado::Abierto);
    QCOMPARE(rig.fake->openCount(), 2);
    // An open port is left alone.
    rig.clock.advanceBy(10 * clsServidorTramas::iTIEMPO_VIGILANCIA_MS);
    QCOMPARE(rig.fake->openCount(), 2);

    // A port that never opened is followed as well.
    LinkRig missing(comm::CommError::DeviceBusy);
    QCOMPARE(missing.server->enfntEstadoPuerto(), Estado::NoSePuedeAbrir);
    missing.fake->setOpenFailure(comm::CommError::None);
    missing.clock.advanceBy(clsServidorTramas::iTIEMPO_VIGILANCIA_MS);
    QCOMPARE(missing.server->enfntEstadoPuerto(), Estado::Abierto);
    // A port the program closed stays closed.
    missing.server->subCierraPuerto();
    missing.clock.advanceBy(10 * clsServidorTramas::iTIEMPO_VIGILANCIA_MS);
    QCOMPARE(missing.server->enfntEstadoPuerto(), Estado::Cerrado);
}

void TestServidor::changingPortAndSpeedReopensWithThem_data() {
    QTest::addColumn<qint16>("port");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("label");
    QTest::newRow("COM3") << qint16(3) << "9600,N,8,1" << true
                          << "Servidor Tramas: Puerto-> COM3 y Velocidad -> 9600 baudios";
    QTest::newRow("faster") << qint16(2) << "19200,E,7,2" << true
                            << "Servidor Tramas: Puerto-> COM2 y Velocidad -> 19200 baudios";
    QTest::newRow("malformed") << qint16(2) << "19200,Q,8,1" << false
                               << "Servidor Tramas: Puerto-> COM2 y Velocidad -> 19200 baudios";
}

void TestServidor::changingPortAndSpeedReopensWithThem() {
    QFETCH(qint16, port);
    QFETCH(QString, settings);
    QFETCH(bool, opens);
    QFETCH(QString, label);
    LinkRig rig;
    QStringList messages;
    rig.server->setAvisoPuerto([&](const QString& m) { messages << m; });
    rig.server->subCambiaVelocidadPuertoSerie(port, settings);
    QCOMPARE(rig.server->ifntPuertoSerie(), port);
    QCOMPARE(rig.server->strfntVelocidadPuertoSerie(), settings);
    QCOMPARE(rig.server->strfntInformacion(), label);
    QCOMPARE(rig.server->bfntPuertoAbierto(), opens);
    QCOMPARE(messages.isEmpty(), opens);
    if (opens) {
        QCOMPARE(rig.fake->settings().toString(), settings);
        QCOMPARE(rig.fake->device(), QString("/dev/ttyS%1").arg(port - 1));
    }
}

QTEST_GUILESS_MAIN(TestServidor)
#include "tst_servidor.moc"
