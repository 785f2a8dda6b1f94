// The main window: load, menus and toolbar, the state table, commands on the active child,
// closing a child and leaving the program.

#include "ShellRig.h"

#include "clsAreaHijas.h"
#include "clsMenuPrincipal.h"
#include "frmInicio.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QToolBar>
#include <QtTest>

class tst_principal : public QObject {
    Q_OBJECT

private slots:
    void cargaDejaTodoListo();
    void menusYBarraDelDisenio_data();
    void menusYBarraDelDisenio();
    void tablaDeEstados_data();
    void tablaDeEstados();
    void iniciarYDetenerReinicianElContador();
    void comandosSobreLaHijaActiva_data();
    void comandosSobreLaHijaActiva();
    void sinHijaActivaNadaOcurre();
    void cerrarSimulacionSegunLaHijaActiva();
    void laHijaCerradaVuelveEnSuMarco();
    void listaDeVentanas();
    void salirPreguntaYCierraTodo_data();
    void salirPreguntaYCierraTodo();
    void salirConUnaHijaQueNoSeCierra();
    void cierreDeLaVentanaIgnoradoHastaSalir();
    void presentacionDaPasoAlPrincipal();
};

void tst_principal::cargaDejaTodoListo() {
    modGlobal::lNumeroMuestras = 77;
    modGlobal::dFinHumedad = 3;
    ShellRig rig;
    auto& p = *rig.principal;
    QCOMPARE(p.windowTitle(), QStringLiteral("Brisora Meteorológica"));
    QVERIFY(p.objServidorTramas() != nullptr);
    // The frame server's window is never mapped: no top-level window, no taskbar entry.
    QVERIFY(p.objServidorTramas()->isHidden());
    for (const QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w->windowTitle() != QStringLiteral("Servidor de Tramas"),
                 "frame server window shown");
    QCOMPARE(p.objServidorTramas()->lblInformacion()->text(),
             QStringLiteral("Servidor Tramas: Puerto-> COM2 y Velocidad -> 9600 baudios"));
    QVERIFY(rig.fake->isOpen());
    QCOMPARE(rig.valores->iNumeroVentana, qint16(0));
    QCOMPARE(rig.simulacion->iNumeroVentana, qint16(1));
    QCOMPARE(modGlobal::iNumeroVentanaSiguiente, qint16(2));
    QCOMPARE(rig.log, QStringList({"VI.evPintaMuñeco", "SIM.evPintaMuñeco"}));
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
    QCOMPARE(modGlobal::dInicioHumedad, 0.0);
    QCOMPARE(modGlobal::dFinHumedad, 100.0);
    QCOMPARE(modGlobal::dInicioPresion, 15.0);
    QCOMPARE(modGlobal::dFinPresion, 115.0);
    QVERIFY(p.bImpideCierre);
    QCOMPARE(p.iEstadoSimulacion, qint16(0));
    QVERIFY(!p.tmrSegundo().Enabled());
    QVERIFY(p.menus().menuAcciones->menuAction()->isEnabled());
    // Both children are framed in the workspace; the last one created is active.
    QCOMPARE(p.areaHijas().frmsfntAbiertas(), QList<QWidget*>({rig.valores, rig.simulacion}));
    QCOMPARE(p.objfntHijaActiva(), static_cast<clsVentanaHija*>(rig.simulacion));
    QCOMPARE(clsVentanaPrincipal::objInstancia(), static_cast<clsVentanaPrincipal*>(&p));
}

