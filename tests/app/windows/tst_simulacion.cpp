// The temporal-evolution window over the real strip chart, and the scale dialog it opens:
// set-up order and values, readings and the active time, closing and coming back.
#include "VentanaPrincipalFalsa.h"
#include "clsAjustesGrafico.h"
#include "clsHistorialGrafico.h"
#include "frmEscala.h"
#include "frmHijoSimulacion.h"

#include "archive/ArchiveDatabase.h"

#include "ModulosRegistrados.h"
#include "ScopedEnv.h"

#include "forms/MessageBox.h"
#include "forms/Twips.h"

#include "com/ControlSite.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

using com::Variant;

namespace {

// One call the window made on the chart: identifier, kind and index (or -1).
struct Llamada {
    com::DispId id;
    std::uint16_t tipo;
    int indice;
    bool operator==(const Llamada&) const = default;
};

char* toString(const Llamada& l) {
    return qstrdup(QByteArray::number(l.id) + '/' + QByteArray::number(l.tipo) + '/' +
                   QByteArray::number(l.indice));
}

double leerEje(frmHijoSimulacion& ventana, int id, int indice) {
    Variant v;
    if (com::failed(ventana.scrMuñecoSimulacion.objSitio()->getIndexedProperty(id, indice, &v)))
        return -9999.0;
    double d = 0.0;
    v.toR8(d);
    return d;
}

// Answers the scale dialog for as long as it lives.
class Contestacion {
public:
    explicit Contestacion(frmEscala::Contestador c) {
        m_anterior = frmEscala::setContestador(std::move(c));
    }
    ~Contestacion() { frmEscala::setContestador(std::move(m_anterior)); }

private:
    frmEscala::Contestador m_anterior;
};

} // namespace

class TstSimulacion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void configuracionEnOrden();
    void tiempoActivoEnEtiqueta_data();
    void tiempoActivoEnEtiqueta();
    void escalaDoceHoras();
    void escalaAlCargar();
    void escalaCancelada();
    void escalaAceptaLoEscrito_data();
    void escalaAceptaLoEscrito();
    void escalaRechazaTextoNoNumerico();
    void escalaNegativaVuelveSinCambios_data();
    void escalaNegativaVuelveSinCambios();
    void escalaRechazaLimitesIlegibles_data();
    void escalaRechazaLimitesIlegibles();
    void escalaRechazaInicioNoMenorQueFin_data();
    void escalaRechazaInicioNoMenorQueFin();
    void ajustesSobrevivenAlReinicio();
    void ajustesDanadosSeIgnoran();
    void graficoSigueALaVentana();
    void historialAlCargarYAlVolver();
    void historialDelArchivo();
    void cerradaVuelveConLoQueSeEligio();
    void vuelveASuSitioEnElAreaDeTrabajo();
    void impresionLlegaAlGrafico_data();
    void impresionLlegaAlGrafico();

private:
    std::unique_ptr<ModulosRegistrados> m_modulos;
    std::unique_ptr<frmHijoSimulacion> m_ventana;
    QList<Llamada> m_llamadas;
};

void TstSimulacion::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_modulos = std::make_unique<ModulosRegistrados>();
    QVERIFY(m_modulos->bRegistrados());
    // The settings of this program's tests, in a folder of their own inside the test
    // environment's configuration folder.
    const QString strConfiguracion = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!strConfiguracion.isEmpty());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QDir(strConfiguracion).filePath(QStringLiteral("tst_simulacion")));
    // No history unless a test gives one.
    frmHijoSimulacion::setFuenteHistorial([](qint64, qint64) { return clsHistorialGrafico{}; });
}

void TstSimulacion::init() {
    QFile::remove(clsAjustesGrafico::strfntRuta());
    subValoresIniciales();
    m_ventana = std::make_unique<frmHijoSimulacion>();
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    m_ventana->show();
    m_llamadas.clear();
    m_ventana->scrMuñecoSimulacion.setObservador(
        [this](com::DispId id, std::uint16_t tipo, const com::VariantList& args) {
            const bool indexada = tipo != com::DISPATCH_METHOD && !args.isEmpty();
            m_llamadas.append({id, tipo, indexada ? args.first().i4Value() : -1});
        });
}

