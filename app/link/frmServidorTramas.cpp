#include "frmServidorTramas.h"

#include <QLabel>

frmServidorTramas::frmServidorTramas(std::unique_ptr<comm::SerialBackend> backend,
                                     forms::Scheduler& scheduler, QWidget* parent)
    : forms::Form(parent)
    , m_objServidor(std::move(backend), scheduler)
    , bCerrraVentana(m_objServidor.bCerrraVentana)
    , m_lblInformacion(new QLabel(QStringLiteral("Label1"), this)) {
    setWindowTitle(QStringLiteral("Servidor de Tramas"));
    setClientSizeTwips(4665, 525);
    placeTwips(m_lblInformacion, 120, 150, 4485, 285);
    m_lblInformacion->setObjectName(QStringLiteral("lblInformacion"));
}

frmServidorTramas::~frmServidorTramas() = default;

void frmServidorTramas::setVisible(bool /*visible*/) {
    // Never mapped: a request to show it (from any caller) leaves it hidden.
    forms::Form::setVisible(false);
}

void frmServidorTramas::subCambiaVelocidadPuertoSerie(qint16 iPuerto, const QString& strVelo) {
    m_objServidor.subCambiaVelocidadPuertoSerie(iPuerto, strVelo);
    m_lblInformacion->setText(m_objServidor.strfntInformacion());
}

clsServidorTramas::enResultadoEnvio
frmServidorTramas::subMandaTrama(qint16 iDireccionDestino, qint16 iDireccionOrigen,
                                 qint16 iByteControl, qint16 iByteDatos1, qint16 iByteDatos2) {
    return m_objServidor.subMandaTrama(iDireccionDestino, iDireccionOrigen, iByteControl,
                                       iByteDatos1, iByteDatos2);
}

void frmServidorTramas::queryUnload(bool& cancel) {
    cancel = !bCerrraVentana;
}

void frmServidorTramas::formUnload() {
    m_objServidor.subCierraPuerto();
}