void tst_principal::menusYBarraDelDisenio_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("opciones");
    QTest::addColumn<QString>("titulo");
    QTest::newRow("Archivo") << "menuArchivo" << QStringList{"&Nueva Simulación",
                                                             "&Cerrar Simulación",
                                                             "",
                                                             "&Preparar Impresora",
                                                             "&Imprimir",
                                                             "",
                                                             "&Salir"}
                             << "&Archivo";
    QTest::newRow("Acciones") << "menuAcciones"
                              << QStringList{"&Inicia Simulación", "&Detiene Simulación"}
                              << "A&cciones";
    QTest::newRow("Propiedades") << "menuPropiedades" << QStringList{"&Escala"} << "&Propiedades";
    QTest::newRow("Ventana") << "menuVentana" << QStringList{"&Ventanas Activas"} << "&Ventana";
    QTest::newRow("Ayuda") << "menuAyuda" << QStringList{"&Acerca de ..."} << "A&yuda";
}

void tst_principal::menusYBarraDelDisenio() {
    QFETCH(QString, menu);
    QFETCH(QStringList, opciones);
    QFETCH(QString, titulo);
    ShellRig rig;
    auto* m = rig.principal->findChild<QMenu*>(menu);
    QVERIFY(m != nullptr);
    QCOMPARE(m->title(), titulo);
    QStringList textos;
    for (QAction* a : m->actions()) {
        textos << a->text();
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
    }
    QCOMPARE(textos, opciones);

    const auto& menus = rig.principal->menus();
    QVERIFY(!menus.menuArchivoOpciones[0]->isEnabled());
    QVERIFY(menus.menuArchivoOpciones[2]->isSeparator());
    QStringList barra;
    for (QAction* a : menus.toolBarraHerramientas->actions()) {
        barra << (a->isSeparator() ? QStringLiteral("|") : a->objectName() + u'=' + a->toolTip());
        QVERIFY(a->isSeparator() || !a->icon().isNull());
    }
    QCOMPARE(barra, QStringList({"salir=Salir Aplicación", "|", "nueva=Nueva Simulación",
                                 "cerrar=Cierra Simulación", "|", "inicio=Inicia la Simulación",
                                 "pausa=Detiene la Simulación"}));
}

void tst_principal::tablaDeEstados_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QList<bool>>("esperado");
    // Timer, Cerrar Simulación, nueva, cerrar, inicio, pausa, Acciones, Inicia, Detiene,
    // Propiedades, and what never changes: Nueva Simulación, Imprimir, Salir, salir.
    QTest::newRow("detenido") << 0 << QList<bool>{false, true,  true, true,  true, false, true,
                                                  true,  false, true, false, true, true,  true};
    QTest::newRow("en marcha") << 1 << QList<bool>{true,  false, true,  false, false, true, true,
                                                   false, true,  false, false, true,  true, true};
}

void tst_principal::tablaDeEstados() {
    QFETCH(int, estado);
    QFETCH(QList<bool>, esperado);
    ShellRig rig;
    auto& p = *rig.principal;
    const auto& m = p.menus();
    const auto leeEstado = [&] {
        return QList<bool>{p.tmrSegundo().Enabled(),
                           m.menuArchivoOpciones[1]->isEnabled(),
                           m.btnfntBoton("nueva")->isEnabled(),
                           m.btnfntBoton("cerrar")->isEnabled(),
                           m.btnfntBoton("inicio")->isEnabled(),
                           m.btnfntBoton("pausa")->isEnabled(),
                           m.menuAcciones->menuAction()->isEnabled(),
                           m.menuAccionesOpciones[0]->isEnabled(),
                           m.menuAccionesOpciones[1]->isEnabled(),
                           m.menuPropiedades->menuAction()->isEnabled(),
                           m.menuArchivoOpciones[0]->isEnabled(),
                           m.menuArchivoOpciones[4]->isEnabled(),
                           m.menuArchivoOpciones[6]->isEnabled(),
                           m.btnfntBoton("salir")->isEnabled()};
    };
    // Reach the state from the other one, so every item really changes.
    p.iEstadoSimulacion = static_cast<qint16>(1 - estado);
    p.subActualizaEstado();
    p.iEstadoSimulacion = static_cast<qint16>(estado);
    p.subActualizaEstado();
    QCOMPARE(leeEstado(), esperado);
    // Any other value leaves everything as it is.
    p.iEstadoSimulacion = 2;
    p.subActualizaEstado();
    QCOMPARE(leeEstado(), esperado);
}

