#pragma once

#include "clsServidorTramas.h"

#include "forms/Form.h"

class QLabel;

// The frame server's window: it holds the port and speed in use in its label but is never shown
// to the operator (no top-level window, no taskbar entry), and refuses to unload until the
// application is leaving. The work is done by
// clsServidorTramas; the window forwards to it. Port troubles show no message box of their
// own: the main window follows them in its status bar (clsServidorTramas::setCambioPuerto).
class frmServidorTramas : public forms::Form {
    Q_OBJECT

    // First, so that it exists when bCerrraVentana is bound to its flag.
    clsServidorTramas m_objServidor;

public:
    explicit frmServidorTramas(std::unique_ptr<comm::SerialBackend> backend = {},
                               forms::Scheduler& scheduler = forms::Scheduler::instance(),
                               QWidget* parent = nullptr);
    ~frmServidorTramas() override;

    // Set by the main window when the application is leaving; until then the window stays.
    bool& bCerrraVentana;

    qint16 ifntPuertoSerie() const { return m_objServidor.ifntPuertoSerie(); }
    QString strfntVelocidadPuertoSerie() const {
        return m_objServidor.strfntVelocidadPuertoSerie();
    }
    void subCambiaVelocidadPuertoSerie(qint16 iPuerto, const QString& strVelo);
    bool bfntEstadoServidor() const { return m_objServidor.bfntEstadoServidor(); }
    bool bfntErrorSumaLogica() const { return m_objServidor.bfntErrorSumaLogica(); }
    bool bfntErrorTransmision() const { return m_objServidor.bfntErrorTransmision(); }
    bool bfntErrorDesconocido() const { return m_objServidor.bfntErrorDesconocido(); }
    bool bfntErrorTiempo() const { return m_objServidor.bfntErrorTiempo(); }
    template <typename Array>
    void subLeeTramaRecibida(Array& iarrTrama) const {
        m_objServidor.subLeeTramaRecibida(iarrTrama);
    }
    clsServidorTramas::enResultadoEnvio subMandaTrama(qint16 iDireccionDestino,
                                                      qint16 iDireccionOrigen, qint16 iByteControl,
                                                      qint16 iByteDatos1, qint16 iByteDatos2);

    clsServidorTramas& servidor() { return m_objServidor; }
    QLabel* lblInformacion() const { return m_lblInformacion; }

    void setVisible(bool visible) override;

protected:
    void queryUnload(bool& cancel) override;
    void formUnload() override;

private:
    QLabel* m_lblInformacion;
};
