// Texts the child windows show: statistics, active time and scale limits.
#include "clsEstadistica.h"
#include "modFormatos.h"

#include <QTest>

class TstVentanasLogica : public QObject {
    Q_OBJECT
private slots:
    void valorConTresCifras_data();
    void valorConTresCifras();
    void tiempoActivo_data();
    void tiempoActivo();
    void limites_data();
    void limites();
    void avisoImpresion_data();
    void avisoImpresion();
    void estadisticas_data();
    void estadisticas();
};

void TstVentanasLogica::valorConTresCifras_data() {
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("texto");
    QTest::newRow("zero") << 0.0 << "en_US"
                          << "000.0";
    QTest::newRow("hundred") << 100.0 << "en_US"
                             << "100.0";
    QTest::newRow("mean 40.5") << 40.5 << "en_US"
                               << "040.5";
    QTest::newRow("rounded down") << 101.325 << "en_US"
                                  << "101.3";
    QTest::newRow("four digits") << 1013.26 << "en_US"
                                 << "1013.3";
    QTest::newRow("below ten") << 7.25 << "en_US"
                               << "007.3";
    QTest::newRow("comma locale") << 40.5 << "de_DE"
                                  << "040,5";
    QTest::newRow("comma, no grouping") << 1013.26 << "es_ES"
                                        << "1013,3";
}

void TstVentanasLogica::valorConTresCifras() {
    QFETCH(double, valor);
    QFETCH(QString, locale);
    QFETCH(QString, texto);
    QCOMPARE(modFormatos::strfntValor(valor, QLocale(locale)), texto);
}

void TstVentanasLogica::tiempoActivo_data() {
    QTest::addColumn<int>("segundos");
    QTest::addColumn<QString>("texto");
    const std::pair<int, const char*> casos[] = {
        {0, "00:00:00"},      {1, "00:00:01"},       {59, "00:00:59"},   {60, "00:01:00"},
        {3599, "00:59:59"},   {3600, "01:00:00"},    {7200, "02:00:00"}, {36000, "10:00:00"},
        {359999, "99:59:59"}, {360000, "100:00:00"}, {-5, "00:00:00"}};
    for (const auto& [segundos, texto] : casos)
        QTest::addRow("%d s", segundos) << segundos << QString::fromLatin1(texto);
}

void TstVentanasLogica::tiempoActivo() {
    QFETCH(int, segundos);
    QFETCH(QString, texto);
    QCOMPARE(modFormatos::strfntTiempoActivo(segundos), QStringLiteral("Tiempo Activo: ") + texto);
}

void TstVentanasLogica::limites_data() {
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("texto");
    QTest::newRow("whole") << 100.0 << "en_US"
                           << "100";
    QTest::newRow("half") << 12.5 << "en_US"
                          << "12.5";
    QTest::newRow("half, comma") << 12.5 << "de_DE"
                                 << "12,5";
    QTest::newRow("no grouping") << 1234567.25 << "en_US"
                                 << "1234567.25";
    QTest::newRow("negative") << -3.0 << "en_US"
                              << "-3";
    QTest::newRow("no exponent") << 1e-5 << "en_US"
                                 << "0.00001";
    QTest::newRow("largest accepted") << -1e6 << "en_US"
                                      << "-1000000";
    QTest::newRow("tiny, exponent form") << 1e-30 << "en_US"
                                         << "1E-30";
    QTest::newRow("huge, not 309 digits") << 1e308 << "en_US"
                                          << "1E+308";
}

void TstVentanasLogica::limites() {
    QFETCH(double, valor);
    QFETCH(QString, locale);
    QFETCH(QString, texto);
    QCOMPARE(modFormatos::strfntLimite(valor, QLocale(locale)), texto);
}

void TstVentanasLogica::avisoImpresion_data() {
    QTest::addColumn<QString>("destino");
    QTest::addColumn<int>("hr");
    QTest::addColumn<QString>("texto");
    QTest::newRow("file") << "/tmp/p/Brisora-20261208-101500.pdf" << int(com::S_OK)
                          << "Gráfico guardado en /tmp/p/Brisora-20261208-101500.pdf";
    QTest::newRow("printer") << "Oficina" << int(com::S_OK)
                             << "Gráfico enviado a la impresora Oficina";
    QTest::newRow("failed") << "/sin/permiso/Brisora.pdf" << int(com::E_FAIL)
                            << "No se pudo imprimir el gráfico en /sin/permiso/Brisora.pdf";
}

void TstVentanasLogica::avisoImpresion() {
    QFETCH(QString, destino);
    QFETCH(int, hr);
    QFETCH(QString, texto);
    QCOMPARE(modFormatos::strfntAvisoImpresion(destino, com::HRESULT(hr)), texto);
}

void TstVentanasLogica::estadisticas_data() {
    QTest::addColumn<double>("maximoInicial");
    QTest::addColumn<double>("minimoInicial");
    QTest::addColumn<QList<double>>("lecturas");
    QTest::addColumn<QStringList>("etiquetas");
    const auto etiquetas = [](const char* max, const char* min, const char* medio) {
        return QStringList{QStringLiteral("Máximo: ") + QLatin1String(max),
                           QStringLiteral("Mínimo: ") + QLatin1String(min),
                           QStringLiteral("V. Medio: ") + QLatin1String(medio)};
    };
    // Humidity starts from 0/100 and pressure from 15/115: only a strictly greater or smaller
    // reading replaces them.
    QTest::newRow("humidity exactly 0")
        << 0.0 << 100.0 << QList<double>{0.0} << etiquetas("000.0", "000.0", "000.0");
    QTest::newRow("humidity exactly 100")
        << 0.0 << 100.0 << QList<double>{100.0} << etiquetas("100.0", "100.0", "100.0");
    QTest::newRow("40 and 41") << 0.0 << 100.0 << QList<double>{40.0, 41.0}
                               << etiquetas("041.0", "040.0", "040.5");
    QTest::newRow("all above the range")
        << 0.0 << 100.0 << QList<double>{150.0, 120.0} << etiquetas("150.0", "100.0", "135.0");
    QTest::newRow("pressure all below")
        << 15.0 << 115.0 << QList<double>{10.0, 12.0} << etiquetas("015.0", "010.0", "011.0");
    QTest::newRow("equal values change nothing")
        << 0.0 << 100.0 << QList<double>{50.0, 50.0, 50.0} << etiquetas("050.0", "050.0", "050.0");
    QTest::newRow("pressure mean")
        << 15.0 << 115.0 << QList<double>{101.325} << etiquetas("101.3", "101.3", "101.3");
    QTest::newRow("four integer digits")
        << 15.0 << 115.0 << QList<double>{1013.26} << etiquetas("1013.3", "115.0", "1013.3");
}

void TstVentanasLogica::estadisticas() {
    QFETCH(double, maximoInicial);
    QFETCH(double, minimoInicial);
    QFETCH(QList<double>, lecturas);
    QFETCH(QStringList, etiquetas);
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    // Load values are the scale limits; a start replaces them with the statistics' start.
    clsEstadistica e(minimoInicial, maximoInicial);
    e.dSuma = 99.0;
    e.subValoresDefecto(maximoInicial, minimoInicial);
    for (double lectura : lecturas)
        e.subAnade(lectura);
    const QStringList obtenidas{e.strfntMaximo(locale), e.strfntMinimo(locale),
                                e.strfntMedio(qint32(lecturas.size()), locale)};
    QCOMPARE(obtenidas, etiquetas);
}

QTEST_APPLESS_MAIN(TstVentanasLogica)
#include "tst_ventanaslogica.moc"
