// The station's protocol logic, driven byte by byte without any IO.

#include "StationCore.h"

#include <QTest>

using namespace stationsim;

Q_DECLARE_METATYPE(std::vector<std::uint8_t>)
Q_DECLARE_METATYPE(stationsim::RequestOutcome)

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kHumidityRequest{0x40, 0x01, 0x00, 0x40, 0x02, 0x04, 0x00, 0x87};
const Bytes kPressureRequest{0x40, 0x01, 0x00, 0x40, 0x02, 0x03, 0x00, 0x86};
// Raw 512 (0x0200) in reply to the console at address 0.
const Bytes kReply512{0x40, 0x00, 0x01, 0x40, 0x02, 0x02, 0x00, 0x85};
const Bytes kErrorFrame{0x40, 0x00, 0x01, 0xFF, 0x02, 0x00, 0x00, 0x42};

Bytes fromHex(const char* hex) {
    const QByteArray raw = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
    return Bytes(raw.begin(), raw.end());
}

StationCore stationAt512() {
    StationReadings readings(7);
    readings.fixHumidityRaw(512);
    readings.fixPressureRaw(512);
    return StationCore(readings);
}

// Everything the station sends in answer to `bytes`, concatenated.
Bytes sent(StationCore& station, const Bytes& bytes, std::int64_t nowMs = 0) {
    Bytes out;
    for (const Transmission& t : station.receive(bytes, nowMs)) {
        out.insert(out.end(), t.bytes.begin(), t.bytes.end());
    }
    return out;
}

} // namespace

class StationCoreTest : public QObject {
    Q_OBJECT

private slots:
    void repliesToRequests_data();
    void repliesToRequests();
    void faultShapesTheReply_data();
    void faultShapesTheReply();
    void unlockAnswer_data();
    void unlockAnswer();
    void onceAppliesToOneExchangeOnly();
    void modeChangeReachesAnUnlockAtOnce();
    void requestReassembledAcrossPartialWrites_data();
    void requestReassembledAcrossPartialWrites();
    void unfinishedRequestIsDroppedAfterSilence();
    void requestsTheStationMustNotAnswer_data();
    void requestsTheStationMustNotAnswer();
};

void StationCoreTest::repliesToRequests_data() {
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<Bytes>("reply");
    QTest::newRow("humidity") << kHumidityRequest << kReply512;
    QTest::newRow("pressure") << kPressureRequest << kReply512;
    // The reply goes back to whoever asked: destination = request's origin.
    QTest::newRow("console at address 9")
        << fromHex("40 01 09 40 02 04 00 90") << fromHex("40 09 01 40 02 02 00 8E");
    // Noise before the start byte is not part of the request.
    QTest::newRow("noise first") << fromHex("00 FF 7E 40 01 00 40 02 04 00 87") << kReply512;
}

void StationCoreTest::repliesToRequests() {
    QFETCH(Bytes, request);
    QFETCH(Bytes, reply);
    StationCore station = stationAt512();
    QCOMPARE(sent(station, request), reply);
    QCOMPARE(station.lastOutcome(), RequestOutcome::Answered);
}

void StationCoreTest::faultShapesTheReply_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Bytes>("reply");
    QTest::addColumn<int>("gapMs");
    QTest::newRow("normal") << "normal" << kReply512 << 0;
    QTest::newRow("silent") << "silent" << Bytes{} << 0;
    QTest::newRow("stall before any byte") << "stall" << Bytes{} << 0;
    QTest::newRow("stall after 3") << "stall:3" << fromHex("40 00 01") << 0;
    QTest::newRow("stall after 7") << "stall:7" << fromHex("40 00 01 40 02 02 00") << 0;
    QTest::newRow("wrong check sum") << "checksum" << fromHex("40 00 01 40 02 02 00 86") << 0;
    // 0x40 + 0 + 1 + 0x40 + 2 + 0x40 + 0x40 = 0x103.
    QTest::newRow("data bytes 0x40") << "data40" << fromHex("40 00 01 40 02 40 40 03") << 0;
    QTest::newRow("stray bytes") << "stray:3" << fromHex("00 FF 55 40 00 01 40 02 02 00 85") << 0;
    QTest::newRow("unlock-data stalls first") << "unlock-data:2" << fromHex("40 00") << 0;
    QTest::newRow("slow") << "slow:2500" << kReply512 << 2500;
}

void StationCoreTest::faultShapesTheReply() {
    QFETCH(QString, fault);
    QFETCH(Bytes, reply);
    QFETCH(int, gapMs);
    const std::optional<Fault> parsed = Fault::parse(fault.toStdString());
    QVERIFY(parsed);
    StationCore station = stationAt512();
    station.setMode(*parsed);
    const std::vector<Transmission> out = station.receive(kHumidityRequest, 0);
    QCOMPARE(out.size(), reply.empty() ? 0U : 1U);
    if (!reply.empty()) {
        QCOMPARE(out[0].bytes, reply);
        QCOMPARE(out[0].gapMs, gapMs);
        QVERIFY(!out[0].supersedes);
    }
}

void StationCoreTest::unlockAnswer_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("afterRequest");
    QTest::addColumn<Bytes>("answer");
    QTest::newRow("lone unlock, normal") << "normal" << false << kErrorFrame;
    QTest::newRow("lone unlock, silent") << "silent" << false << Bytes{};
    QTest::newRow("stalled exchange") << "stall:3" << true << kErrorFrame;
    QTest::newRow("slow exchange") << "slow:3000" << true << kErrorFrame;
    QTest::newRow("silent exchange") << "silent" << true << Bytes{};
    QTest::newRow("unlock-data") << "unlock-data" << true << kReply512;
}

