#include "frmMDIPrincipal.h"

#include "clsAreaHijas.h"
#include "clsArte.h"
#include "clsMenuPrincipal.h"
#include "clsSeguimientoRemoto.h"
#include "ctlBarraEstado.h"
#include "frmAbout.h"

#include "adquisicion/modAdquisicion.h"
#include "archive/ArchiveWriter.h"
#include "link/frmServidorTramas.h"
#include "link/modGlobal.h"
#include "remoto/clsFuenteRemota.h"

#include "forms/GuardedDialog.h"
#include "forms/MessageBox.h"
#include "forms/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDialog>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QToolBar>

namespace {

const QString kVelocidadPuerto = QStringLiteral("9600,N,8,1");
constexpr qint16 kPuertoEstacion = 2;

} // namespace

frmMDIPrincipal::frmMDIPrincipal(stFabricas fabricas, forms::Scheduler& scheduler, QWidget* parent)
    : QMainWindow(parent)
    , m_fabricas(std::move(fabricas))
    , m_planificador(scheduler)
    , m_tmrSegundo(scheduler)
    , m_mdiArea(new QMdiArea(this))
    , m_areaHijas(new clsAreaHijas(*m_mdiArea))
    , m_menus(new clsMenuPrincipal(*this))
    , m_barEstado(new ctlBarraEstado(this))
    , m_evHora([] { return QTime::currentTime(); }) {
    setObjectName(QStringLiteral("frmMDIPrincipal"));
    setWindowTitle(QStringLiteral("Brisora Meteorológica"));
    setWindowIcon(clsArte::icofntAplicacion());
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdiArea);
    setStatusBar(m_barEstado);
    resize(forms::twips::toPixels(this, 0, 0, 9165, 5985).size());
    m_tmrSegundo.setInterval(iINTERVALO_TICK_MS);
    m_tmrSegundo.setCallback([this] { tmrSegundo_Timer(); });
    m_tmrSegundo.setEnabled(true);
    m_evMuestraAcercaDe = [](QWidget* frmPadre) {
        forms::GuardedDialog<frmAbout> frm(frmPadre);
        frm.exec();
    };
    subConectaComandos();
    clsVentanaPrincipal::setInstancia(this);
    Form_Load();
}

frmMDIPrincipal::~frmMDIPrincipal() {
    // The archive's last batch is written before anything it could still be told goes; a
    // followed service tells nothing more.
    m_objRemoto.reset();
    m_objArchivo.reset();
    if (clsVentanaPrincipal::objInstancia() == this) {
        clsVentanaPrincipal::setInstancia(nullptr);
    }
}

void frmMDIPrincipal::subConectaComandos() {
    const auto conecta = [this](const auto& opciones, void (frmMDIPrincipal::*manejador)(int)) {
        for (int i = 0; i < static_cast<int>(opciones.size()); ++i) {
            connect(opciones[i], &QAction::triggered, this,
                    [this, manejador, i] { (this->*manejador)(i); });
        }
    };
    conecta(m_menus->menuArchivoOpciones, &frmMDIPrincipal::menuArchivoOpciones_Click);
    conecta(m_menus->menuAccionesOpciones, &frmMDIPrincipal::menuAccionesOpciones_Click);
    conecta(m_menus->menuPropiedadesOpciones, &frmMDIPrincipal::menuPropiedadesOpciones_Click);
    conecta(m_menus->menuAyudaOpciones, &frmMDIPrincipal::menuAyudaOpciones_Click);
    connect(m_menus, &clsMenuPrincipal::botonPulsado, this,
            &frmMDIPrincipal::toolBarraHerramientas_ButtonClick);
    connect(m_menus->menuVentana, &QMenu::aboutToShow, this,
            [this] { m_areaHijas->subListaVentanas(m_menus->menuVentana); });
}

