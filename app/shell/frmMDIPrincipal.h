#pragma once

#include "clsVentanaHija.h"
#include "clsVentanaPrincipal.h"

#include "link/clsCicloAdquisicion.h"

#include "forms/Scheduler.h"
#include "forms/Timer.h"

#include <QMainWindow>
#include <QTime>

#include <functional>
#include <memory>

namespace archive {
class ArchiveWriter;
}
class clsAreaHijas;
class clsFuenteRemota;
class clsSeguimientoRemoto;
class ctlBarraEstado;
class clsMenuPrincipal;
class frmServidorTramas;
class QMdiArea;

// The main window: an MDI frame that hosts the two child windows, carries the menus and the
// toolbar, owns the one-second acquisition timer and the frame server, and is the only way out
// of the program.
//
// Link trouble is told in the status bar (port and device, open / no answer / no readings /
// disconnected / cannot be opened, readings, time-outs, unlocks and refused check sums); the
// only message box of the link is the tick's "Error de tiempo".
//
// Ticks never overlap: the timer is suspended while a tick runs (also while its time-out
// message is open) and resumes on the one-second beat afterwards. Leaving the program while a
// tick waits for the station is deferred: the wait is told to end, and the window unloads and
// the port is released once the tick has returned. A stop while a tick waits lets that tick's
// readings count in the run that asked for them and clears the counter once it has returned; a
// new start before then discards the tick, so the statistics of a run only ever hold its own
// readings.
//
// Following a station service (a remote source among the factories) the window owns no port,
// no tick and no archive (the service keeps one): the service's readings go to the children
// from the start, counted from the load; the commands that drive the link (start and stop) are
// disabled; the status bar tells the service's address and connection as it tells a port.
class frmMDIPrincipal : public QMainWindow, public clsVentanaPrincipal {
    Q_OBJECT

public:
    using FabricaHija = std::function<std::unique_ptr<clsVentanaHija>()>;
    using FabricaServidor = std::function<std::unique_ptr<frmServidorTramas>()>;
    using FabricaArchivo = std::function<std::unique_ptr<archive::ArchiveWriter>()>;
    using FabricaRemota = std::function<std::unique_ptr<clsFuenteRemota>()>;

    // How the main window makes the windows it owns.
    struct stFabricas {
        FabricaServidor frmServidorTramas;
        FabricaHija frmHijoValoresInstantaneos;
        FabricaHija frmHijoSimulacion;
        // The readings archive; none (or a null writer) keeps no archive.
        FabricaArchivo archivo;
        // A station service to follow instead of the port; none (or a null source) owns the
        // port. With one, neither the frame server nor the archive is made.
        FabricaRemota remota;
    };

    // Opens the about box (modal). Replaceable for tests.
    using MuestraAcercaDe = std::function<void(QWidget* frmPadre)>;
    // The time of day the status bar tells. Replaceable for tests.
    using Hora = std::function<QTime()>;

    static constexpr int iINTERVALO_TICK_MS = 1000;

    // Builds the window and runs its load: frame server, shared values, the two children,
    // stopped state. The window is not shown; the caller shows it maximized.
    explicit frmMDIPrincipal(stFabricas fabricas,
                             forms::Scheduler& scheduler = forms::Scheduler::instance(),
                             QWidget* parent = nullptr);
    ~frmMDIPrincipal() override;

    // Shows the window as designed: centred in its normal state, then maximized.
    void subMuestra();

    void subHabilitaAcciones(bool bHabilitado) override;
    void subAviso(const QString& strClave, const QString& strTexto) override;
    void setMuestraAcercaDe(MuestraAcercaDe evMuestraAcercaDe) {
        m_evMuestraAcercaDe = std::move(evMuestraAcercaDe);
    }
    void setHora(Hora evHora) { m_evHora = std::move(evHora); }

    // While true the window refuses to unload; cleared only by subSalir.
    bool bImpideCierre = false;
    // 0 stopped, 1 running.
    qint16 iEstadoSimulacion = 0;

