// The instantaneous-values window with its two real meters: designed states, set-up by
// dispatch identifier, readings and statistics, close guard.
#include "VentanaPrincipalFalsa.h"
#include "frmHijoValoresInstantaneos.h"
#include "modRecursos.h"

#include "ModulosRegistrados.h"
#include "ScopedEnv.h"

#include "GaugeKitIds.h"

#include "com/ControlSite.h"
#include "forms/Twips.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>
#include <memory>

using com::Variant;
namespace dispid = gaugekit::dispid;

namespace {

QColor colorDe(std::uint32_t colorRef) {
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

std::int32_t rgb(int r, int g, int b) {
    return std::int32_t(r | (g << 8) | (b << 16));
}

Variant leer(com::ControlSite& sitio, int id, int indice) {
    Variant v;
    const com::HRESULT hr =
        indice < 0 ? sitio.getProperty(id, &v) : sitio.getIndexedProperty(id, indice, &v);
    return com::succeeded(hr) ? v : Variant(QStringLiteral("error %1").arg(hr));
}

} // namespace

class TstValoresInstantaneos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void disenoGuardado_data();
    void disenoGuardado();
    void disenoConExtension();
    void configuracionLlegaAlMedidor_data();
    void configuracionLlegaAlMedidor();
    void lecturasActualizanEtiquetas();
    void lecturasDeCuatroCifrasCaben();
    void nuevoArranqueReiniciaEstadisticas();
    void cierreSoloPorSubCerrarVentana();
    void medidoresSinRegistrarSeAvisan();

private:
    std::unique_ptr<ModulosRegistrados> m_modulos;
    std::unique_ptr<frmHijoValoresInstantaneos> m_ventana;
};

void TstValoresInstantaneos::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_modulos = std::make_unique<ModulosRegistrados>();
    QVERIFY(m_modulos->bRegistrados());
}

void TstValoresInstantaneos::init() {
    subValoresIniciales();
    m_ventana = std::make_unique<frmHijoValoresInstantaneos>();
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
}

void TstValoresInstantaneos::cleanup() {
    m_ventana.reset();
}