void frmMDIPrincipal::Form_Load() {
    modGlobal::lNumeroMuestras = 0;
    iEstadoSimulacion = 0;
    subActualizaEstado();
    if (std::unique_ptr<clsFuenteRemota> objFuente =
            m_fabricas.remota ? m_fabricas.remota() : nullptr) {
        m_objRemoto = std::make_unique<clsSeguimientoRemoto>(
            std::move(objFuente), m_barEstado->estado(),
            [this](double dHumedad, double dPresion) { subPintaValores(dHumedad, dPresion); },
            [this](const clsVentanaHija::stCifras& humedad,
                   const clsVentanaHija::stCifras& presion) {
                if (m_objValoresInstantaneos) {
                    m_objValoresInstantaneos->evFijaEstadistica(humedad, presion);
                }
            });
    } else {
        subAbreEnlaceLocal();
    }
    bImpideCierre = true;
    modGlobal::iNumeroVentanaSiguiente = 0;
    m_menus->menuAcciones->menuAction()->setEnabled(false);
    modGlobal::dInicioHumedad = 0;
    modGlobal::dFinHumedad = 100;
    modGlobal::dInicioPresion = 15;
    modGlobal::dFinPresion = 115;
    subCreaHija(m_objValoresInstantaneos, m_fabricas.frmHijoValoresInstantaneos);
    subCreaHija(m_objSimulacion, m_fabricas.frmHijoSimulacion);
    if (m_objRemoto) {
        subSigueServicio();
        return;
    }
    menuAccionesOpciones_Click(1);
}

void frmMDIPrincipal::subAbreEnlaceLocal() {
    m_objServidorTramas = m_fabricas.frmServidorTramas ? m_fabricas.frmServidorTramas()
                                                       : std::make_unique<frmServidorTramas>();
    m_objServidorTramas->setWindowIcon(windowIcon());
    m_objServidorTramas->subCambiaVelocidadPuertoSerie(kPuertoEstacion, kVelocidadPuerto);
    m_objCiclo = std::make_unique<clsCicloAdquisicion>(m_objServidorTramas->servidor());
    m_objCiclo->setMuestraMensaje([this](const QString& m) { subMuestraErrorTiempo(m); });
    m_objCiclo->setPintaValores(
        [this](double dHumedad, double dPresion) { subPintaValores(dHumedad, dPresion); });
    subConectaEnlace();
    subAbreArchivo();
}

void frmMDIPrincipal::subSigueServicio() {
    // The service's readings are shown from now on: one run, counted from here.
    iEstadoSimulacion = 1;
    modGlobal::lNumeroMuestras = 0;
    m_objValoresInstantaneos->evValoresDefecto();
    m_objSimulacion->evValoresDefecto();
    subActualizaEstado();
    m_objRemoto->subInicia();
}

void frmMDIPrincipal::subPintaValores(double dHumedad, double dPresion) {
    m_barEstado->estado().subLectura();
    m_objValoresInstantaneos->evPintaValores(dHumedad, dPresion);
    m_objSimulacion->evPintaValores(dHumedad, dPresion);
}

void frmMDIPrincipal::subConectaEnlace() {
    clsServidorTramas& objServidor = m_objServidorTramas->servidor();
    objServidor.setCambioPuerto([this] { subSiguePuerto(); });
    m_objCiclo->setIntercambio([this](const clsCicloAdquisicion::stIntercambio& intercambio) {
        clsBarraEstado& objEstado = m_barEstado->estado();
        if (intercambio.bErrorTiempo) {
            // The request went out when the wait began.
            objEstado.subSinRespuesta(m_evHora().addMSecs(-clsServidorTramas::iTIEMPO_ESPERA_MS));
            return;
        }
        if (intercambio.bErrorTransmision) {
            objEstado.subDesbloqueo();
        }
        objEstado.subRespuesta();
    });
    m_objCiclo->setTickTerminado(
        [this](const clsCicloAdquisicion::stTick& tick) { subTickTerminado(tick); });
}

void frmMDIPrincipal::subSiguePuerto() {
    const clsServidorTramas& objServidor = m_objServidorTramas->servidor();
    clsBarraEstado& objEstado = m_barEstado->estado();
    objEstado.subPuerto(QStringLiteral("COM%1").arg(objServidor.ifntPuertoSerie()),
                        objServidor.strfntDispositivo());
    switch (objServidor.enfntEstadoPuerto()) {
    case clsServidorTramas::enEstadoPuerto::Abierto:
        objEstado.subPuertoAbierto();
        break;
    case clsServidorTramas::enEstadoPuerto::NoSePuedeAbrir:
        objEstado.subPuertoNoSeAbre(objServidor.strfntMotivoPuerto());
        break;
    case clsServidorTramas::enEstadoPuerto::Perdido:
        objEstado.subPuertoPerdido();
        break;
    case clsServidorTramas::enEstadoPuerto::Cerrado:
        break;
    }
}

