#include "LinkRig.h"

#include "link/clsCicloAdquisicion.h"
#include "link/modGlobal.h"

#include <QtTest>

using Tick = clsCicloAdquisicion::enResultadoTick;

namespace {

// A station that answers each request by the next step of its plan.
struct Station {
    enum class Step { Reply, Silent, StallThenErrorFrame, ReplyTwice, ErrorFrame, BadSum };
    QList<Step> plan;
    int raw = 512;
    int pressureRaw = 512;
    QByteArray pending;
    bool stalled = false;

    void attach(comm::FakeSerialBackend& fake) {
        fake.setResponder([this](comm::FakeSerialBackend& f, const QByteArray& b) { heard(f, b); });
    }

    void heard(comm::FakeSerialBackend& fake, const QByteArray& bytes) {
        if (pending.isEmpty() && bytes == "\x01") {
            if (stalled) {
                stalled = false;
                fake.deliverAfter(5, errorFrame());
            }
            return;
        }
        pending += bytes;
        if (pending.size() < 8) {
            return;
        }
        const int answer = pending[5] == 3 ? pressureRaw : raw;
        pending.clear();
        const Step step = plan.isEmpty() ? Step::Reply : plan.takeFirst();
        if (step == Step::Reply) {
            fake.deliverAfter(10, reply(answer));
        } else if (step == Step::ReplyTwice) {
            fake.deliverAfter(10, reply(answer) + reply(answer));
        } else if (step == Step::BadSum) {
            // Spoilt on the line: another reading, and a check sum that does not match it.
            QByteArray spoilt = reply(answer ^ 0x3FF);
            spoilt[7] = static_cast<char>(spoilt[7] + 1);
            fake.deliverAfter(10, spoilt);
        } else if (step == Step::ErrorFrame) {
            fake.deliverAfter(10, errorFrame());
        } else if (step == Step::StallThenErrorFrame) {
            fake.deliverAfter(10, reply(raw).left(3));
            stalled = true;
        }
    }
};

struct CycleRig : LinkRig {
    Station station;
    clsCicloAdquisicion ciclo{*server};
    QStringList messages;
    QList<QPair<double, double>> painted;
    QList<qint16> exchanges;
    QList<clsCicloAdquisicion::stTick> ended;
    QStringList order; // when each tick's end was told, against the display and the message

    explicit CycleRig(comm::CommError openFailure = comm::CommError::None)
        : LinkRig(openFailure) {
        station.attach(*fake);
        ciclo.setTickTerminado([this](const clsCicloAdquisicion::stTick& t) {
            ended << t;
            order << QStringLiteral("end");
        });
        ciclo.setMuestraMensaje([this](const QString& m) {
            messages << m;
            order << QStringLiteral("message");
        });
        ciclo.setPintaValores([this](double h, double p) {
            painted << qMakePair(h, p);
            order << QStringLiteral("paint");
        });
        ciclo.setIntercambio(
            [this](const clsCicloAdquisicion::stIntercambio& x) { exchanges << x.iByteDatos1; });
        modGlobal::lNumeroMuestras = 0;
    }
};

} // namespace

class TestCiclo : public QObject {
    Q_OBJECT

private slots:
    void tick_data();
    void tick();
    void ticksDoNotOverlap();
    void stopDuringTheWait_data();
    void stopDuringTheWait();
    void tickEndTellsThePortTrouble_data();
    void tickEndTellsThePortTrouble();
    void strayFramesAreNotReadings_data();
    void strayFramesAreNotReadings();
    void wrongCheckSumIsNotAReading_data();
    void wrongCheckSumIsNotAReading();
    void stationThatOnlyComplainsEndsTheTick();
};