    frmServidorTramas* objServidorTramas() const { return m_objServidorTramas.get(); }
    clsVentanaHija* objValoresInstantaneos() const { return m_objValoresInstantaneos.get(); }
    clsVentanaHija* objSimulacion() const { return m_objSimulacion.get(); }
    // The active child window, or null.
    clsVentanaHija* objfntHijaActiva() const;
    bool bfntTickEnCurso() const { return m_bTickEnCurso; }
    bool bfntTerminado() const { return m_bTerminado; }

    // Commands, as the menus and the toolbar run them.
    void menuArchivoOpciones_Click(int iIndice);
    void menuAccionesOpciones_Click(int iIndice);
    void menuPropiedadesOpciones_Click(int iIndice);
    void menuAyudaOpciones_Click(int iIndice);
    void toolBarraHerramientas_ButtonClick(const QString& strClave);
    void tmrSegundo_Timer();

    void subSalir();
    // Leaves as subSalir does, without asking (the session ends, the system shuts down): open
    // boxes are closed, the tick under way is let return, the archive gets every queued tick.
    void subSalirSinPreguntar();
    void subCerrarSimulacion();
    void subActualizaEstado();

    const clsMenuPrincipal& menus() const { return *m_menus; }
    const forms::Timer& tmrSegundo() const { return m_tmrSegundo; }
    QMdiArea* mdiArea() const { return m_mdiArea; }
    clsAreaHijas& areaHijas() const { return *m_areaHijas; }
    ctlBarraEstado* barraEstado() const { return m_barEstado; }
    archive::ArchiveWriter* objArchivo() const { return m_objArchivo.get(); }
    // The station service followed, or null when the window owns the port.
    clsSeguimientoRemoto* objSeguimientoRemoto() const { return m_objRemoto.get(); }

signals:
    // The program has ended: the main window unloaded and released the frame server.
    void programaTerminado();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void Form_Load();
    void subCreaHija(std::unique_ptr<clsVentanaHija>& objHija, const FabricaHija& fabrica);
    void subIniciaSimulacion();
    void subDetieneSimulacion();
    void subLlamaActiva(QStringView strOperacion);
    void subCierraHijas();
    bool bfntDescarga();
    void subSale();
    void subTermina();
    void subCierraCuadros();
    void subTickTerminado(const clsCicloAdquisicion::stTick& tick);
    void subReanudaTick(qint64 lInicioMs);
    void subMuestraErrorTiempo(const QString& strMensaje);
    void subConectaComandos();
    void subConectaEnlace();
    void subAbreEnlaceLocal();
    void subSigueServicio();
    void subPintaValores(double dHumedad, double dPresion);
    void subSiguePuerto();
    void subAbreArchivo();
    void subArchivaTick(const clsCicloAdquisicion::stTick& tick);

    stFabricas m_fabricas;
    forms::Scheduler& m_planificador;
    forms::Timer m_tmrSegundo;
    QMdiArea* m_mdiArea;
    clsAreaHijas* m_areaHijas;
    clsMenuPrincipal* m_menus;
    ctlBarraEstado* m_barEstado;
    MuestraAcercaDe m_evMuestraAcercaDe;
    Hora m_evHora;
    std::unique_ptr<frmServidorTramas> m_objServidorTramas;
    std::unique_ptr<clsCicloAdquisicion> m_objCiclo;
    std::unique_ptr<archive::ArchiveWriter> m_objArchivo;
    std::unique_ptr<clsSeguimientoRemoto> m_objRemoto;
    std::unique_ptr<clsVentanaHija> m_objValoresInstantaneos;
    std::unique_ptr<clsVentanaHija> m_objSimulacion;
    QTime m_tInicioTick; // as the status bar tells it
    bool m_bTickEnCurso = false;
    bool m_bSalidaPendiente = false;
    bool m_bTerminado = false;
};