void frmMDIPrincipal::subCreaHija(std::unique_ptr<clsVentanaHija>& objHija,
                                  const FabricaHija& fabrica) {
    objHija = fabrica();
    objHija->iNumeroVentana = modGlobal::iNumeroVentanaSiguiente;
    QWidget* frmHija = objHija->frmVentana();
    if (!frmHija->testAttribute(Qt::WA_SetWindowIcon)) {
        frmHija->setWindowIcon(windowIcon());
    }
    m_areaHijas->subAgrega(frmHija);
    m_areaHijas->subMuestra(frmHija);
    objHija->evPintaMuñeco();
    ++modGlobal::iNumeroVentanaSiguiente;
}

void frmMDIPrincipal::subMuestra() {
    if (const QScreen* pantalla = screen()) {
        const QRect area = pantalla->availableGeometry();
        move(area.center() - rect().center());
        // Where no window manager maximizes windows, the window still fills the screen.
        setGeometry(area);
    }
    showMaximized();
}

void frmMDIPrincipal::subHabilitaAcciones(bool bHabilitado) {
    m_menus->menuAcciones->menuAction()->setEnabled(bHabilitado && !m_objRemoto);
}

void frmMDIPrincipal::subAviso(const QString& strClave, const QString& strTexto) {
    m_barEstado->estado().subAviso(strClave, strTexto);
}

clsVentanaHija* frmMDIPrincipal::objfntHijaActiva() const {
    QWidget* frmActiva = m_areaHijas->frmfntActiva();
    for (clsVentanaHija* objHija : {m_objValoresInstantaneos.get(), m_objSimulacion.get()}) {
        if (objHija != nullptr && frmActiva != nullptr && objHija->frmVentana() == frmActiva) {
            return objHija;
        }
    }
    return nullptr;
}

void frmMDIPrincipal::subActualizaEstado() {
    if (iEstadoSimulacion != 0 && iEstadoSimulacion != 1) {
        return;
    }
    const bool bCorriendo = iEstadoSimulacion == 1;
    m_tmrSegundo.setInterval(iINTERVALO_TICK_MS);
    m_tmrSegundo.setEnabled(bCorriendo);
    m_menus->menuArchivoOpciones[1]->setEnabled(!bCorriendo);
    m_menus->btnfntBoton(QStringLiteral("nueva"))->setEnabled(true);
    m_menus->btnfntBoton(QStringLiteral("cerrar"))->setEnabled(!bCorriendo);
    m_menus->btnfntBoton(QStringLiteral("inicio"))->setEnabled(!bCorriendo);
    m_menus->btnfntBoton(QStringLiteral("pausa"))->setEnabled(bCorriendo);
    m_menus->menuAcciones->menuAction()->setEnabled(true);
    m_menus->menuAccionesOpciones[0]->setEnabled(!bCorriendo);
    m_menus->menuAccionesOpciones[1]->setEnabled(bCorriendo);
    m_menus->menuPropiedades->menuAction()->setEnabled(!bCorriendo);
    if (m_objRemoto) {
        // The service drives its port and its tick: nothing here starts or stops them.
        m_tmrSegundo.setEnabled(false);
        m_menus->menuAcciones->menuAction()->setEnabled(false);
        m_menus->btnfntBoton(QStringLiteral("inicio"))->setEnabled(false);
        m_menus->btnfntBoton(QStringLiteral("pausa"))->setEnabled(false);
    }
}

void frmMDIPrincipal::menuArchivoOpciones_Click(int iIndice) {
    switch (iIndice) {
    case 1:
        subCerrarSimulacion();
        break;
    case 3:
        subLlamaActiva(u"evPreparaImpresora");
        break;
    case 4:
        subLlamaActiva(u"evImprimeMuñeco");
        break;
    case 6:
        subSalir();
        break;
    default:
        break;
    }
}

void frmMDIPrincipal::menuAccionesOpciones_Click(int iIndice) {
    if (iIndice == 0) {
        subIniciaSimulacion();
    } else if (iIndice == 1) {
        subDetieneSimulacion();
    }
}

void frmMDIPrincipal::menuPropiedadesOpciones_Click(int iIndice) {
    if (iIndice == 0) {
        subLlamaActiva(u"evPropiedadesMuñeco");
    }
}