void TstValoresInstantaneos::disenoGuardado_data() {
    QTest::addColumn<QString>("recurso");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("indice");
    QTest::addColumn<Variant>("valor");
    const std::int32_t gris = rgb(192, 192, 192);
    struct Medidor {
        const char* recurso;
        std::int32_t grosor;
        double centroY;
        std::int32_t color;
        const char* titulo;
        std::int32_t canal1;
    };
    const Medidor medidores[] = {
        {"rtmHumedad.ser", 1, 0.4, rgb(255, 0, 0), "%", rgb(255, 0, 0)},
        {"rtmPresion.ser", 0, 0.5, rgb(0, 0, 160), "KPa", rgb(0, 0, 255)},
    };
    for (const Medidor& m : medidores) {
        const QString r = QString::fromLatin1(m.recurso);
        const auto fila = [&](const char* nombre, int id, int indice, const Variant& v) {
            QTest::addRow("%s %s", m.recurso, nombre) << r << id << indice << v;
        };
        fila("PlotBackgroundColor", dispid::PlotBackgroundColor, -1, Variant(gris));
        fila("WindowBorderColor", dispid::WindowBorderColor, -1, Variant(gris));
        fila("WindowBackgroundColor", dispid::WindowBackgroundColor, -1, Variant(gris));
        fila("MeterBorderColor", dispid::MeterBorderColor, -1, Variant(gris));
        fila("WindowBorderStyle", dispid::WindowBorderStyle, -1, Variant(std::int32_t(3)));
        fila("WindowBorderThickness", dispid::WindowBorderThickness, -1, Variant(m.grosor));
        fila("MeterBorderThickness", dispid::MeterBorderThickness, -1, Variant(m.grosor));
        fila("MeterArcEnable", dispid::MeterArcEnable, -1, Variant(false));
        fila("MeterAlarmArcsEnable", dispid::MeterAlarmArcsEnable, -1, Variant(false));
        fila("MeterCenterY", dispid::MeterCenterY, -1, Variant(m.centroY));
        fila("MeterStartArc", dispid::MeterStartArc, -1, Variant(std::int32_t(135)));
        fila("MeterStopArc", dispid::MeterStopArc, -1, Variant(std::int32_t(45)));
        fila("MeterHighAlarmStart", dispid::MeterHighAlarmStart, -1, Variant(0.0));
        fila("MeterHighAlarmStop", dispid::MeterHighAlarmStop, -1, Variant(0.0));
        fila("MeterLowAlarmStart", dispid::MeterLowAlarmStart, -1, Variant(0.0));
        fila("MeterLowAlarmStop", dispid::MeterLowAlarmStop, -1, Variant(0.0));
        fila("MeterTickLabelsPosition", dispid::MeterTickLabelsPosition, -1,
             Variant(std::int32_t(4)));
        fila("MeterTickLabelsSize", dispid::MeterTickLabelsSize, -1, Variant(std::int32_t(9)));
        fila("MeterLineColor", dispid::MeterLineColor, -1, Variant(m.color));
        fila("MeterInitialValue", dispid::MeterInitialValue, -1, Variant(0.0));
        fila("TitleString 0", dispid::TitleString, 0, Variant(QString::fromLatin1(m.titulo)));
        fila("TitleString 1", dispid::TitleString, 1, Variant(QString()));
        fila("TitleString 2", dispid::TitleString, 2, Variant(QString()));
        fila("TitleColor 0", dispid::TitleColor, 0, Variant(m.color));
        fila("TitleColor 1", dispid::TitleColor, 1, Variant(std::int32_t(0)));
        fila("TitleColor 2", dispid::TitleColor, 2, Variant(std::int32_t(0)));
        const std::int32_t tamanos[3] = {9, 6, 4};
        const std::int32_t canales[5] = {rgb(0, 0, 128), m.canal1, rgb(128, 0, 0), rgb(255, 255, 0),
                                         rgb(0, 128, 128)};
        for (int i = 0; i < 3; ++i)
            fila(qPrintable(QStringLiteral("TitleFontSize %1").arg(i)), dispid::TitleFontSize, i,
                 Variant(tamanos[i]));
        for (int i = 0; i < 5; ++i)
            fila(qPrintable(QStringLiteral("MeterChannelColor %1").arg(i)),
                 dispid::MeterChannelColor, i, Variant(canales[i]));
        // Everything else keeps the control's defaults.
        fila("MeterNeedleStyle", dispid::MeterNeedleStyle, -1, Variant(std::int32_t(5)));
        fila("MeterScaleMax", dispid::MeterScaleMax, -1, Variant(10.0));
        fila("MeterTickStep", dispid::MeterTickStep, -1, Variant(2.0));
        fila("MeterMinorTicks", dispid::MeterMinorTicks, -1, Variant(std::int32_t(3)));
        fila("MeterTickLabelsFont", dispid::MeterTickLabelsFont, -1,
             Variant(QStringLiteral("Arial")));
        fila("MeterAlarmArcThickness", dispid::MeterAlarmArcThickness, -1, Variant(0.1));
    }
}

void TstValoresInstantaneos::disenoGuardado() {
    QFETCH(QString, recurso);
    QFETCH(int, id);
    QFETCH(int, indice);
    QFETCH(Variant, valor);
    com::ControlSite sitio;
    QCOMPARE(sitio.create(com::Guid::fromString(QString::fromLatin1(gaugekit::kIds.clsidControl))),
             com::S_OK);
    QCOMPARE(sitio.loadStream(modRecursos::bytfntDiseno(recurso)), com::S_OK);
    QCOMPARE(leer(sitio, id, indice), valor);
}

void TstValoresInstantaneos::disenoConExtension() {
    for (const char* recurso : {"rtmHumedad.ser", "rtmPresion.ser"}) {
        const QByteArray bytes = modRecursos::bytfntDiseno(QString::fromLatin1(recurso));
        QVERIFY2(bytes.size() > 16, recurso);
        const auto dword = [&](int i) {
            return qFromLittleEndian<quint32>(bytes.constData() + 4 * i);
        };
        QCOMPARE(dword(0), 0x00010001u); // version 1.1
        QCOMPARE(dword(1), 6853u);       // extent in HIMETRIC
        QCOMPARE(dword(2), 4260u);
    }
}

