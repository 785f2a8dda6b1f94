#include "frmAbout.h"

#include "clsArte.h"

#include "link/modGlobal.h"

#include "forms/DesignControls.h"
#include "forms/MessageBox.h"
#include "forms/Twips.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>

namespace {

constexpr int kAnchoTwips = 6180;
constexpr int kAltoTwips = 3960;
constexpr int kLineaTwips = 2850;

} // namespace

frmAbout::frmAbout(QWidget* parent, clsInfoSistema objInfo)
    : QDialog(parent)
    , m_objInfo(std::move(objInfo))
    , m_evArranca([](const QString& strRuta) { return QProcess::startDetached(strRuta, {}); }) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Acerca de MiApl"));
    setWindowIcon(clsArte::icofntAplicacion());
    setModal(true);
    setFixedSize(forms::twips::toPixels(this, 0, 0, kAnchoTwips, kAltoTwips).size());

    picfntImagen("picIcon", QStringLiteral("icono"), {240, 240, 720, 720});
    lblfntEtiqueta("lblDescription", QStringLiteral("Control Brisora Meteorológica"), 14.25,
                   {1140, 390, 4785, 555});
    picfntImagen("picRetratoUno", QStringLiteral("retrato_uno"), {300, 1080, 1230, 1620});
    QLabel* Label1 =
        lblfntEtiqueta("Label1", QStringLiteral("Diseño y programación:\nEquipo Brisora"), 9.75,
                       {1860, 1440, 2715, 525});
    Label1->setAlignment(Qt::AlignCenter);
    picfntImagen("picRetratoDos", QStringLiteral("retrato_dos"), {4710, 1080, 1200, 1620});
    forms::addHorizontalLine(this, 150, 5970, kLineaTwips, 1, QColor(128, 128, 128));
    forms::addHorizontalLine(this, 150, 5910, kLineaTwips, 2, Qt::white, 1);
    lblfntEtiqueta("lblDescription", QStringLiteral("Versión para Win95/98/NT       2001"), 9.75,
                   {180, 3030, 3885, 240});
    m_lblVersion =
        lblfntEtiqueta("lblVersion", QStringLiteral("Versión"), 9.75, {180, 3300, 3885, 225});

    m_cmdOK = cmdfntBoton("cmdOK", QStringLiteral("Aceptar"), {4440, 3015, 1500, 345});
    m_cmdOK->setDefault(true);
    m_cmdSysInfo =
        cmdfntBoton("cmdSysInfo", QStringLiteral("&Info. del sistema..."), {4440, 3465, 1485, 345});
    setTabOrder(m_cmdOK, m_cmdSysInfo);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    m_cmdOK->setFocus();
    Form_Load();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("Acerca de ") + modGlobal::strTituloAplicacion);
    m_lblVersion->setText(QStringLiteral("Versión %1.%2.%3")
                              .arg(modGlobal::iVersionMayor)
                              .arg(modGlobal::iVersionMenor)
                              .arg(modGlobal::iVersionRevision));
}

void frmAbout::cmdOK_Click() {
    // Escape reaches the same end through reject().
    accept();
}

void frmAbout::StartSysInfo() {
    const QString strRuta = m_objInfo.strfntRutaHerramienta();
    if (!strRuta.isEmpty() && m_evArranca && m_evArranca(strRuta)) {
        return;
    }
    forms::MessageBox::show(
        QStringLiteral("La información del sistema no está disponible en este momento"),
        forms::MsgButtons::Ok, forms::MsgIcon::None, modGlobal::strTituloAplicacion, this);
}

QLabel* frmAbout::lblfntEtiqueta(const char* strNombre, const QString& strTexto, double dPuntos,
                                 const QRect& rTwips) {
    auto* etiqueta = new QLabel(strTexto, this);
    etiqueta->setObjectName(QString::fromLatin1(strNombre));
    etiqueta->setFont(forms::designFont(dPuntos, true));
    etiqueta->setGeometry(
        forms::twips::toPixels(this, rTwips.x(), rTwips.y(), rTwips.width(), rTwips.height()));
    clsArte::subAjustaFuente(etiqueta);
    return etiqueta;
}

QLabel* frmAbout::picfntImagen(const char* strNombre, const QString& strImagen,
                               const QRect& rTwips) {
    auto* imagen = new QLabel(this);
    imagen->setObjectName(QString::fromLatin1(strNombre));
    const QRect rPixeles =
        forms::twips::toPixels(this, rTwips.x(), rTwips.y(), rTwips.width(), rTwips.height());
    imagen->setGeometry(rPixeles);
    imagen->setPixmap(clsArte::pixfntImagen(strImagen, rPixeles.size(), devicePixelRatioF()));
    return imagen;
}

QPushButton* frmAbout::cmdfntBoton(const char* strNombre, const QString& strTexto,
                                   const QRect& rTwips) {
    auto* boton = new QPushButton(strTexto, this);
    boton->setObjectName(QString::fromLatin1(strNombre));
    boton->setFont(forms::designFont(8.25, false));
    boton->setGeometry(
        forms::twips::toPixels(this, rTwips.x(), rTwips.y(), rTwips.width(), rTwips.height()));
    constexpr int kRelleno = 20; // the button's own frame and padding, in pixels
    clsArte::subAjustaFuente(boton, strTexto, boton->width() - kRelleno);
    return boton;
}