void frmMDIPrincipal::menuAyudaOpciones_Click(int iIndice) {
    if (iIndice == 0 && m_evMuestraAcercaDe) {
        m_evMuestraAcercaDe(this);
    }
}

void frmMDIPrincipal::toolBarraHerramientas_ButtonClick(const QString& strClave) {
    if (strClave == u"salir") {
        subSalir();
    } else if (strClave == u"cerrar") {
        subCerrarSimulacion();
    } else if (strClave == u"inicio") {
        subIniciaSimulacion();
    } else if (strClave == u"pausa") {
        subDetieneSimulacion();
    }
}

void frmMDIPrincipal::subIniciaSimulacion() {
    if (objfntHijaActiva() == nullptr || m_objRemoto) {
        return;
    }
    iEstadoSimulacion = 1;
    if (m_bTickEnCurso) {
        // A tick of the stopped run still waits: its readings must not land in the new run.
        m_objCiclo->subDescarta();
    }
    // The counter divides the statistics that start again here.
    modGlobal::lNumeroMuestras = 0;
    m_objValoresInstantaneos->evValoresDefecto();
    m_objSimulacion->evValoresDefecto();
    subActualizaEstado();
}

void frmMDIPrincipal::subDetieneSimulacion() {
    if (objfntHijaActiva() == nullptr || m_objRemoto) {
        return;
    }
    iEstadoSimulacion = 0;
    subActualizaEstado();
    if (m_bTickEnCurso) {
        // The waiting tick is counted in this run; the counter is cleared when it returns.
        m_objCiclo->subDetiene();
        return;
    }
    modGlobal::lNumeroMuestras = 0;
}

void frmMDIPrincipal::subLlamaActiva(QStringView strOperacion) {
    if (clsVentanaHija* objActiva = objfntHijaActiva()) {
        objActiva->bfntLlamaPorNombre(strOperacion);
    }
}

void frmMDIPrincipal::subCerrarSimulacion() {
    clsVentanaHija* objActiva = objfntHijaActiva();
    if (objActiva == nullptr) {
        return;
    }
    if (objActiva == m_objSimulacion.get()) {
        objActiva->bfntLlamaPorNombre(u"subCerrarVentana");
        return;
    }
    // An ordinary unload, which the child's close guard may refuse.
    objActiva->frmVentana()->close();
}

void frmMDIPrincipal::subSalir() {
    const auto respuesta = forms::MessageBox::show(
        QStringLiteral("¿Deseas salir de la aplicación?"), forms::MsgButtons::YesNo,
        forms::MsgIcon::Question, QStringLiteral("Atención"), this);
    if (respuesta != forms::MsgAnswer::Yes || m_bTerminado) {
        return;
    }
    subSale();
}

void frmMDIPrincipal::subSalirSinPreguntar() {
    if (m_bTerminado || m_bSalidaPendiente) {
        return;
    }
    subSale();
    subCierraCuadros();
}

void frmMDIPrincipal::subCierraCuadros() {
    // A box open in the middle of a tick ("Error de tiempo") holds the tick until it closes;
    // every open box is answered as if cancelled (the exit question too: the exit is under
    // way already).
    QWidget* frmAnterior = nullptr;
    while (QWidget* frmCuadro = QApplication::activeModalWidget()) {
        if (frmCuadro == frmAnterior) {
            break; // it refuses to close: the tick is abandoned when the program ends
        }
        if (auto* dlg = qobject_cast<QDialog*>(frmCuadro)) {
            dlg->reject();
        } else {
            frmCuadro->close();
        }
        frmAnterior = frmCuadro;
    }
}

void frmMDIPrincipal::subSale() {
    bImpideCierre = false;
    subCierraHijas();
    if (m_bTickEnCurso) {
        // Confirmed while a tick waits for the station: the wait ends now and the window
        // unloads when the tick has returned, so nothing it still uses is freed under it.
        m_bSalidaPendiente = true;
        m_objServidorTramas->servidor().tmrTiempoEspera_Timer();
        return;
    }
    subTermina();
}