void TstValoresInstantaneos::configuracionLlegaAlMedidor_data() {
    QTest::addColumn<bool>("presion");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("indice");
    QTest::addColumn<Variant>("valor");
    for (bool presion : {false, true}) {
        const double inferior = presion ? 15.0 : 0.0;
        const double superior = presion ? 115.0 : 100.0;
        const std::int32_t color = presion ? 9 : 12;
        const auto fila = [&](const char* nombre, int id, int indice, const Variant& v) {
            QTest::addRow("%s %s", presion ? "pressure" : "humidity", nombre)
                << presion << id << indice << v;
        };
        fila("channels", dispid::MeterNumChannels, -1, Variant(std::int32_t(1)));
        fila("centre x", dispid::MeterCenterX, -1, Variant(0.51));
        fila("centre y", dispid::MeterCenterY, -1, Variant(0.41));
        fila("diameter", dispid::MeterDiameter, -1, Variant(0.49));
        fila("needle", dispid::MeterNeedleStyle, -1, Variant(std::int32_t(2)));
        fila("scale min", dispid::MeterScaleMin, -1, Variant(inferior));
        fila("scale max", dispid::MeterScaleMax, -1, Variant(superior));
        // Both meters take the LOWER limit as their low-alarm stop.
        fila("low alarm stop", dispid::MeterLowAlarmStop, -1, Variant(inferior));
        fila("high alarm start", dispid::MeterHighAlarmStart, -1, Variant(superior));
        fila("arc", dispid::MeterArcEnable, -1, Variant(false));
        fila("tick step", dispid::MeterTickStep, -1, Variant(10.0));
        fila("minor ticks", dispid::MeterMinorTicks, -1, Variant(std::int32_t(4)));
        fila("tick position", dispid::MeterTickPosition, -1, Variant(std::int32_t(4)));
        fila("label precision", dispid::MeterTickLabelsPrecision, -1, Variant(std::int32_t(0)));
        fila("label position", dispid::MeterTickLabelsPosition, -1, Variant(std::int32_t(4)));
        fila("label colour", dispid::MeterTickLabelsColor, -1, Variant(color));
        fila("channel colour", dispid::MeterChannelColor, 0, Variant(color));
        fila("normal alarm colour", dispid::MeterNormalAlarmColor, -1, Variant(std::int32_t(0)));
        fila("alarm arc quartered", dispid::MeterAlarmArcThickness, -1, Variant(0.025));
        fila("initial value", dispid::MeterInitialValue, -1, Variant(inferior));
    }
}

void TstValoresInstantaneos::configuracionLlegaAlMedidor() {
    QFETCH(bool, presion);
    QFETCH(int, id);
    QFETCH(int, indice);
    QFETCH(Variant, valor);
    m_ventana->evPintaMuñeco();
    QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
    clsMedidor& medidor = presion ? m_ventana->rtmPresion : m_ventana->rtmHumedad;
    QCOMPARE(leer(*medidor.objSitio(), id, indice), valor);
}

