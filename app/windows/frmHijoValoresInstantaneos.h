#pragma once

#include "clsEstadistica.h"
#include "clsMedidor.h"
#include "clsVentanaHija.h"

#include "forms/Form.h"

class QGroupBox;
class QLabel;

// "Valores Instantáneos": the latest humidity and pressure on two meters, with the maximum,
// minimum and mean of the readings since acquisition was last started. It closes only through
// subCerrarVentana.
class frmHijoValoresInstantaneos : public forms::Form, public clsVentanaHija {
    Q_OBJECT

public:
    // Loads the window: builds it, creates both meters from their designed states (the meter
    // control must be registered) and sets the scale limits.
    explicit frmHijoValoresInstantaneos(QWidget* parent = nullptr);

    QWidget* frmVentana() override { return this; }
    void subCerrarVentana() override;
    void evPreparaImpresora() override {}
    void evImprimeMuñeco() override {}
    void evPropiedadesMuñeco() override {}
    void evPintaMuñeco() override;
    void evPintaValores(double& dHumedad, double& dPresion) override;
    void evValoresDefecto() override;
    void evFijaEstadistica(const stCifras& humedad, const stCifras& presion) override;

    // Result of the last meter call sequence (creation, set-up or reading): S_OK or the first
    // failure the meters answered. The window reports nothing itself.
    [[nodiscard]] com::HRESULT hrUltimoResultado() const { return m_hrUltimo; }
    // Key of the status bar's notice about meters that could not be created.
    static inline const QString strCLAVE_AVISO_MEDIDORES = QStringLiteral("gaugekit");

    clsEstadistica objHumedad{100.0, 0.0};
    clsEstadistica objPresion{115.0, 15.0};

    clsMedidor rtmHumedad;
    clsMedidor rtmPresion;
    QLabel* lblMaximoHumedad = nullptr;
    QLabel* lblMinimoHumedad = nullptr;
    QLabel* lblMedioHumedad = nullptr;
    QLabel* lblMaximoPresion = nullptr;
    QLabel* lblMinimoPresion = nullptr;
    QLabel* lblMedioPresion = nullptr;

protected:
    void queryUnload(bool& cancel) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Fila {
        QLabel* lblMaximo;
        QLabel* lblMinimo;
        QLabel* lblMedio;
    };
    QGroupBox* marMarco(const QString& strTitulo, int iTop);
    Fila filCreaEtiquetas(QGroupBox* marco, const QString& strUnidad, const QColor& color);
    static void subAjustaFila(const Fila& fila);
    void subMuestraEstadistica(const clsEstadistica& objEstadistica, const Fila& fila);
    void subAnota(com::HRESULT hr);

    bool bImpideCierre = true;
    com::HRESULT m_hrUltimo = com::S_OK;
    Fila m_filHumedad{};
    Fila m_filPresion{};
    QList<QLabel*> m_etiquetasUnidad;
};
