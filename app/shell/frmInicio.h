#pragma once

#include "forms/Form.h"
#include "forms/Timer.h"

#include <functional>

class QFrame;

// The splash window: shown without border or title bar for two seconds, then it unloads
// itself and hands over to the main window.
class frmInicio : public forms::Form {
    Q_OBJECT

public:
    static constexpr int iTIEMPO_INICIO_MS = 2000;

    // `evMuestraPrincipal` shows the main window (creating it if needed) once the time is up.
    explicit frmInicio(std::function<void()> evMuestraPrincipal,
                       forms::Scheduler& scheduler = forms::Scheduler::instance(),
                       QWidget* parent = nullptr);

    // Shows the splash centred on the screen.
    void subMuestra();

    const forms::Timer& tmrTiempoInicio() const { return m_tmrTiempoInicio; }
    void tmrTiempoInicio_Timer();

private:
    void subCreaContenido(QFrame* marMarco);

    std::function<void()> m_evMuestraPrincipal;
    forms::Timer m_tmrTiempoInicio;
};