void tst_principal::iniciarYDetenerReinicianElContador() {
    ShellRig rig;
    rig.log.clear();
    modGlobal::dFinPresion = 99;
    rig.inicia();
    QCOMPARE(rig.principal->iEstadoSimulacion, qint16(1));
    QCOMPARE(rig.log, QStringList({"VI.evValoresDefecto", "SIM.evValoresDefecto"}));
    QVERIFY(!rig.principal->menus().menuPropiedades->menuAction()->isEnabled());
    modGlobal::lNumeroMuestras = 12;
    rig.principal->toolBarraHerramientas_ButtonClick(QStringLiteral("pausa"));
    QCOMPARE(rig.principal->iEstadoSimulacion, qint16(0));
    QCOMPARE(modGlobal::lNumeroMuestras, 0);
    QVERIFY(rig.principal->menus().menuPropiedades->menuAction()->isEnabled());
    QCOMPARE(modGlobal::dFinPresion, 99.0); // the scale limits are kept
    rig.principal->toolBarraHerramientas_ButtonClick(QStringLiteral("inicio"));
    QCOMPARE(rig.principal->iEstadoSimulacion, qint16(1));
}

void tst_principal::comandosSobreLaHijaActiva_data() {
    QTest::addColumn<bool>("simulacionActiva");
    QTest::addColumn<int>("comando"); // 3, 4: Archivo; 10: Propiedades > Escala
    QTest::addColumn<QString>("esperado");
    for (const bool bSim : {false, true}) {
        const QString strHija = bSim ? QStringLiteral("SIM.") : QStringLiteral("VI.");
        const char* strFila = bSim ? "simulación" : "valores";
        QTest::addRow("%s preparar", strFila) << bSim << 3 << strHija + "evPreparaImpresora";
        QTest::addRow("%s imprimir", strFila) << bSim << 4 << strHija + "evImprimeMuñeco";
        QTest::addRow("%s escala", strFila) << bSim << 10 << strHija + "evPropiedadesMuñeco";
    }
}

void tst_principal::comandosSobreLaHijaActiva() {
    QFETCH(bool, simulacionActiva);
    QFETCH(int, comando);
    QFETCH(QString, esperado);
    ShellRig rig;
    rig.activa(simulacionActiva ? rig.simulacion : rig.valores);
    rig.log.clear();
    QAction* opcion = comando == 10 ? rig.principal->menus().menuPropiedadesOpciones[0]
                                    : rig.principal->menus().menuArchivoOpciones[comando];
    opcion->trigger();
    QCOMPARE(rig.log, QStringList{esperado});
    // "nueva" carries no command.
    rig.principal->menus().btnfntBoton("nueva")->trigger();
    QCOMPARE(rig.log, QStringList{esperado});
}

void tst_principal::sinHijaActivaNadaOcurre() {
    ShellRig rig;
    rig.simulacion->subCerrarVentana();
    rig.valores->subCerrarVentana();
    QVERIFY(!rig.principal->menus().menuAcciones->menuAction()->isEnabled());
    QCOMPARE(rig.principal->objfntHijaActiva(), nullptr);
    rig.log.clear();
    rig.inicia();
    QCOMPARE(rig.principal->iEstadoSimulacion, qint16(0));
    QVERIFY(!rig.principal->tmrSegundo().Enabled());
    for (const int i : {1, 3, 4}) {
        rig.principal->menuArchivoOpciones_Click(i);
    }
    rig.principal->menuPropiedadesOpciones_Click(0);
    modGlobal::lNumeroMuestras = 5;
    rig.detiene();
    QCOMPARE(modGlobal::lNumeroMuestras, 5);
    QCOMPARE(rig.log, QStringList());
}