void TstSimulacion::cleanup() {
    m_ventana.reset();
    QFile::remove(clsAjustesGrafico::strfntRuta());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TstSimulacion::configuracionEnOrden() {
    QSize tamanoAlAplicar;
    m_ventana->scrMuñecoSimulacion.setObservador(
        [&](com::DispId id, std::uint16_t tipo, const com::VariantList& args) {
            const bool indexada = tipo != com::DISPATCH_METHOD && !args.isEmpty();
            m_llamadas.append({id, tipo, indexada ? args.first().i4Value() : -1});
            if (id == 41)
                tamanoAlAplicar = m_ventana->scrMuñecoSimulacion.objSitio()->size();
        });
    m_ventana->evPintaMuñeco();
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);

    const std::uint16_t put = com::DISPATCH_PROPERTYPUT, get = com::DISPATCH_PROPERTYGET,
                        metodo = com::DISPATCH_METHOD;
    const QList<Llamada> esperadas{
        {61, put, 0}, {58, put, 0}, {59, put, 0},  {69, put, 0},                // time axis
        {61, put, 1}, {58, put, 1}, {59, put, 1},  {69, put, 1},  {65, put, 1}, // humidity
        {61, put, 3}, {58, put, 3}, {59, put, 3},  {69, put, 3},  {59, get, 0},
        {65, put, 3}, {84, put, 0}, {78, put, 0},  {84, put, 1},  {78, put, 1},
        {84, put, 3}, {78, put, 3}, {115, put, 0}, {115, put, 1}, {41, metodo, -1}};
    QCOMPARE(m_llamadas, esperadas);

    // The chart was sized before it applied the settings: the client area. (The window less
    // 100 x 300 twips, measured with its frame, left the chart taller than the client area and
    // cut off the time axis's title.)
    QCOMPARE(tamanoAlAplicar, m_ventana->size());
    QCOMPARE(leerEje(*m_ventana, 59, 0), 480.0);
    QCOMPARE(leerEje(*m_ventana, 58, 3), 15.0);
    QCOMPARE(leerEje(*m_ventana, 59, 1), 100.0);
    QCOMPARE(leerEje(*m_ventana, 65, 3), 480.0);
    Variant titulo;
    QCOMPARE(m_ventana->scrMuñecoSimulacion.objSitio()->getIndexedProperty(78, 3, &titulo),
             com::S_OK);
    QCOMPARE(titulo.stringValue(), QStringLiteral("Presión (KPa)"));
}

void TstSimulacion::tiempoActivoEnEtiqueta_data() {
    QTest::addColumn<int>("muestras");
    QTest::addColumn<QString>("texto");
    QTest::newRow("first reading") << 1 << "Tiempo Activo: 00:00:01";
    QTest::newRow("an hour") << 3600 << "Tiempo Activo: 01:00:00";
    QTest::newRow("a hundred hours") << 360000 << "Tiempo Activo: 100:00:00";
}

void TstSimulacion::tiempoActivoEnEtiqueta() {
    QFETCH(int, muestras);
    QFETCH(QString, texto);
    QCOMPARE(m_ventana->lblHorasSimulacion->text(), QStringLiteral("Tiempo Activo: 00:00:00"));
    m_ventana->evPintaMuñeco();
    m_llamadas.clear();
    modGlobal::lNumeroMuestras = muestras;
    double humedad = 55.0, presion = 101.3;
    m_ventana->evPintaValores(humedad, presion);
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    QCOMPARE(m_ventana->lblHorasSimulacion->text(), texto);
    QCOMPARE(m_llamadas,
             (QList<Llamada>{{52, com::DISPATCH_METHOD, -1}, {52, com::DISPATCH_METHOD, -1}}));
    QCOMPARE(humedad, 55.0);
    QCOMPARE(presion, 101.3);
}

void TstSimulacion::escalaDoceHoras() {
    m_ventana->evPintaMuñeco();
    Contestacion contestacion([](frmEscala& dlg) {
        dlg.comSegundos->setCurrentIndex(11);
        dlg.comMuestras->setCurrentIndex(2);
        dlg.txtFinPresion->setText(QStringLiteral("110.5"));
        dlg.btnAceptar->click();
    });
    m_ventana->evPropiedadesMuñeco();
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    QCOMPARE(m_ventana->lHorasMostradas, 12);
    QCOMPARE(m_ventana->iMuestrasMostradas, qint16(3));
    QCOMPARE(m_ventana->dMuestrasMostradas, 3.0);
    QCOMPARE(modGlobal::dFinPresion, 110.5);
    QCOMPARE(leerEje(*m_ventana, 59, 0), 720.0);
    QCOMPARE(leerEje(*m_ventana, 65, 3), 720.0); // the pressure axis at the right-hand end
    QCOMPARE(leerEje(*m_ventana, 59, 3), 110.5);
    QCOMPARE(leerEje(*m_ventana, 115, 1), 3.0);
}