void frmMDIPrincipal::subCierraHijas() {
    // Each round closes at least one child; a child that stays open ends the rounds instead
    // of keeping the program from ending.
    for (qsizetype iAbiertas = m_areaHijas->frmsfntAbiertas().size(); objfntHijaActiva();) {
        if (objfntHijaActiva() == m_objSimulacion.get()) {
            m_objSimulacion->bfntLlamaPorNombre(u"subCerrarVentana");
        }
        if (objfntHijaActiva() == m_objValoresInstantaneos.get()) {
            m_objValoresInstantaneos->bfntLlamaPorNombre(u"subCerrarVentana");
        }
        const qsizetype iQuedan = m_areaHijas->frmsfntAbiertas().size();
        if (iQuedan >= iAbiertas) {
            break;
        }
        iAbiertas = iQuedan;
    }
}

bool frmMDIPrincipal::bfntDescarga() {
    if (bImpideCierre) {
        return false;
    }
    m_tmrSegundo.setEnabled(false);
    m_objRemoto.reset();
    if (m_objServidorTramas) {
        m_objServidorTramas->bCerrraVentana = true;
        m_objServidorTramas->unload();
        m_objCiclo.reset();
        if (m_objArchivo) {
            m_objArchivo->close();
        }
        m_objServidorTramas.reset();
    }
    hide();
    return true;
}

void frmMDIPrincipal::subTermina() {
    m_bSalidaPendiente = false;
    if (!bfntDescarga()) {
        return;
    }
    m_bTerminado = true;
    emit programaTerminado();
}

void frmMDIPrincipal::closeEvent(QCloseEvent* evento) {
    if (bImpideCierre || m_bTickEnCurso) {
        evento->ignore();
        return;
    }
    if (!m_bTerminado) {
        subTermina();
    }
    evento->accept();
}

void frmMDIPrincipal::tmrSegundo_Timer() {
    if (m_bTickEnCurso || !m_objCiclo) {
        return;
    }
    const qint64 lInicioMs = m_planificador.nowMs();
    m_tInicioTick = m_evHora();
    m_bTickEnCurso = true;
    m_tmrSegundo.setEnabled(false);
    m_objCiclo->subTick();
    m_bTickEnCurso = false;
    if (m_bSalidaPendiente) {
        subTermina();
        return;
    }
    if (iEstadoSimulacion != 1) {
        // Stopped while the tick waited: its readings counted in the stopped run; the next
        // run counts from zero.
        modGlobal::lNumeroMuestras = 0;
        return;
    }
    subReanudaTick(lInicioMs);
}

void frmMDIPrincipal::subTickTerminado(const clsCicloAdquisicion::stTick& tick) {
    using Resultado = clsCicloAdquisicion::enResultadoTick;
    if (m_bSalidaPendiente && tick.enResultado != Resultado::Completo) {
        // The exit ended the wait, not the station: there is no failure to tell or keep.
        return;
    }
    if (tick.enResultado == Resultado::SinLecturas) {
        m_barEstado->estado().subSinLecturas(m_tInicioTick);
    } else if (tick.enResultado == Resultado::ErrorSumaLogica) {
        m_barEstado->estado().subErrorSumaLogica();
    }
    if (m_objArchivo) {
        subArchivaTick(tick);
    }
}

void frmMDIPrincipal::subReanudaTick(qint64 lInicioMs) {
    m_tmrSegundo.setInterval(modAdquisicion::ifntEsperaSiguienteTick(
        lInicioMs, m_planificador.nowMs(), iINTERVALO_TICK_MS));
    m_tmrSegundo.setEnabled(true);
}

void frmMDIPrincipal::subMuestraErrorTiempo(const QString& strMensaje) {
    if (m_bSalidaPendiente) {
        return;
    }
    forms::MessageBox::show(strMensaje, forms::MsgButtons::Ok, forms::MsgIcon::None,
                            modGlobal::strTituloAplicacion, this);
}

void frmMDIPrincipal::subAbreArchivo() {
    m_objArchivo = m_fabricas.archivo ? m_fabricas.archivo() : nullptr;
    if (!m_objArchivo) {
        return;
    }
    m_objArchivo->setNotice(
        [this](const QString& strAviso) { subAviso(QStringLiteral("archivo"), strAviso); });
    m_objArchivo->start();
}

void frmMDIPrincipal::subArchivaTick(const clsCicloAdquisicion::stTick& tick) {
    m_objArchivo->add(
        modAdquisicion::entfntEntradaArchivo(tick, QDateTime::currentMSecsSinceEpoch()));
}