void TestCiclo::tick_data() {
    using S = Station::Step;
    QTest::addColumn<QList<S>>("plan");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<qint16>>("exchanges");
    QTest::addColumn<qint64>("ends");
    QTest::newRow("both answered")
        << QList<S>{} << int(Tick::Completo) << QList<qint16>{4, 3} << qint64(20);
    QTest::newRow("humidity times out")
        << QList<S>{S::Silent} << int(Tick::ErrorTiempo) << QList<qint16>{4} << qint64(8000);
    QTest::newRow("pressure times out, humidity dropped")
        << QList<S>{S::Reply, S::Silent} << int(Tick::ErrorTiempo) << QList<qint16>{4, 3}
        << qint64(8010);
    QTest::newRow("transmission error sends the request again")
        << QList<S>{S::StallThenErrorFrame} << int(Tick::Completo) << QList<qint16>{4, 4, 3}
        << qint64(2015 + 20);
}

void TestCiclo::tick() {
    QFETCH(QList<Station::Step>, plan);
    QFETCH(int, result);
    QFETCH(QList<qint16>, exchanges);
    QFETCH(qint64, ends);
    CycleRig rig;
    rig.station.plan = plan;
    QCOMPARE(int(rig.ciclo.subTick()), result);
    QCOMPARE(rig.exchanges, exchanges);
    QCOMPARE(rig.clock.nowMs(), ends);
    if (result == int(Tick::Completo)) {
        QCOMPARE(rig.painted.size(), 1);
        QCOMPARE(rig.painted[0].first, 43.6025641025641);
        QVERIFY(qAbs(rig.painted[0].second - 64.9999260869565) < 1e-12);
        QCOMPARE(modGlobal::lNumeroMuestras, 1);
        QVERIFY(rig.messages.isEmpty());
        QCOMPARE(rig.order, (QStringList{"end", "paint"}));
        QCOMPARE(rig.ended[0].lLecturaHumedad, 512);
        QCOMPARE(rig.ended[0].lLecturaPresion, 512);
        QCOMPARE(rig.ended[0].dHumedad, rig.painted[0].first);
        QCOMPARE(rig.ended[0].dPresion, rig.painted[0].second);
    } else {
        QVERIFY(rig.painted.isEmpty());
        QCOMPARE(modGlobal::lNumeroMuestras, 0);
        QCOMPARE(rig.messages, QStringList{"Error de tiempo"});
        QCOMPARE(rig.order, (QStringList{"end", "message"}));
    }
    QCOMPARE(int(rig.ended[0].enResultado), result);
}

void TestCiclo::strayFramesAreNotReadings_data() {
    using S = Station::Step;
    QTest::addColumn<QList<S>>("plan");
    QTest::addColumn<QList<qint16>>("exchanges");
    // A frame the station repeats at once is dropped, not kept for the pressure.
    QTest::newRow("repeated reply") << QList<S>{S::ReplyTwice} << QList<qint16>{4, 3};
    // Regression: an error frame answering a request was read as a reading of 0.
    QTest::newRow("error frame as the answer") << QList<S>{S::ErrorFrame} << QList<qint16>{4, 4, 3};
}

void TestCiclo::strayFramesAreNotReadings() {
    QFETCH(QList<Station::Step>, plan);
    QFETCH(QList<qint16>, exchanges);
    CycleRig rig;
    rig.station.plan = plan;
    rig.station.pressureRaw = 1023;
    QCOMPARE(int(rig.ciclo.subTick()), int(Tick::Completo));
    QCOMPARE(rig.exchanges, exchanges);
    QCOMPARE(rig.ended[0].lLecturaHumedad, 512);
    QCOMPARE(rig.ended[0].lLecturaPresion, 1023);
}

void TestCiclo::tickEndTellsThePortTrouble_data() {
    using F = clsServidorTramas::enEstadoPuerto;
    QTest::addColumn<bool>("portMissing");
    QTest::addColumn<bool>("lostDuringTick");
    QTest::addColumn<int>("trouble");
    QTest::newRow("silent station") << false << false << int(F::Abierto);
    QTest::newRow("port cannot open") << true << false << int(F::NoSePuedeAbrir);
    QTest::newRow("port lost") << false << true << int(F::Perdido);
    // Regression: once the lost device could not be opened again, its ticks were told as a
    // port that never opened.
    QTest::newRow("port lost, still away at the next tick") << true << true << int(F::Perdido);
}

