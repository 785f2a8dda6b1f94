#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

namespace service {

// Turns the process's signals (SIGTERM, SIGINT, SIGHUP...) into a Qt signal on the event loop:
// the handler only writes the signal's number into a socket pair, which the loop reads. Also
// seen inside a tick's wait, since the frame server keeps the loop running meanwhile. One
// instance per process.
class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~UnixSignals() override;

signals:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace service