void TstSimulacion::escalaAlCargar() {
    QStringList vistos;
    Contestacion contestacion([&](frmEscala& dlg) {
        vistos << dlg.comSegundos->currentText() << dlg.comMuestras->currentText()
               << dlg.txtInicio->text() << dlg.txtFin->text() << dlg.txtInicioPresion->text()
               << dlg.txtFinPresion->text() << QString::number(dlg.comSegundos->count())
               << dlg.comSegundos->itemText(30) << dlg.windowTitle();
        subCaptura(dlg, QStringLiteral("escala"));
        dlg.btnAceptar->click(); // nothing changed: the same values come back
    });
    m_ventana->evPropiedadesMuñeco();
    QCOMPARE(vistos, (QStringList{"8", "1", "0", "100", "15", "115", "31", "31",
                                  QStringLiteral("Escala de la Evolución Temporal")}));
    QCOMPARE(m_ventana->lHorasMostradas, 8);
    QCOMPARE(m_ventana->iMuestrasMostradas, qint16(1));
    QCOMPARE(modGlobal::dInicioHumedad, 0.0);
    QCOMPARE(modGlobal::dFinHumedad, 100.0);
    QCOMPARE(modGlobal::dInicioPresion, 15.0);
    QCOMPARE(modGlobal::dFinPresion, 115.0);
}

void TstSimulacion::escalaCancelada() {
    m_ventana->evPintaMuñeco();
    m_llamadas.clear();
    bool cerrado = false;
    Contestacion contestacion([&](frmEscala& dlg) {
        dlg.comSegundos->setCurrentIndex(30);
        dlg.txtInicio->setText(QStringLiteral("50"));
        dlg.btnCancelar->click();
        cerrado = dlg.result() == QDialog::Rejected && !dlg.bSalida;
    });
    m_ventana->evPropiedadesMuñeco();
    QVERIFY(cerrado);
    QCOMPARE(m_ventana->lHorasMostradas, 8);
    QCOMPARE(modGlobal::dInicioHumedad, 0.0);
    QVERIFY(m_llamadas.isEmpty()); // no new set-up
}

void TstSimulacion::escalaAceptaLoEscrito_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("textos");
    QTest::addColumn<QList<double>>("limites");
    QTest::newRow("decimals and blanks") << "en_US" << QStringList{" 12.5", "99.75 ", "-1", "1e2"}
                                         << QList<double>{12.5, 99.75, -1, 100};
    QTest::newRow("comma locale") << "es_ES" << QStringList{"12,5", "100", "15,25", "115"}
                                  << QList<double>{12.5, 100, 15.25, 115};
}

void TstSimulacion::escalaAceptaLoEscrito() {
    QFETCH(QString, locale);
    QFETCH(QStringList, textos);
    QFETCH(QList<double>, limites);
    QLocale::setDefault(QLocale(locale));
    qint16 horas = 0;
    Contestacion contestacion([&](frmEscala& dlg) {
        dlg.comSegundos->setCurrentIndex(dlg.comSegundos->count() - 1);
        const QList<QLineEdit*> cajas{dlg.txtInicio, dlg.txtFin, dlg.txtInicioPresion,
                                      dlg.txtFinPresion};
        for (int i = 0; i < cajas.size(); ++i)
            cajas[i]->setText(textos[i]);
        dlg.btnAceptar->click();
        horas = dlg.iHoras;
    });
    m_ventana->evPropiedadesMuñeco();
    QCOMPARE(horas, qint16(31));
    QCOMPARE((QList<double>{modGlobal::dInicioHumedad, modGlobal::dFinHumedad,
                            modGlobal::dInicioPresion, modGlobal::dFinPresion}),
             limites);
}

