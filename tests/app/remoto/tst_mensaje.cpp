// The live feed's messages as the console reads them: the service's own forms are taken with
// every field; anything malformed, out of bounds or hostile is refused whole.

#include "remoto/clsMensajeRemoto.h"

#include <QtTest>

using Tipo = clsMensajeRemoto::enTipo;
Q_DECLARE_METATYPE(clsMensajeRemoto::enTipo)

class tst_mensaje : public QObject {
    Q_OBJECT

private slots:
    void lectura();
    void fallos_data();
    void fallos();
    void saludoYPuerto();
    void resumenDelSaludo_data();
    void resumenDelSaludo();
    void rechazados_data();
    void rechazados();
};

void tst_mensaje::lectura() {
    const auto m = clsMensajeRemoto::msjfntInterpreta(
        R"({"type":"tick","kind":"reading","time":"2026-12-09T06:00:00.000+01:00",)"
        R"("time_ms":1796792400000,"humidity_pct":43.6,"pressure_kpa":65.0,)"
        R"("raw_humidity":512,"raw_pressure":513,"n":7})");
    QCOMPARE(m.enTipoMensaje, Tipo::Tick);
    QCOMPARE(m.entrada, archive::Entry::reading(Q_INT64_C(1796792400000), 43.6, 65.0, 512, 513));
    QCOMPARE(m.lNumero, 7);
    QVERIFY(m.bFalloConocido);
}

void tst_mensaje::fallos_data() {
    QTest::addColumn<QByteArray>("tipo");
    QTest::addColumn<bool>("conocido");
    QTest::addColumn<int>("kind");
    QTest::newRow("timeout") << QByteArray("timeout") << true << int(archive::EntryKind::Timeout);
    QTest::newRow("port_lost") << QByteArray("port_lost") << true
                               << int(archive::EntryKind::PortLost);
    QTest::newRow("checksum") << QByteArray("checksum") << true
                              << int(archive::EntryKind::Checksum);
    QTest::newRow("stall") << QByteArray("stall") << true << int(archive::EntryKind::Stall);
    // A kind a newer service adds is a failed tick all the same, only not one to act on.
    QTest::newRow("unknown kind") << QByteArray("brownout") << false
                                  << int(archive::EntryKind::Timeout);
}

void tst_mensaje::fallos() {
    QFETCH(QByteArray, tipo);
    QFETCH(bool, conocido);
    QFETCH(int, kind);
    const auto m = clsMensajeRemoto::msjfntInterpreta(R"({"type":"tick","kind":")" + tipo +
                                                      R"(","time_ms":1000,"n":3})");
    QCOMPARE(m.enTipoMensaje, Tipo::Tick);
    QCOMPARE(m.bFalloConocido, conocido);
    QCOMPARE(m.strFallo, QString::fromLatin1(tipo));
    QCOMPARE(int(m.entrada.kind), kind);
    QCOMPARE(m.entrada.timeMs, 1000);
}