void tst_principal::cerrarSimulacionSegunLaHijaActiva() {
    ShellRig rig;
    // The instantaneous-values window refuses the ordinary unload and stays.
    rig.activa(rig.valores);
    rig.log.clear();
    rig.principal->menuArchivoOpciones_Click(1);
    QVERIFY(rig.log.isEmpty());
    QCOMPARE(rig.principal->areaHijas().frmsfntAbiertas().size(), 2);
    QCOMPARE(rig.principal->objfntHijaActiva(), static_cast<clsVentanaHija*>(rig.valores));
    // The temporal-evolution window closes through its own operation; the other one becomes
    // the active child.
    rig.activa(rig.simulacion);
    rig.principal->toolBarraHerramientas_ButtonClick(QStringLiteral("cerrar"));
    QCOMPARE(rig.log, QStringList{"SIM.subCerrarVentana"});
    QCOMPARE(rig.principal->areaHijas().frmsfntAbiertas(), QList<QWidget*>{rig.valores});
    QCOMPARE(rig.principal->objfntHijaActiva(), static_cast<clsVentanaHija*>(rig.valores));
    QVERIFY(!rig.principal->menus().menuAcciones->menuAction()->isEnabled());
}

void tst_principal::laHijaCerradaVuelveEnSuMarco() {
    ShellRig rig;
    rig.simulacion->subCerrarVentana();
    auto* marco = qobject_cast<QMdiSubWindow*>(rig.simulacion->parentWidget());
    QVERIFY(marco != nullptr);
    QVERIFY(marco->isHidden());
    // A call after the close brings it back, framed and active, not as a window of its own.
    rig.simulacion->evPreparaImpresora();
    QVERIFY(!marco->isHidden());
    QCOMPARE(rig.simulacion->parentWidget(), marco);
    QCOMPARE(rig.principal->objfntHijaActiva(), static_cast<clsVentanaHija*>(rig.simulacion));
    // The frame's close box goes to the child, whose guard refuses it.
    marco->close();
    QVERIFY(!marco->isHidden());
}

void tst_principal::listaDeVentanas() {
    ShellRig rig;
    rig.activa(rig.valores);
    QMenu* menu = rig.principal->menus().menuVentana;
    emit menu->aboutToShow();
    QStringList textos;
    for (QAction* a : menu->actions()) {
        textos << (a->isSeparator() ? QStringLiteral("|")
                                    : a->text() + (a->isChecked() ? QStringLiteral("*") : ""));
    }
    QCOMPARE(textos, QStringList({"&Ventanas Activas", "|", "&1 Valores Instantáneos*",
                                  "&2 Evolución Temporal"}));
    menu->actions().last()->trigger();
    QCOMPARE(rig.principal->objfntHijaActiva(), static_cast<clsVentanaHija*>(rig.simulacion));
    // Shown again, the list is rebuilt, not appended to.
    rig.simulacion->subCerrarVentana();
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 3);
    QCOMPARE(menu->actions().last()->text(), QStringLiteral("&1 Valores Instantáneos"));
}

void tst_principal::salirPreguntaYCierraTodo_data() {
    QTest::addColumn<bool>("simulacionActiva");
    QTest::addColumn<bool>("simulacionCerrada");
    QTest::newRow("simulación activa") << true << false;
    QTest::newRow("valores activa") << false << false;
    QTest::newRow("simulación ya cerrada") << false << true;
}

