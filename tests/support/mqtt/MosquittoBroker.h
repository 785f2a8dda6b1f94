// A mosquitto broker of the test's own on a free port of the loopback address, with a
// configuration the test chooses. Stopped when the object goes, also when a check fails.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class MosquittoBroker {
public:
    struct Settings {
        // Empty user: anonymous clients are let in. Otherwise only this user, through a
        // password file made by mosquitto_passwd.
        QString user;
        QString password;
        // Subscriptions and queued messages of persistent sessions survive a restart.
        bool persistence = false;
        // Both given: the listener speaks TLS with this certificate and key (PEM files).
        QString certFile;
        QString keyFile;
    };

    explicit MosquittoBroker(const Settings& settings);
    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    // Starts the broker and waits until it takes connections. The first start picks the port;
    // later ones reuse it. False with the reason in errorString().
    bool start();
    // Stops it as the service manager would (SIGTERM), so that it saves its sessions.
    void stop();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    // mqtt://127.0.0.1:<port>, or mqtts:// for a TLS listener.
    QString url() const;
    QString errorString() const { return m_error; }
    // What the broker wrote so far.
    QByteArray output();

    // The broker program, or empty when mosquitto is not installed.
    static QString program();

private:
    bool writeConfig();
    bool waitUntilListening();

    Settings m_settings;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
    QByteArray m_output;
};

// A port of the loopback address that nothing listens on right now; 0 if none was found.
quint16 freeLoopbackPort();

} // namespace testsupport

// Starts a broker inside a test function: skipped where mosquitto is not installed, failed
// with the broker's reason where it does not start.
#define START_BROKER(broker)                                                                       \
    do {                                                                                           \
        if (testsupport::MosquittoBroker::program().isEmpty())                                     \
            QSKIP("mosquitto is not installed (scripts/setup-deps.sh installs it)");               \
        QVERIFY2((broker).start(), qPrintable((broker).errorString()));                            \
    } while (false)