void TstValoresInstantaneos::lecturasActualizanEtiquetas() {
    m_ventana->show(); // as the main window does before the set-up
    m_ventana->evPintaMuñeco();
    m_ventana->grab(); // painted once, as on screen long before the first reading
    m_ventana->evValoresDefecto();
    const std::pair<double, double> lecturas[] = {{40.0, 101.325}, {41.0, 101.325}};
    for (auto [humedad, presion] : lecturas) {
        ++modGlobal::lNumeroMuestras;
        m_ventana->evPintaValores(humedad, presion);
        QCOMPARE(m_ventana->hrUltimoResultado(), com::S_OK);
        QCOMPARE(humedad, lecturas[modGlobal::lNumeroMuestras - 1].first); // arguments unchanged
    }
    const QStringList obtenidas{
        m_ventana->lblMaximoHumedad->text(), m_ventana->lblMinimoHumedad->text(),
        m_ventana->lblMedioHumedad->text(),  m_ventana->lblMaximoPresion->text(),
        m_ventana->lblMinimoPresion->text(), m_ventana->lblMedioPresion->text()};
    const QStringList esperadas{
        QStringLiteral("Máximo: 041.0"),   QStringLiteral("Mínimo: 040.0"),
        QStringLiteral("V. Medio: 040.5"), QStringLiteral("Máximo: 101.3"),
        QStringLiteral("Mínimo: 101.3"),   QStringLiteral("V. Medio: 101.3")};
    QCOMPARE(obtenidas, esperadas);
    QCOMPARE(m_ventana->lblMaximoHumedad->palette().color(QPalette::WindowText), colorDe(0x0000FF));
    QCOMPARE(m_ventana->lblMedioPresion->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    subCaptura(*m_ventana, QStringLiteral("valores-instantaneos"));
}

void TstValoresInstantaneos::lecturasDeCuatroCifrasCaben() {
    // A faulty station's 2038.8 % and 1756.6 kPa used to show as "V. Medio: 1252.(" with the
    // three labels running together.
    m_ventana->show();
    m_ventana->evPintaMuñeco();
    m_ventana->evValoresDefecto();
    const std::pair<double, double> lecturas[] = {{2038.8, 1756.6}, {466.4, 748.6}};
    for (auto [humedad, presion] : lecturas) {
        ++modGlobal::lNumeroMuestras;
        m_ventana->evPintaValores(humedad, presion);
    }
    QCOMPARE(m_ventana->lblMedioHumedad->text(), QStringLiteral("V. Medio: 1252.6"));
    const QList<QList<QLabel*>> filas{
        {m_ventana->lblMaximoHumedad, m_ventana->lblMinimoHumedad, m_ventana->lblMedioHumedad},
        {m_ventana->lblMaximoPresion, m_ventana->lblMinimoPresion, m_ventana->lblMedioPresion}};
    for (const QList<QLabel*>& fila : filas) {
        for (qsizetype i = 0; i < fila.size(); ++i) {
            QLabel* lbl = fila[i];
            QVERIFY2(QFontMetrics(lbl->font()).horizontalAdvance(lbl->text()) <= lbl->width(),
                     qPrintable(lbl->text()));
            QVERIFY(lbl->font().pointSizeF() <= 9.0);
            QCOMPARE(lbl->font(), fila.first()->font()); // one size for the whole row
            if (i > 0)
                QVERIFY(fila[i - 1]->geometry().right() < lbl->geometry().left());
        }
    }
    subCaptura(*m_ventana, QStringLiteral("valores-cuatro-cifras"));
}

void TstValoresInstantaneos::nuevoArranqueReiniciaEstadisticas() {
    // Before the first start the fields hold the scale limits.
    QCOMPARE(m_ventana->objHumedad.dMaximo, 100.0);
    QCOMPARE(m_ventana->objPresion.dMinimo, 15.0);
    m_ventana->evValoresDefecto();
    double humedad = 70.0, presion = 90.0;
    modGlobal::lNumeroMuestras = 1;
    m_ventana->evPintaValores(humedad, presion);
    modGlobal::lNumeroMuestras = 0; // the stop resets the counter
    m_ventana->evValoresDefecto();
    QCOMPARE(m_ventana->lblMaximoHumedad->text(), QStringLiteral("Máximo: 070.0")); // labels kept
    humedad = 20.0;
    presion = 100.0;
    modGlobal::lNumeroMuestras = 1;
    m_ventana->evPintaValores(humedad, presion);
    QCOMPARE(m_ventana->lblMaximoHumedad->text(), QStringLiteral("Máximo: 020.0"));
    QCOMPARE(m_ventana->lblMedioHumedad->text(), QStringLiteral("V. Medio: 020.0"));
    QCOMPARE(m_ventana->lblMinimoPresion->text(), QStringLiteral("Mínimo: 100.0"));
}

void TstValoresInstantaneos::cierreSoloPorSubCerrarVentana() {
    VentanaPrincipalFalsa principal;
    m_ventana->show();
    QSignalSpy descargas(m_ventana.get(), &forms::Form::unloaded);
    QVERIFY(!m_ventana->close());
    QVERIFY(!m_ventana->unload());
    QVERIFY(m_ventana->isVisible());
    QVERIFY(principal.llamadas.isEmpty());
    m_ventana->resize(10, 10); // the size is fixed
    QCOMPARE(m_ventana->size(), forms::twips::toPixels(m_ventana.get(), 0, 0, 4560, 7095).size());
    m_ventana->subCerrarVentana();
    QCOMPARE(descargas.count(), 1);
    QVERIFY(!m_ventana->isVisible());
    QCOMPARE(principal.llamadas, QList<bool>{false});
}

// Regression: with the meter module not registered the window showed empty frames and nobody
// was told.
void TstValoresInstantaneos::medidoresSinRegistrarSeAvisan() {
    VentanaPrincipalFalsa principal;
    const QString strClave = frmHijoValoresInstantaneos::strCLAVE_AVISO_MEDIDORES;
    frmHijoValoresInstantaneos registrados;
    QCOMPARE(principal.avisos.value(strClave), QString());
    QTemporaryDir carpeta;
    const testsupport::ScopedEnv registro("BRISORA_REGISTRY",
                                          carpeta.filePath(QStringLiteral("vacio.json")));
    frmHijoValoresInstantaneos ventana;
    QCOMPARE(ventana.hrUltimoResultado(), com::REGDB_E_CLASSNOTREG);
    QCOMPARE(principal.avisos.value(strClave),
             QStringLiteral("GAUGEKIT no está registrado: brisora-regsvr GAUGEKIT.so"));
}

QTEST_MAIN(TstValoresInstantaneos)
#include "tst_valoresinstantaneos.moc"