void StationCoreTest::unlockAnswer() {
    QFETCH(QString, fault);
    QFETCH(bool, afterRequest);
    QFETCH(Bytes, answer);
    StationCore station = stationAt512();
    station.setMode(*Fault::parse(fault.toStdString()));
    if (afterRequest) {
        station.receive(kHumidityRequest, 0);
    }
    const std::vector<Transmission> out = station.receive(Bytes{0x01}, 2000);
    QCOMPARE(station.unlocksReceived(), 1);
    QCOMPARE(out.size(), answer.empty() ? 0U : 1U);
    if (!answer.empty()) {
        QCOMPARE(out[0].bytes, answer);
        // The unlock cuts short whatever of the old reply is still unsent.
        QVERIFY(out[0].supersedes);
    }
}

void StationCoreTest::onceAppliesToOneExchangeOnly() {
    StationCore station = stationAt512();
    station.setMode(*Fault::parse("checksum"));
    station.setOnce(*Fault::parse("stall:2"));
    QCOMPARE(sent(station, kHumidityRequest, 0), fromHex("40 00"));
    QVERIFY(!station.pendingOnce());
    // Repeated unlocks within the stalled exchange all get the error frame.
    QCOMPARE(sent(station, {0x01}, 2000), kErrorFrame);
    QCOMPARE(sent(station, {0x01}, 2150), kErrorFrame);
    // The request sent again is governed by the mode again, and so is every later one.
    const Bytes badSum = fromHex("40 00 01 40 02 02 00 86");
    QCOMPARE(sent(station, kHumidityRequest, 2200), badSum);
    QCOMPARE(sent(station, kPressureRequest, 2300), badSum);
    QCOMPARE(station.requestsReceived(), 3);
}

void StationCoreTest::modeChangeReachesAnUnlockAtOnce() {
    StationCore station = stationAt512();
    station.setMode(*Fault::parse("stall"));
    QCOMPARE(sent(station, kHumidityRequest, 0), Bytes{});
    station.setMode(*Fault::parse("silent"));
    QCOMPARE(sent(station, {0x01}, 2000), Bytes{});
    station.setMode(Fault{});
    QCOMPARE(sent(station, {0x01}, 2150), kErrorFrame);
}

void StationCoreTest::requestReassembledAcrossPartialWrites_data() {
    QTest::addColumn<QList<int>>("chunks");
    QTest::newRow("byte by byte") << QList<int>{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("3 + 5") << QList<int>{3, 5};
    QTest::newRow("1 + 7") << QList<int>{1, 7};
    QTest::newRow("7 + 1") << QList<int>{7, 1};
    // Two requests in one write: both answered, in order.
    QTest::newRow("two at once") << QList<int>{16};
}

void StationCoreTest::requestReassembledAcrossPartialWrites() {
    QFETCH(QList<int>, chunks);
    StationCore station = stationAt512();
    Bytes stream = kHumidityRequest;
    if (chunks == QList<int>{16}) {
        stream.insert(stream.end(), kPressureRequest.begin(), kPressureRequest.end());
    }
    Bytes out;
    std::size_t at = 0;
    std::int64_t now = 0;
    for (int size : chunks) {
        QVERIFY2(out.empty(), "answered before the request was complete");
        const Bytes chunk(stream.begin() + static_cast<long>(at),
                          stream.begin() + static_cast<long>(at) + size);
        at += static_cast<std::size_t>(size);
        const Bytes answer = sent(station, chunk, now += 5);
        out.insert(out.end(), answer.begin(), answer.end());
    }
    Bytes expected = kReply512;
    if (stream.size() == 16) {
        expected.insert(expected.end(), kReply512.begin(), kReply512.end());
    }
    QCOMPARE(out, expected);
}

void StationCoreTest::unfinishedRequestIsDroppedAfterSilence() {
    StationCore station = stationAt512();
    QCOMPARE(sent(station, fromHex("40 01 00"), 0), Bytes{});
    // Within the limit the 0x01 would be request data; after it, it is the unlock message.
    QCOMPARE(sent(station, {0x01}, StationCore::kRequestGapLimitMs + 1), kErrorFrame);
    QCOMPARE(sent(station, kHumidityRequest, 3000), kReply512);
}

void StationCoreTest::requestsTheStationMustNotAnswer_data() {
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<Bytes>("answer");
    QTest::addColumn<RequestOutcome>("outcome");
    QTest::newRow("bad check sum")
        << fromHex("40 01 00 40 02 04 00 88") << Bytes{} << RequestOutcome::BadCheckSum;
    QTest::newRow("other station")
        << fromHex("40 02 00 40 02 04 00 88") << Bytes{} << RequestOutcome::OtherAddress;
    QTest::newRow("unknown reading")
        << fromHex("40 01 00 40 02 05 00 88") << kErrorFrame << RequestOutcome::UnknownReading;
}

void StationCoreTest::requestsTheStationMustNotAnswer() {
    QFETCH(Bytes, request);
    QFETCH(Bytes, answer);
    QFETCH(RequestOutcome, outcome);
    StationCore station = stationAt512();
    station.setOnce(*Fault::parse("checksum"));
    QCOMPARE(sent(station, request), answer);
    QCOMPARE(station.lastOutcome(), outcome);
    // A request the station ignores does not use up the once-fault.
    QCOMPARE(station.pendingOnce().has_value(), outcome != RequestOutcome::UnknownReading);
}

QTEST_GUILESS_MAIN(StationCoreTest)
#include "tst_StationCore.moc"