void TestCiclo::tickEndTellsThePortTrouble() {
    QFETCH(bool, portMissing);
    QFETCH(bool, lostDuringTick);
    QFETCH(int, trouble);
    CycleRig rig(portMissing && !lostDuringTick ? comm::CommError::DeviceNotFound
                                                : comm::CommError::None);
    rig.station.plan = {Station::Step::Silent};
    if (lostDuringTick) {
        rig.fake->loseDeviceAt(100);
    }
    if (lostDuringTick && portMissing) {
        // Lost between ticks, and not back when the next tick opens it again.
        rig.clock.advanceBy(200);
        rig.fake->setOpenFailure(comm::CommError::DeviceNotFound);
    }
    QCOMPARE(rig.ciclo.subTick(), Tick::ErrorTiempo);
    QCOMPARE(rig.ended.size(), 1);
    QCOMPARE(int(rig.ended[0].enEstadoPuerto), trouble);
}

void TestCiclo::ticksDoNotOverlap() {
    CycleRig rig;
    rig.station.plan = {Station::Step::Silent};
    QList<Tick> nested;
    // A one-second timer keeps firing while the first tick waits for the silent station.
    forms::Timer segundo(rig.clock);
    segundo.setCallback([&] { nested << rig.ciclo.subTick(); });
    segundo.setInterval(1000);
    segundo.setEnabled(true);
    QCOMPARE(rig.ciclo.subTick(), Tick::ErrorTiempo);
    segundo.setEnabled(false);
    QCOMPARE(nested.size(), 8);
    QVERIFY(std::all_of(nested.begin(), nested.end(), [](Tick t) { return t == Tick::Saltado; }));
    QCOMPARE(rig.exchanges, QList<qint16>{4});
}

void TestCiclo::stopDuringTheWait_data() {
    using S = Station::Step;
    QTest::addColumn<QList<S>>("plan");
    QTest::addColumn<bool>("discard");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<qint16>>("exchanges");
    QTest::addColumn<int>("counted");
    QTest::newRow("stopped: the readings count in their run")
        << QList<S>{} << false << int(Tick::Completo) << QList<qint16>{4, 3} << 1;
    QTest::newRow("stopped: no request again after an error frame")
        << QList<S>{S::StallThenErrorFrame, S::StallThenErrorFrame} << false << int(Tick::Detenido)
        << QList<qint16>{4} << 0;
    QTest::newRow("discarded: nothing more asked, nothing handed on")
        << QList<S>{} << true << int(Tick::Detenido) << QList<qint16>{4} << 0;
}

void TestCiclo::stopDuringTheWait() {
    QFETCH(QList<Station::Step>, plan);
    QFETCH(bool, discard);
    QFETCH(int, result);
    QFETCH(QList<qint16>, exchanges);
    QFETCH(int, counted);
    CycleRig rig;
    rig.station.plan = plan;
    rig.clock.post(
        [&rig, discard] {
            if (discard) {
                rig.ciclo.subDescarta();
            } else {
                rig.ciclo.subDetiene();
            }
        },
        5);
    QCOMPARE(int(rig.ciclo.subTick()), result);
    QCOMPARE(rig.exchanges, exchanges);
    QCOMPARE(modGlobal::lNumeroMuestras, counted);
    QCOMPARE(rig.painted.size(), qsizetype(counted));
    // Between ticks there is nothing to stop: the next tick runs as usual.
    rig.ciclo.subDetiene();
    rig.ciclo.subDescarta();
    rig.station.plan.clear();
    QCOMPARE(rig.ciclo.subTick(), Tick::Completo);
}

