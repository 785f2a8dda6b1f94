#include "frmEscala.h"

#include "modFormatos.h"

#include "forms/DesignControls.h"
#include "forms/MessageBox.h"
#include "forms/NumberFormat.h"
#include "forms/Twips.h"
#include "link/modGlobal.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <array>
#include <cmath>

namespace {

frmEscala::Contestador& contestador() {
    static frmEscala::Contestador objContestador;
    return objContestador;
}

constexpr int kUltimaEntrada = 31;

// Why a limit's text cannot be stored (empty when it can), and its value.
QString strfntRechazo(const QString& strTexto, const QString& strNombre, double& dValor) {
    const std::optional<double> valor = forms::number::parse(strTexto, QLocale());
    if (!valor)
        return QStringLiteral("El valor de %1 no es un número.").arg(strNombre);
    if (std::fabs(*valor) > frmEscala::dLIMITE_MAXIMO) {
        const QString strLimite = modFormatos::strfntLimite(frmEscala::dLIMITE_MAXIMO);
        return QStringLiteral("El valor de %1 debe estar entre -%2 y %2.")
            .arg(strNombre, strLimite);
    }
    dValor = *valor;
    return {};
}

} // namespace

frmEscala::frmEscala(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Escala de la Evolución Temporal"));
    setFixedSize(forms::twips::toPixels(this, 0, 0, 4110, 3600).size());

    QGroupBox* marHumedad = marMarco(QStringLiteral("Humedad"), 60);
    QGroupBox* marPresion = marMarco(QStringLiteral("Presión"), 840);
    for (QGroupBox* marco : {marHumedad, marPresion}) {
        lblEtiqueta(marco, QStringLiteral("Inicio:"), 240, 300);
        lblEtiqueta(marco, QStringLiteral("Fin:"), 2190, 330);
    }
    txtInicio = txtCaja(marHumedad, 1050, 300);
    txtFin = txtCaja(marHumedad, 2820, 300);
    txtInicioPresion = txtCaja(marPresion, 1050, 300);
    txtFinPresion = txtCaja(marPresion, 2820, 300);

    QGroupBox* marEscala = marMarco(QStringLiteral("Escala Temporal"), 1620);
    lblEtiqueta(marEscala, QStringLiteral("Horas Mostradas:"), 150, 270);
    comSegundos = comLista(marEscala);
    QGroupBox* marMuestras = marMarco(QStringLiteral("Muestras"), 2400);
    lblEtiqueta(marMuestras, QStringLiteral("Muestras: 1 de "), 150, 270);
    comMuestras = comLista(marMuestras);

    btnAceptar = btnBoton(QStringLiteral("&Aceptar"), 630);
    btnCancelar = btnBoton(QStringLiteral("&Cancelar"), 2130);
    btnAceptar->setDefault(true);
    connect(btnAceptar, &QPushButton::clicked, this, &frmEscala::btnAceptar_Click);
    connect(btnCancelar, &QPushButton::clicked, this, &frmEscala::btnCancelar_Click);
}

QGroupBox* frmEscala::marMarco(const QString& strTitulo, int iTop) {
    auto* marco = new QGroupBox(strTitulo, this);
    marco->setFont(forms::designFont(9));
    marco->setGeometry(forms::twips::toPixels(this, 60, iTop, 4005, 735));
    return marco;
}

QLabel* frmEscala::lblEtiqueta(QWidget* padre, const QString& strTexto, int iLeft, int iTop) {
    auto* etiqueta = new QLabel(strTexto, padre);
    etiqueta->setFont(forms::designFont(9.75));
    etiqueta->move(forms::twips::toPixels(this, iLeft, iTop, 0, 0).topLeft());
    etiqueta->adjustSize();
    return etiqueta;
}

QLineEdit* frmEscala::txtCaja(QWidget* padre, int iLeft, int iTop) {
    auto* caja = new QLineEdit(padre);
    caja->setFont(forms::designFont(9));
    caja->setGeometry(forms::twips::toPixels(this, iLeft, iTop, 615, 285));
    return caja;
}