void TstSimulacion::escalaRechazaTextoNoNumerico() {
    forms::MessageBoxRecorder mensajes;
    bool abiertoTrasRechazo = false;
    bool focoEnFin = false;
    bool salidaTrasRechazo = true;
    double inicioTrasRechazo = -1;
    bool centrado = false;
    Contestacion contestacion([&](frmEscala& dlg) {
        dlg.show();
        // Over the window that opened it (the main window, in the program).
        centrado = (dlg.geometry().center() - m_ventana->window()->frameGeometry().center())
                       .manhattanLength() <= 8;
        dlg.comSegundos->setCurrentIndex(3);
        dlg.txtInicio->setText(QStringLiteral("10"));
        dlg.txtFin->setText(QStringLiteral("ochenta"));
        dlg.btnAceptar->click();
        abiertoTrasRechazo = dlg.isVisible() && dlg.result() != QDialog::Accepted;
        focoEnFin = dlg.focusWidget() == dlg.txtFin;
        salidaTrasRechazo = dlg.bSalida;
        inicioTrasRechazo = modGlobal::dInicioHumedad; // nothing stored
        dlg.txtFin->setText(QStringLiteral("80"));
        dlg.btnAceptar->click();
    });
    m_ventana->evPropiedadesMuñeco();
    QVERIFY(centrado);
    QVERIFY(abiertoTrasRechazo);
    QVERIFY(focoEnFin);
    QVERIFY(!salidaTrasRechazo);
    QCOMPARE(inicioTrasRechazo, 0.0);
    QCOMPARE(mensajes.requests().size(), 1);
    QVERIFY2(mensajes.requests().first().text.contains(QStringLiteral("Fin de la Humedad")),
             qPrintable(mensajes.requests().first().text));
    // The second Aceptar, with numbers everywhere, stores all four and the hours.
    QCOMPARE(modGlobal::dInicioHumedad, 10.0);
    QCOMPARE(modGlobal::dFinHumedad, 80.0);
    QCOMPARE(m_ventana->lHorasMostradas, 4);
}