void tst_principal::salirPreguntaYCierraTodo() {
    QFETCH(bool, simulacionActiva);
    QFETCH(bool, simulacionCerrada);
    ShellRig rig;
    if (simulacionCerrada) {
        rig.simulacion->subCerrarVentana();
    }
    rig.activa(simulacionActiva ? rig.simulacion : rig.valores);
    QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
    forms::MessageBoxRecorder respuestas(forms::MsgAnswer::No);

    // Answered No: nothing changes.
    rig.log.clear();
    rig.principal->menuArchivoOpciones_Click(6);
    QCOMPARE(respuestas.requests().size(), 1);
    const auto& pregunta = respuestas.requests().first();
    QCOMPARE(pregunta.text, QStringLiteral("¿Deseas salir de la aplicación?"));
    QCOMPARE(pregunta.caption, QStringLiteral("Atención"));
    QCOMPARE(pregunta.buttons, forms::MsgButtons::YesNo);
    QCOMPARE(pregunta.icon, forms::MsgIcon::Question);
    QVERIFY(rig.log.isEmpty());
    QVERIFY(rig.principal->bImpideCierre);
    QCOMPARE(terminado.size(), 0);

    // Answered Yes: the children close by their own operation, the window unloads, the
    // port is released and the program ends.
    respuestas.queueAnswer(forms::MsgAnswer::Yes);
    rig.principal->toolBarraHerramientas_ButtonClick(QStringLiteral("salir"));
    // Round by round: the temporal window when it is active, then the instantaneous-values
    // window when it is (or has become) active.
    const QStringList esperado =
        simulacionActiva    ? QStringList{"SIM.subCerrarVentana", "VI.subCerrarVentana"}
        : simulacionCerrada ? QStringList{"VI.subCerrarVentana"}
                            : QStringList{"VI.subCerrarVentana", "SIM.subCerrarVentana"};
    QCOMPARE(rig.log, esperado);
    QVERIFY(rig.principal->areaHijas().frmsfntAbiertas().isEmpty());
    QCOMPARE(terminado.size(), 1);
    QVERIFY(rig.principal->bfntTerminado());
    QVERIFY(rig.principal->objServidorTramas() == nullptr);
    QVERIFY(!rig.principal->isVisible());
}

void tst_principal::salirConUnaHijaQueNoSeCierra() {
    // Regression: a child that stays open used to keep the exit asking it to close forever.
    ShellRig rig;
    rig.valores->bSeQueda = true;
    rig.activa(rig.valores);
    forms::MessageBoxRecorder respuestas(forms::MsgAnswer::Yes);
    QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
    rig.log.clear();
    rig.principal->subSalir();
    QCOMPARE(rig.log, QStringList({"VI.subCerrarVentana"}));
    QCOMPARE(terminado.size(), 1);
    QVERIFY(rig.principal->objServidorTramas() == nullptr);
}

void tst_principal::cierreDeLaVentanaIgnoradoHastaSalir() {
    ShellRig rig;
    QSignalSpy terminado(rig.principal.get(), &frmMDIPrincipal::programaTerminado);
    QVERIFY(!rig.principal->close());
    QVERIFY(rig.principal->isVisible());
    QVERIFY(rig.principal->objServidorTramas() != nullptr);
    QVERIFY(!rig.principal->objServidorTramas()->unload());
    QCOMPARE(terminado.size(), 0);
}

void tst_principal::presentacionDaPasoAlPrincipal() {
    forms::VirtualScheduler reloj;
    int iLlamadas = 0;
    frmInicio frm([&] { ++iLlamadas; }, reloj);
    QVERIFY(frm.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(frm.findChild<QLabel*>("lblDescription") != nullptr);
    QCOMPARE(frm.findChild<QLabel*>("lblDescription")->text(),
             QStringLiteral("Control Brisora Meteorológica"));
    QCOMPARE(frm.findChild<QLabel*>("lblEtiqueta")->text(),
             QStringLiteral("Versión 2.0 para Win95/98/NT       2001"));
    QVERIFY(!frm.findChild<QLabel*>("picRetratoUno")->pixmap().isNull());
    frm.subMuestra();
    reloj.advanceTo(1999);
    QCOMPARE(iLlamadas, 0);
    QVERIFY(frm.isVisible());
    reloj.advanceTo(6000);
    QCOMPARE(iLlamadas, 1);
    QVERIFY(!frm.isVisible());
    QVERIFY(!frm.tmrTiempoInicio().Enabled());
}

QTEST_MAIN(tst_principal)
#include "tst_principal.moc"
