#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <initializer_list>

class QSocketNotifier;

// Turns the signals that ask the program to end (SIGTERM at shutdown, SIGHUP when the session
// closes) into a call on the user-interface thread. The handler only writes the signal's
// number to a socket pair; the message loop reads it and calls evTermina, where anything may
// be done safely. One instance at a time; the signals get their default handling back when it
// goes.
class clsSenalTerminacion : public QObject {
    Q_OBJECT

public:
    explicit clsSenalTerminacion(std::initializer_list<int> iarrSenales,
                                 std::function<void(int iSenal)> evTermina,
                                 QObject* parent = nullptr);
    ~clsSenalTerminacion() override;
    clsSenalTerminacion(const clsSenalTerminacion&) = delete;
    clsSenalTerminacion& operator=(const clsSenalTerminacion&) = delete;

    // False when the socket pair or a handler could not be set up (the signals then keep their
    // default handling).
    bool bfntActiva() const { return m_bActiva; }

private:
    void subLee();

    std::function<void(int)> m_evTermina;
    QList<int> m_iarrSenales;
    QSocketNotifier* m_notificador = nullptr;
    bool m_bActiva = false;
};