void TstSimulacion::escalaNegativaVuelveSinCambios_data() {
    QTest::addColumn<QString>("locale");
    // Negative numbers carry a direction mark or the minus sign U+2212 in these locales.
    for (const char* locale : {"he_IL", "ar_EG", "fa_IR", "sv_SE", "es_ES"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

void TstSimulacion::escalaNegativaVuelveSinCambios() {
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    const QList<double> limites{-5, 15.5, -0.5, 115};
    modGlobal::dInicioHumedad = limites[0];
    modGlobal::dFinHumedad = limites[1];
    modGlobal::dInicioPresion = limites[2];
    modGlobal::dFinPresion = limites[3];
    forms::MessageBoxRecorder mensajes;
    bool salida = false;
    Contestacion contestacion([&](frmEscala& dlg) {
        dlg.btnAceptar->click(); // what the dialog shows reads back as it was
        salida = dlg.bSalida;
    });
    m_ventana->evPropiedadesMuñeco();
    QVERIFY2(mensajes.requests().isEmpty(), qPrintable(mensajes.requests().value(0).text));
    QVERIFY(salida);
    QCOMPARE((QList<double>{modGlobal::dInicioHumedad, modGlobal::dFinHumedad,
                            modGlobal::dInicioPresion, modGlobal::dFinPresion}),
             limites);
}

void TstSimulacion::escalaRechazaLimitesIlegibles_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("aceptado");
    QTest::newRow("1e308") << "1e308" << false;
    QTest::newRow("below -1e6") << "-1000000.5" << false;
    QTest::newRow("infinity") << "inf" << false;
    QTest::newRow("1e6") << "1e6" << true;
    QTest::newRow("-1e6") << "-1000000" << true;
}

void TstSimulacion::escalaRechazaLimitesIlegibles() {
    QFETCH(QString, texto);
    QFETCH(bool, aceptado);
    // A negative limit goes to the start, so that only its size can refuse it.
    const bool bInicio = texto.startsWith(u'-');
    forms::MessageBoxRecorder mensajes;
    bool salida = false;
    Contestacion contestacion([&](frmEscala& dlg) {
        (bInicio ? dlg.txtInicioPresion : dlg.txtFinPresion)->setText(texto);
        dlg.btnAceptar->click();
        salida = dlg.bSalida;
    });
    m_ventana->evPropiedadesMuñeco();
    QCOMPARE(salida, aceptado);
    QCOMPARE(mensajes.requests().size(), aceptado ? 0 : 1);
    const double dGuardado = bInicio ? modGlobal::dInicioPresion : modGlobal::dFinPresion;
    if (!aceptado) {
        QCOMPARE(dGuardado, bInicio ? 15.0 : 115.0);
        QCOMPARE(mensajes.requests().first().icon, forms::MsgIcon::Exclamation);
        const QString strCampo =
            bInicio ? QStringLiteral("Inicio de la Presión") : QStringLiteral("Fin de la Presión");
        QVERIFY2(mensajes.requests().first().text.contains(strCampo),
                 qPrintable(mensajes.requests().first().text));
    } else {
        QCOMPARE(std::fabs(dGuardado), 1e6);
    }
}

void TstSimulacion::escalaRechazaInicioNoMenorQueFin_data() {
    QTest::addColumn<QStringList>("textos");
    QTest::addColumn<int>("caja"); // the box that takes the focus
    QTest::addColumn<QString>("nombre");
    QTest::newRow("humidity start above end")
        << QStringList{"120", "100", "15", "115"} << 0 << "Inicio de la Humedad";
    QTest::newRow("humidity start equal to end")
        << QStringList{"50", "50", "15", "115"} << 0 << "Inicio de la Humedad";
    QTest::newRow("pressure start above end")
        << QStringList{"0", "100", "110", "90.5"} << 2 << "Inicio de la Presión";
}

void TstSimulacion::escalaRechazaInicioNoMenorQueFin() {
    // Used to be stored as typed, and the chart drew its axis upside down (or empty).
    QFETCH(QStringList, textos);
    QFETCH(int, caja);
    QFETCH(QString, nombre);
    forms::MessageBoxRecorder mensajes;
    bool abierto = false;
    bool foco = false;
    bool salida = true;
    Contestacion contestacion([&](frmEscala& dlg) {
        dlg.show();
        const QList<QLineEdit*> cajas{dlg.txtInicio, dlg.txtFin, dlg.txtInicioPresion,
                                      dlg.txtFinPresion};
        for (int i = 0; i < cajas.size(); ++i)
            cajas[i]->setText(textos[i]);
        dlg.btnAceptar->click();
        abierto = dlg.isVisible() && dlg.result() != QDialog::Accepted;
        foco = dlg.focusWidget() == cajas[caja] && cajas[caja]->selectedText() == textos[caja];
        salida = dlg.bSalida;
        dlg.btnCancelar->click();
    });
    m_ventana->evPropiedadesMuñeco();
    QVERIFY(abierto);
    QVERIFY(foco);
    QVERIFY(!salida);
    QCOMPARE(mensajes.requests().size(), 1);
    QCOMPARE(mensajes.requests().first().icon, forms::MsgIcon::Exclamation);
    QVERIFY2(mensajes.requests().first().text.contains(nombre),
             qPrintable(mensajes.requests().first().text));
    QCOMPARE((QList<double>{modGlobal::dInicioHumedad, modGlobal::dFinHumedad,
                            modGlobal::dInicioPresion, modGlobal::dFinPresion}),
             (QList<double>{0, 100, 15, 115}));
}

void TstSimulacion::ajustesSobrevivenAlReinicio() {
    Contestacion contestacion([](frmEscala& dlg) {
        dlg.comSegundos->setCurrentIndex(11);
        dlg.comMuestras->setCurrentIndex(2);
        dlg.txtInicio->setText(QStringLiteral("10"));
        dlg.txtFin->setText(QStringLiteral("90"));
        dlg.txtInicioPresion->setText(QStringLiteral("90"));
        dlg.txtFinPresion->setText(QStringLiteral("110.5"));
        dlg.btnAceptar->click();
    });
    m_ventana->evPropiedadesMuñeco();
    QVERIFY(QFileInfo(clsAjustesGrafico::strfntRuta())
                .absoluteFilePath()
                .startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    // A new run: the main window's load sets the shared limits, then makes the window.
    m_ventana.reset();
    subValoresIniciales();
    m_ventana = std::make_unique<frmHijoSimulacion>();
    QCOMPARE(m_ventana->lHorasMostradas, 12);
    QCOMPARE(m_ventana->iMuestrasMostradas, qint16(3));
    QCOMPARE(m_ventana->dMuestrasMostradas, 3.0);
    QCOMPARE((QList<double>{modGlobal::dInicioHumedad, modGlobal::dFinHumedad,
                            modGlobal::dInicioPresion, modGlobal::dFinPresion}),
             (QList<double>{10, 90, 90, 110.5}));
    m_ventana->evPintaMuñeco();
    QCOMPARE(leerEje(*m_ventana, 59, 0), 720.0);
    QCOMPARE(leerEje(*m_ventana, 58, 3), 90.0);
    QCOMPARE(leerEje(*m_ventana, 115, 1), 3.0);
}

void TstSimulacion::ajustesDanadosSeIgnoran() {
    {
        QSettings s(clsAjustesGrafico::strfntRuta(), QSettings::IniFormat);
        s.beginGroup(QStringLiteral("EvolucionTemporal"));
        s.setValue(QStringLiteral("horas"), 99);
        s.setValue(QStringLiteral("muestras"), QStringLiteral("tres"));
        s.setValue(QStringLiteral("inicioHumedad"), 80);
        s.setValue(QStringLiteral("finHumedad"), 20); // upside down
        s.setValue(QStringLiteral("inicioPresion"), 20);
        s.setValue(QStringLiteral("finPresion"), QStringLiteral("1e308"));
        s.endGroup();
    }
    m_ventana.reset();
    subValoresIniciales();
    m_ventana = std::make_unique<frmHijoSimulacion>();
    QCOMPARE(m_ventana->lHorasMostradas, 8);
    QCOMPARE(m_ventana->iMuestrasMostradas, qint16(1));
    QCOMPARE((QList<double>{modGlobal::dInicioHumedad, modGlobal::dFinHumedad,
                            modGlobal::dInicioPresion, modGlobal::dFinPresion}),
             (QList<double>{0, 100, 15, 115}));
}

void TstSimulacion::graficoSigueALaVentana() {
    m_ventana->evPintaMuñeco();
    com::ControlSite* sitio = m_ventana->scrMuñecoSimulacion.objSitio();
    const QSize disenado = m_ventana->size();
    QCOMPARE(sitio->geometry(), m_ventana->rect());
    subCaptura(*m_ventana, QStringLiteral("evolucion-disenada"));
    // Enlarged by hand, the chart grows with it (it used to stay and leave blank space).
    m_ventana->resize(disenado.width() + 400, disenado.height() + 300);
    QCOMPARE(sitio->geometry(), m_ventana->rect());
    modGlobal::lNumeroMuestras = 0;
    for (int i = 0; i < 600; ++i) {
        double humedad = 55 + 10 * std::sin(i / 60.0), presion = 101.3 + std::cos(i / 90.0);
        m_ventana->evPintaValores(humedad, presion);
    }
    subCaptura(*m_ventana, QStringLiteral("evolucion-ampliada"));
    // A new set-up keeps the operator's size.
    m_ventana->evPintaMuñeco();
    QCOMPARE(sitio->size(), QSize(disenado.width() + 400, disenado.height() + 300));
}

void TstSimulacion::historialAlCargarYAlVolver() {
    // Closing the window, or restarting the console, used to leave an empty chart.
    QList<qint64> pedidos;
    const auto anterior = frmHijoSimulacion::setFuenteHistorial([&](qint64 desde, qint64 hasta) {
        pedidos << hasta - desde;
        clsHistorialGrafico h;
        h.darrHumedad.assign(3600, 50.0);
        h.darrPresion.assign(3600, 101.0);
        h.darrHumedad[10] = std::nan("");
        return h;
    });
    const auto vuelve = qScopeGuard([&] { frmHijoSimulacion::setFuenteHistorial(anterior); });
    VentanaPrincipalFalsa principal;
    m_ventana.reset();
    m_ventana = std::make_unique<frmHijoSimulacion>();
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    QCOMPARE(pedidos, QList<qint64>{8 * 3600 * 1000}); // the time axis's span
    m_ventana->subCerrarVentana();
    m_llamadas.clear();
    m_ventana->scrMuñecoSimulacion.setObservador(
        [this](com::DispId id, std::uint16_t tipo, const com::VariantList& args) {
            if (id == 53)
                QCOMPARE(args.value(1).r8RefCount(), qsizetype(3600));
            m_llamadas.append({id, tipo, -1});
        });
    m_ventana->evValoresDefecto(); // a start brings it back
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    QCOMPARE(pedidos.size(), 2);
    QVERIFY(m_llamadas.contains(Llamada{53, com::DISPATCH_METHOD, -1}));
    QCOMPARE(m_llamadas.count(Llamada{53, com::DISPATCH_METHOD, -1}), 2);
}

void TstSimulacion::historialDelArchivo() {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("archive.sqlite"));
    const qint64 t0 = 1'800'000'000'000;
    {
        archive::ArchiveDatabase base(ruta);
        QCOMPARE(base.open(archive::ArchiveDatabase::Mode::Write), com::S_OK);
        const std::vector<archive::Entry> lote{
            archive::Entry::reading(t0 - 5000, 10, 90, 1, 1), // before the span
            archive::Entry::reading(t0 + 5200, 40, 100, 1, 1),
            archive::Entry::reading(t0 + 6100, 41, 101, 1, 1),
            archive::Entry::failure(t0 + 7000, archive::EntryKind::Timeout),
            archive::Entry::reading(t0 + 8900, 43, 103, 1, 1),
            archive::Entry::reading(t0 + 20000, 99, 99, 1, 1), // after it
        };
        QCOMPARE(base.append(lote), com::S_OK);
    }
    const clsHistorialGrafico h = clsHistorialGrafico::objfntLee(ruta, t0, t0 + 12000);
    // From the first reading of the span to its end, one slot a second.
    QCOMPARE(h.darrHumedad.size(), std::size_t(7));
    QCOMPARE(h.darrHumedad[0], 40.0);
    QCOMPARE(h.darrPresion[1], 101.0);
    QVERIFY(std::isnan(h.darrHumedad[2])); // the time-out
    QCOMPARE(h.darrHumedad[3], 43.0);
    QVERIFY(std::isnan(h.darrPresion[6]));
    QVERIFY(clsHistorialGrafico::objfntLee(carpeta.filePath(QStringLiteral("none.sqlite")), t0,
                                           t0 + 12000)
                .bVacio());
    {
        const testsupport::ScopedEnv apagado("BRISORA_ARCHIVE", QStringLiteral("off"));
        QVERIFY(clsHistorialGrafico::objfntDelArchivo(t0, t0 + 12000).bVacio());
    }
    {
        const testsupport::ScopedEnv lugar("BRISORA_ARCHIVE", ruta);
        QCOMPARE(clsHistorialGrafico::objfntDelArchivo(t0, t0 + 12000).darrPresion.size(),
                 std::size_t(7));
    }
}

void TstSimulacion::cerradaVuelveConLoQueSeEligio() {
    VentanaPrincipalFalsa principal;
    m_ventana->evPintaMuñeco();
    QVERIFY(!m_ventana->close()); // the close box does nothing
    QVERIFY(m_ventana->isVisible());
    Contestacion contestacion([](frmEscala& dlg) {
        dlg.comSegundos->setCurrentIndex(11);
        dlg.comMuestras->setCurrentIndex(1);
        dlg.txtInicio->setText(QStringLiteral("10"));
        dlg.txtFin->setText(QStringLiteral("90"));
        dlg.btnAceptar->click();
    });
    m_ventana->evPropiedadesMuñeco();
    QCOMPARE(leerEje(*m_ventana, 59, 0), 720.0);

    m_ventana->subCerrarVentana();
    QCOMPARE(principal.llamadas, QList<bool>{false});
    QVERIFY(!m_ventana->isVisible());
    QVERIFY(!m_ventana->bCargada());
    QVERIFY(!m_ventana->scrMuñecoSimulacion.objSitio()->hasControl());

    modGlobal::lNumeroMuestras = 1;
    double humedad = 50.0, presion = 100.0;
    m_ventana->evPintaValores(humedad, presion);
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    QVERIFY(m_ventana->isVisible());
    QVERIFY(m_ventana->bCargada());
    // The chart comes back as the operator last set it, as the scale dialog still shows it
    // (it used to come back with its design: 8 h and 0-100 % while the dialog showed 10-90).
    QCOMPARE(m_ventana->lHorasMostradas, 12);
    QCOMPARE(m_ventana->iMuestrasMostradas, qint16(2));
    QCOMPARE(leerEje(*m_ventana, 58, 0), 0.0);
    QCOMPARE(leerEje(*m_ventana, 59, 0), 720.0);
    QCOMPARE(leerEje(*m_ventana, 58, 1), 10.0);
    QCOMPARE(leerEje(*m_ventana, 59, 1), 90.0);
    QCOMPARE(leerEje(*m_ventana, 58, 3), 15.0);
    QCOMPARE(leerEje(*m_ventana, 59, 3), 115.0);
    QCOMPARE(leerEje(*m_ventana, 65, 3), 720.0);
    QCOMPARE(leerEje(*m_ventana, 115, 0), 2.0);
    QStringList vistos;
    Contestacion otra([&](frmEscala& dlg) {
        vistos << dlg.comSegundos->currentText() << dlg.comMuestras->currentText()
               << dlg.txtInicio->text() << dlg.txtFin->text();
        dlg.btnCancelar->click();
    });
    m_ventana->evPropiedadesMuñeco();
    QCOMPARE(vistos, (QStringList{"12", "2", "10", "90"}));
    QCOMPARE(m_ventana->lblHorasSimulacion->text(), QStringLiteral("Tiempo Activo: 00:00:01"));
    QVERIFY(!m_ventana->close()); // guarded again
    subCaptura(*m_ventana, QStringLiteral("evolucion-temporal"));
}

void TstSimulacion::vuelveASuSitioEnElAreaDeTrabajo() {
    QMdiArea area;
    area.resize(1200, 700);
    QMdiSubWindow* marco = area.addSubWindow(m_ventana.get());
    marco->setAttribute(Qt::WA_DeleteOnClose, false);
    area.show();
    marco->move(5, 5);
    const QSize tamano = m_ventana->size();
    m_ventana->subCerrarVentana();
    QVERIFY(!m_ventana->isVisible());
    m_ventana->evValoresDefecto(); // a start of acquisition brings it back
    QVERIFY(m_ventana->isVisible());
    QCOMPARE(marco->pos(), forms::twips::toPixels(m_ventana.get(), 4680, 0, 0, 0).topLeft());
    QCOMPARE(m_ventana->size(), tamano);
    area.removeSubWindow(m_ventana.get());
    m_ventana->setParent(nullptr);
}

void TstSimulacion::impresionLlegaAlGrafico_data() {
    QTest::addColumn<bool>("relativa");
    QTest::newRow("carpeta absoluta") << false;
    // Regression: a print folder named relative to the working folder gave a relative file
    // name, which the notice took for a printer's name.
    QTest::newRow("carpeta relativa") << true;
}

void TstSimulacion::impresionLlegaAlGrafico() {
    QFETCH(bool, relativa);
    VentanaPrincipalFalsa principal;
    QTemporaryDir carpeta;
    const QString strAnterior = QDir::currentPath();
    const auto vuelve = qScopeGuard([&] { QDir::setCurrent(strAnterior); });
    if (relativa) {
        QVERIFY(QDir::setCurrent(carpeta.path()));
    }
    {
        const testsupport::ScopedEnv preparacion("BRISORA_PRINT_SETUP", QStringLiteral("cancel"));
        const testsupport::ScopedEnv destino("BRISORA_PRINT_DIR",
                                             relativa ? QStringLiteral(".") : carpeta.path());
        m_ventana->evPintaMuñeco();
        m_llamadas.clear();
        m_ventana->evPreparaImpresora();
        m_ventana->evImprimeMuñeco();
    }
    QCOMPARE(m_llamadas, (QList<Llamada>{{55, com::DISPATCH_METHOD, -1},
                                         {54, com::DISPATCH_METHOD, -1},
                                         {56, com::DISPATCH_METHOD, -1}}));
    // Without a printer the page went to a new file in the print folder, and the status bar
    // says which.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const QString aviso = principal.avisos.value(frmHijoSimulacion::strCLAVE_AVISO_IMPRESION);
        QVERIFY2(aviso.startsWith(QStringLiteral("Gráfico guardado en ") + carpeta.path() +
                                  QStringLiteral("/Brisora-")),
                 qPrintable(aviso));
        QVERIFY(QFileInfo::exists(aviso.section(u' ', 3)));
    }
}

QTEST_MAIN(TstSimulacion)
#include "tst_simulacion.moc"