void tst_mensaje::saludoYPuerto() {
    const auto saludo = clsMensajeRemoto::msjfntInterpreta(
        R"({"type":"hello","station":"roof","humidity_pct":null,"since_start":{"count":0},)"
        R"("port":{"device":"/dev/ttyUSB0","state":"open"}})");
    QCOMPARE(saludo.enTipoMensaje, Tipo::Saludo);
    QCOMPARE(saludo.strEstacion, QStringLiteral("roof"));
    QCOMPARE(saludo.strDispositivo, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(saludo.strEstadoPuerto, QStringLiteral("open"));

    const auto puerto = clsMensajeRemoto::msjfntInterpreta(
        R"({"type":"port","device":"/dev/ttyUSB0","state":"lost"})");
    QCOMPARE(puerto.enTipoMensaje, Tipo::Puerto);
    QCOMPARE(puerto.strEstadoPuerto, QStringLiteral("lost"));

    // A message type of a newer service is let pass, not counted as hostile.
    QCOMPARE(clsMensajeRemoto::msjfntInterpreta(R"({"type":"notice","text":"x"})").enTipoMensaje,
             Tipo::Otro);
}

// The greeting's figures since the service started are taken only when they hold together; a
// greeting whose figures do not is still a greeting.
void tst_mensaje::resumenDelSaludo_data() {
    QTest::addColumn<QByteArray>("resumen");
    QTest::addColumn<bool>("bTomado");
    const QByteArray humedad = R"("humidity_pct":{"min":40.5,"max":43.5,"mean":42},)";
    const QByteArray presion = R"("pressure_kpa":{"min":95,"max":99,"mean":96})";
    QTest::newRow("whole") << R"("started_ms":1000,"count":4,"ticks":6,)" + humedad + presion
                           << true;
    QTest::newRow("no readings yet")
        << QByteArray(R"("started_ms":1000,"count":0,"ticks":2,"humidity_pct":{"min":null},)"
                      R"("pressure_kpa":{})")
        << true;
    QTest::newRow("more readings than ticks")
        << R"("started_ms":1000,"count":7,"ticks":6,)" + humedad + presion << false;
    QTest::newRow("minimum above maximum")
        << R"("started_ms":1000,"count":4,"ticks":6,"humidity_pct":{"min":44,"max":43,"mean":43},)" +
               presion
        << false;
    QTest::newRow("mean outside")
        << R"("started_ms":1000,"count":4,"ticks":6,"humidity_pct":{"min":40,"max":43,"mean":50},)" +
               presion
        << false;
    QTest::newRow("no start") << R"("count":4,"ticks":6,)" + humedad + presion << false;
    QTest::newRow("fractional count")
        << R"("started_ms":1000,"count":4.5,"ticks":6,)" + humedad + presion << false;
}

void tst_mensaje::resumenDelSaludo() {
    QFETCH(QByteArray, resumen);
    QFETCH(bool, bTomado);
    const auto m = clsMensajeRemoto::msjfntInterpreta(
        R"({"type":"hello","station":"roof","since_start":{)" + resumen +
        R"(},"port":{"device":"/dev/ttyUSB0","state":"open"}})");
    QCOMPARE(m.enTipoMensaje, clsMensajeRemoto::enTipo::Saludo);
    QCOMPARE(m.bResumen, bTomado);
    if (bTomado && m.lLecturas > 0) {
        QCOMPARE(m.lInicioMs, 1000);
        QCOMPARE(m.lLecturas, 4);
        QCOMPARE(m.lTicks, 6);
        QCOMPARE(m.magHumedad.dMaximo, 43.5);
        QCOMPARE(m.magPresion.dMedia, 96.0);
    }
}

void tst_mensaje::rechazados_data() {
    QTest::addColumn<QByteArray>("mensaje");
    const QByteArray lectura = R"("type":"tick","kind":"reading","time_ms":1000,)";
    const QByteArray valores = R"("raw_humidity":1,"raw_pressure":2)";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("tick 43.6 65.0");
    QTest::newRow("cut short") << QByteArray(R"({"type":"tick","kind":"rea)");
    QTest::newRow("array") << QByteArray(R"([{"type":"tick"}])");
    QTest::newRow("no type") << QByteArray(R"({"kind":"reading"})");
    QTest::newRow("type not text") << QByteArray(R"({"type":1})");
    QTest::newRow("deep nesting") << QByteArray(5000, '[') + QByteArray(5000, ']');
    QTest::newRow("oversized") << QByteArray(R"({"type":"port","device":")") +
                                      QByteArray(70 * 1024, 'a') + R"(","state":"open"})";
    QTest::newRow("long device") << QByteArray(R"({"type":"port","device":")") +
                                        QByteArray(300, 'a') + R"(","state":"open"})";
    QTest::newRow("port without state") << QByteArray(R"({"type":"port","device":"d"})");
    QTest::newRow("hello without port") << QByteArray(R"({"type":"hello","station":"s"})");
    QTest::newRow("tick without kind") << QByteArray(R"({"type":"tick","time_ms":1000})");
    QTest::newRow("empty kind") << QByteArray(R"({"type":"tick","kind":"","time_ms":1000})");
    QTest::newRow("no time") << QByteArray(R"({"type":"tick","kind":"timeout"})");
    QTest::newRow("time as text") << QByteArray(
        R"({"type":"tick","kind":"timeout","time_ms":"1000"})");
    QTest::newRow("fractional time")
        << QByteArray(R"({"type":"tick","kind":"timeout","time_ms":1000.5})");
    QTest::newRow("negative time")
        << QByteArray(R"({"type":"tick","kind":"timeout","time_ms":-1})");
    QTest::newRow("time past 9999")
        << QByteArray(R"({"type":"tick","kind":"timeout","time_ms":1e18})");
    QTest::newRow("negative number")
        << QByteArray(R"({"type":"tick","kind":"timeout","time_ms":1,"n":-2})");
    QTest::newRow("reading without values") << "{" + lectura + valores + "}";
    QTest::newRow("humidity as text")
        << "{" + lectura + R"("humidity_pct":"43","pressure_kpa":65,)" + valores + "}";
    QTest::newRow("humidity null")
        << "{" + lectura + R"("humidity_pct":null,"pressure_kpa":65,)" + valores + "}";
    QTest::newRow("pressure huge")
        << "{" + lectura + R"("humidity_pct":43,"pressure_kpa":1e300,)" + valores + "}";
    QTest::newRow("raw beyond 16 bits")
        << "{" + lectura +
               R"("humidity_pct":43,"pressure_kpa":65,"raw_humidity":65536,"raw_pressure":2})";
    QTest::newRow("raw negative")
        << "{" + lectura +
               R"("humidity_pct":43,"pressure_kpa":65,"raw_humidity":-1,"raw_pressure":2})";
    QTest::newRow("raw fractional")
        << "{" + lectura +
               R"("humidity_pct":43,"pressure_kpa":65,"raw_humidity":1.5,"raw_pressure":2})";
}

void tst_mensaje::rechazados() {
    QFETCH(QByteArray, mensaje);
    const auto m = clsMensajeRemoto::msjfntInterpreta(mensaje);
    QCOMPARE(m.enTipoMensaje, Tipo::Invalido);
    QCOMPARE(m.entrada, archive::Entry{});
    QVERIFY(m.strDispositivo.isEmpty());
}

QTEST_GUILESS_MAIN(tst_mensaje)
#include "tst_mensaje.moc"