void TestCiclo::wrongCheckSumIsNotAReading_data() {
    using S = Station::Step;
    QTest::addColumn<QList<S>>("plan");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<qint16>>("exchanges");
    // Regression: the spoilt frame was used as a reading.
    QTest::newRow("spoilt once: the repeat is the reading")
        << QList<S>{S::BadSum} << int(Tick::Completo) << QList<qint16>{4, 4, 3};
    QTest::newRow("pressure spoilt once")
        << QList<S>{S::Reply, S::BadSum} << int(Tick::Completo) << QList<qint16>{4, 3, 3};
    QTest::newRow("spoilt twice: the tick fails")
        << QList<S>{S::BadSum, S::BadSum} << int(Tick::ErrorSumaLogica) << QList<qint16>{4, 4};
    QTest::newRow("pressure spoilt twice, humidity dropped")
        << QList<S>{S::Reply, S::BadSum, S::BadSum} << int(Tick::ErrorSumaLogica)
        << QList<qint16>{4, 3, 3};
    // An error frame between them is the station's own complaint: the request goes out again,
    // but the one repeat for a spoilt frame is spent.
    QTest::newRow("spoilt, error frame, spoilt")
        << QList<S>{S::BadSum, S::ErrorFrame, S::BadSum} << int(Tick::ErrorSumaLogica)
        << QList<qint16>{4, 4, 4};
    QTest::newRow("each reading spoilt once") << QList<S>{S::BadSum, S::Reply, S::BadSum}
                                              << int(Tick::Completo) << QList<qint16>{4, 4, 3, 3};
}

void TestCiclo::wrongCheckSumIsNotAReading() {
    QFETCH(QList<Station::Step>, plan);
    QFETCH(int, result);
    QFETCH(QList<qint16>, exchanges);
    CycleRig rig;
    rig.station.plan = plan;
    rig.station.pressureRaw = 1023;
    QCOMPARE(int(rig.ciclo.subTick()), result);
    QCOMPARE(rig.exchanges, exchanges);
    QCOMPARE(rig.ended.size(), 1);
    QCOMPARE(int(rig.ended[0].enResultado), result);
    QVERIFY(rig.messages.isEmpty()); // the only box of the tick is "Error de tiempo"
    if (result == int(Tick::Completo)) {
        // Only the good frames: the spoilt ones carried other readings.
        QCOMPARE(rig.ended[0].lLecturaHumedad, 512);
        QCOMPARE(rig.ended[0].lLecturaPresion, 1023);
        QCOMPARE(rig.painted.size(), 1);
        QCOMPARE(modGlobal::lNumeroMuestras, 1);
    } else {
        QVERIFY(rig.painted.isEmpty());
        QCOMPARE(modGlobal::lNumeroMuestras, 0);
        QCOMPARE(rig.ciclo.dfntHumedad(), 0.0);
    }
}

// Regression: a station that answered every request with its error frame kept one tick
// asking for ever, and nothing told that no reading came.
void TestCiclo::stationThatOnlyComplainsEndsTheTick() {
    CycleRig rig;
    rig.station.plan = QList<Station::Step>(20, Station::Step::StallThenErrorFrame);
    // Each exchange: three bytes, 2000 ms of silence, the unlock and the error frame 5 ms
    // later. The retries go on while the tick is within its limit; the first error frame
    // after it ends the tick.
    QCOMPARE(rig.ciclo.subTick(), Tick::SinLecturas);
    QCOMPARE(rig.exchanges, QList<qint16>({4, 4, 4, 4}));
    QCOMPARE(rig.clock.nowMs(), 4 * 2015);
    QVERIFY(rig.clock.nowMs() > clsCicloAdquisicion::iLIMITE_SIN_LECTURA_MS);
    QCOMPARE(rig.ended.size(), 1);
    QCOMPARE(rig.ended[0].enResultado, Tick::SinLecturas);
    QVERIFY(rig.messages.isEmpty());
    QVERIFY(rig.painted.isEmpty());
    // The station comes back: the next tick reads as usual.
    rig.station.plan.clear();
    QCOMPARE(rig.ciclo.subTick(), Tick::Completo);
}

QTEST_GUILESS_MAIN(TestCiclo)
#include "tst_ciclo.moc"