QComboBox* frmEscala::comLista(QWidget* padre) {
    auto* lista = new QComboBox(padre);
    lista->setFont(forms::designFont(9));
    const QRect rect = forms::twips::toPixels(this, 2250, 240, 1335, 315);
    lista->setGeometry(rect.x(), rect.y(), rect.width(),
                       qMax(rect.height(), lista->sizeHint().height()));
    return lista;
}

QPushButton* frmEscala::btnBoton(const QString& strTexto, int iLeft) {
    auto* boton = new QPushButton(strTexto, this);
    boton->setFont(forms::designFont(9.75));
    boton->setGeometry(forms::twips::toPixels(this, iLeft, 3270, 1305, 285));
    return boton;
}

frmEscala::Contestador frmEscala::setContestador(Contestador objContestador) {
    Contestador anterior = std::move(contestador());
    contestador() = std::move(objContestador);
    return anterior;
}

void frmEscala::subMuestraModal() {
    subCarga();
    if (contestador())
        contestador()(*this);
    else
        exec();
}

void frmEscala::subCarga() {
    for (QComboBox* lista : {comSegundos, comMuestras}) {
        lista->clear();
        for (int i = 1; i <= kUltimaEntrada; ++i)
            lista->addItem(QString::number(i));
    }
    comSegundos->setCurrentIndex(qBound(0, iHoras - 1, kUltimaEntrada - 1));
    comMuestras->setCurrentIndex(qBound(0, iMuestras - 1, kUltimaEntrada - 1));
    txtInicio->setText(modFormatos::strfntLimite(modGlobal::dInicioHumedad));
    txtFin->setText(modFormatos::strfntLimite(modGlobal::dFinHumedad));
    txtInicioPresion->setText(modFormatos::strfntLimite(modGlobal::dInicioPresion));
    txtFinPresion->setText(modFormatos::strfntLimite(modGlobal::dFinPresion));
}

void frmEscala::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the main window (the window of the child that opened it), else on the screen.
    const QWidget* ventana = parentWidget() ? parentWidget()->window() : nullptr;
    if (ventana && ventana->isVisible())
        move(ventana->frameGeometry().center() - rect().center());
    else if (const QScreen* pantalla = screen())
        move(pantalla->geometry().center() - rect().center());
}

void frmEscala::btnAceptar_Click() {
    struct Campo {
        QLineEdit* txt;
        const char* nombre;
        double* destino;
    };
    const std::array<Campo, 4> campos{{
        {txtInicio, "Inicio de la Humedad", &modGlobal::dInicioHumedad},
        {txtFin, "Fin de la Humedad", &modGlobal::dFinHumedad},
        {txtInicioPresion, "Inicio de la Presión", &modGlobal::dInicioPresion},
        {txtFinPresion, "Fin de la Presión", &modGlobal::dFinPresion},
    }};
    const auto subRechaza = [this](QLineEdit* txt, const QString& strRechazo) {
        forms::MessageBox::show(strRechazo, forms::MsgButtons::Ok, forms::MsgIcon::Exclamation, {},
                                this);
        txt->setFocus();
        txt->selectAll();
    };
    // Every text must be a number before anything is stored.
    std::array<double, 4> valores{};
    for (std::size_t i = 0; i < campos.size(); ++i) {
        const QString strRechazo =
            strfntRechazo(campos[i].txt->text(), QString::fromUtf8(campos[i].nombre), valores[i]);
        if (!strRechazo.isEmpty()) {
            subRechaza(campos[i].txt, strRechazo);
            return;
        }
    }
    // Each start below its end: the other way round the axis would be drawn upside down.
    for (std::size_t i = 0; i < campos.size(); i += 2) {
        if (valores[i] < valores[i + 1])
            continue;
        subRechaza(campos[i].txt, QStringLiteral("El valor de %1 debe ser menor que el de %2.")
                                      .arg(QString::fromUtf8(campos[i].nombre),
                                           QString::fromUtf8(campos[i + 1].nombre)));
        return;
    }
    bSalida = true;
    iHoras = static_cast<qint16>(comSegundos->currentIndex() + 1);
    iMuestras = static_cast<qint16>(comMuestras->currentIndex() + 1);
    for (std::size_t i = 0; i < campos.size(); ++i)
        *campos[i].destino = valores[i];
    accept();
}

void frmEscala::btnCancelar_Click() {
    bSalida = false;
    reject();
}
