// meterctl watch: hosts one meter per settings file in this process, prints one JSON line per
// event and takes commands on standard input, so that an alarm set-up can be tried without
// writing a container.
#pragma once

#include <com/HResult.h>
#include <com/Variant.h>

#include <QElapsedTimer>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <vector>

class QSocketNotifier;
class PropertyAccess;

namespace com {
class ControlSite;
}
namespace gaugekit {
class CGAUGEKITCtrl;
}

class MeterWatch : public QObject {
public:
    MeterWatch(QTextStream& out, QTextStream& err);
    ~MeterWatch() override;

    // Hosts and draws one meter per file; false (after saying why) when a file cannot be loaded.
    bool load(const QStringList& files);
    // Runs until `quit`, the end of standard input or, when `seconds` > 0, until they have
    // passed (then the end of the input does not stop it). Returns the exit code.
    int run(double seconds);
    // One command line (see the usage); false when it was `quit`.
    bool execute(const QString& line);

private:
    struct Meter;

    void onEvent(int meter, int dispid, const com::VariantList& args);
    void readInput();
    void print(const QList<std::pair<QString, QJsonValue>>& fields);
    void error(const QString& what, com::HRESULT hr);
    Meter* meterAt(const QString& index);
    // The meter a command of `count` words names (at least -count when negative); null after
    // telling what was wrong.
    Meter* target(const QStringList& words, qsizetype count, const QString& usage);

    bool value(const QStringList& words);
    bool values(const QStringList& words);
    bool set(const QString& line);
    bool get(const QStringList& words);
    bool call(const QStringList& words);
    bool save(const QStringList& words);

    QTextStream& m_out;
    QTextStream& m_err;
    QElapsedTimer m_clock;
    std::vector<std::unique_ptr<Meter>> m_meters;
    QSocketNotifier* m_input = nullptr;
    QByteArray m_pending;
    bool m_skippingLine = false; // a line too long was refused; its rest is dropped
    bool m_stopOnEndOfInput = true;
    bool m_quitting = false;
};
