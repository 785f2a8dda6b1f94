#pragma once

#include "comm/SerialBackend.h"

#include "forms/Scheduler.h"

#include <QList>

#include <set>

namespace comm {

// A scripted serial device on the forms scheduler, for tests in virtual time: bytes arrive at
// given times, whatever is written is recorded with its time, a responder can answer writes,
// opens can be made to fail and the device can be lost while open.
class FakeSerialBackend final : public SerialBackend {
public:
    struct Write {
        qint64 atMs;
        QByteArray bytes;
    };
    using Responder = std::function<void(FakeSerialBackend&, const QByteArray& written)>;

    explicit FakeSerialBackend(forms::Scheduler& scheduler = forms::Scheduler::instance());
    ~FakeSerialBackend() override;

    // Opens fail with this code (None: they succeed), as when the device is missing or busy.
    void setOpenFailure(CommError error, const QString& detail = {}, const QString& holder = {});
    // Bytes arriving at an absolute virtual time (now when it has passed). Dropped while closed.
    void deliverAt(qint64 atMs, const QByteArray& bytes);
    void deliverAfter(qint64 delayMs, const QByteArray& bytes);
    // Bytes arriving one by one, gapMs apart, the first after delayMs.
    void deliverSpaced(qint64 delayMs, const QByteArray& bytes, qint64 gapMs);
    // A receive event with nothing to read.
    void emptyEventAt(qint64 atMs);
    // The device goes away at that time (if it is open then).
    void loseDeviceAt(qint64 atMs, const QString& detail = QStringLiteral("device removed"));
    // Called after every write, to play a station that answers.
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    const QList<Write>& writes() const { return m_writes; }
    QByteArray written() const;
    void clearWrites() { m_writes.clear(); }
    int openCount() const { return m_openCount; }
    QString device() const { return m_device; }
    SerialSettings settings() const { return m_settings; }
    forms::Scheduler& scheduler() const { return m_scheduler; }

    BackendStatus open(const QString& device, const SerialSettings& settings) override;
    BackendStatus applySettings(const SerialSettings& settings) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;

private:
    void at(qint64 atMs, std::function<void()> action);

    forms::Scheduler& m_scheduler;
    std::set<forms::Scheduler::Id> m_scheduled;
    BackendStatus m_openFailure;
    Responder m_responder;
    QList<Write> m_writes;
    QString m_device;
    SerialSettings m_settings;
    int m_openCount = 0;
    bool m_open = false;
};

} // namespace comm
