#pragma once

#include "clsBarraEstado.h"

#include <QStatusBar>

class QLabel;

// The main window's status bar: the notices on the left, the link to the station and the
// counters on the right. It shows what its clsBarraEstado holds and follows every change.
class ctlBarraEstado : public QStatusBar {
    Q_OBJECT

public:
    explicit ctlBarraEstado(QWidget* parent = nullptr);

    clsBarraEstado& estado() { return m_objEstado; }
    const clsBarraEstado& estado() const { return m_objEstado; }

    QLabel* lblAvisos() const { return m_lblAvisos; }
    QLabel* lblEnlace() const { return m_lblEnlace; }
    QLabel* lblContadores() const { return m_lblContadores; }

private:
    void subMuestra();

    clsBarraEstado m_objEstado;
    QLabel* m_lblAvisos;
    QLabel* m_lblEnlace;
    QLabel* m_lblContadores;
};
