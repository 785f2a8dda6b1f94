#pragma once

#include "clsHistorialGrafico.h"
#include "clsTrazoPlot.h"
#include "clsVentanaHija.h"

#include "forms/Form.h"

#include <functional>

class QGroupBox;
class QLabel;

namespace com {
class ControlSite;
}

// "Evolución Temporal": humidity and pressure against time on the strip chart, with the
// active time since acquisition was last started. Its properties command opens the scale
// dialog, whose choices are kept for the next run (clsAjustesGrafico). The chart fills the
// window and follows it when it is resized. It can be closed before the program ends; any
// later call brings it back loaded afresh, set up from the shared limits and the hours and
// density last chosen. Whenever it loads (at start-up too) the chart is filled with the
// archived readings of its time span, so that closing it loses nothing the operator saw.
class frmHijoSimulacion : public forms::Form, public clsVentanaHija {
    Q_OBJECT

public:
    // Loads the window (the strip-chart control must be registered).
    explicit frmHijoSimulacion(QWidget* parent = nullptr);

    QWidget* frmVentana() override { return this; }
    void subCerrarVentana() override;
    void evPreparaImpresora() override;
    void evImprimeMuñeco() override;
    void evPropiedadesMuñeco() override;
    void evPintaMuñeco() override;
    void evPintaValores(double& dHumedad, double& dPresion) override;
    void evValoresDefecto() override;

    // Key of the status bar's notice about the last print.
    static inline const QString strCLAVE_AVISO_IMPRESION = QStringLiteral("impresion");
    // Key of the status bar's notice about a chart that could not be created.
    static inline const QString strCLAVE_AVISO_GRAFICO = QStringLiteral("trazoplot");
    // First line of the printed report.
    static inline const QString strTITULO_IMPRESION =
        QStringLiteral("Estación meteorológica: humedad y presión");

    // Where the history comes from: the readings of [desde, hasta) in ms since 1970. The
    // archive the console writes unless replaced (tests); returns the previous source.
    using FuenteHistorial = std::function<clsHistorialGrafico(qint64, qint64)>;
    static FuenteHistorial setFuenteHistorial(FuenteHistorial objFuente);

    bool bCargada() const { return m_bCargada; }
    // Result of the last chart call sequence: S_OK or the first failure the chart answered.
    [[nodiscard]] com::HRESULT hrUltimoResultado() const { return m_hrUltimo; }

    qint32 lHorasMostradas = 8;
    qint16 iMuestrasMostradas = 1;
    double dMuestrasMostradas = 1.0;

    clsTrazoPlot scrMuñecoSimulacion;
    QGroupBox* marMarco = nullptr;
    QLabel* lblHorasSimulacion = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void queryUnload(bool& cancel) override;
    void formUnload() override;

private:
    // The load steps: caption, size and place, and the chart from its design.
    void subCarga();
    // Every operation first brings a closed window back.
    void subAseguraCargada();
    void subConfiguraGrafico();
    void subDimensionaGrafico();
    void subAnota(com::HRESULT hr);
    void subCargaHistorial();

    bool bImpideCierre = true;
    bool m_bCargada = false;
    com::HRESULT m_hrUltimo = com::S_OK;
};
