#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Escala de la Evolución Temporal": edits the hours the time axis spans, the samples setting
// (one of every N) and the humidity and pressure limits of the temporal-evolution chart. The
// hours and samples come and go through the public fields; the four limits are read from and
// written to the shared application state. Aceptar refuses, with a message, a text that is not
// a number or whose magnitude exceeds dLIMITE_MAXIMO, and a start that is not below its end.
class frmEscala : public QDialog {
    Q_OBJECT

public:
    explicit frmEscala(QWidget* parent = nullptr);

    // The largest magnitude a limit may have. Beyond it the axis labels no longer fit beside
    // the chart and the axis shows none.
    static constexpr double dLIMITE_MAXIMO = 1e6;

    // In and out: 1 to 31 each.
    qint16 iHoras = 8;
    qint16 iMuestras = 1;
    // True only when the dialog was closed with Aceptar.
    bool bSalida = false;

    // Fills the lists and texts from iHoras, iMuestras and the shared limits, then runs the
    // dialog modally (or hands it to the installed answerer).
    void subMuestraModal();

    // Tests answer the dialog through this: while installed it is called with the loaded
    // dialog instead of the modal loop, and acts on it as a user would. Returns the previous.
    using Contestador = std::function<void(frmEscala&)>;
    static Contestador setContestador(Contestador objContestador);

    QComboBox* comSegundos = nullptr;
    QComboBox* comMuestras = nullptr;
    QLineEdit* txtInicio = nullptr;
    QLineEdit* txtFin = nullptr;
    QLineEdit* txtInicioPresion = nullptr;
    QLineEdit* txtFinPresion = nullptr;
    QPushButton* btnAceptar = nullptr;
    QPushButton* btnCancelar = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void subCarga();
    void btnAceptar_Click();
    void btnCancelar_Click();

    QGroupBox* marMarco(const QString& strTitulo, int iTop);
    QLabel* lblEtiqueta(QWidget* padre, const QString& strTexto, int iLeft, int iTop);
    QLineEdit* txtCaja(QWidget* padre, int iLeft, int iTop);
    QComboBox* comLista(QWidget* padre);
    QPushButton* btnBoton(const QString& strTexto, int iLeft);
};
