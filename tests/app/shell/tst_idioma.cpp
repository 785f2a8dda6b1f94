// Qt's own texts in Spanish: the standard buttons of message boxes and dialogs.

#include "modIdioma.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class tst_idioma : public QObject {
    Q_OBJECT

private slots:
    void botonesEstandarEnEspanol_data();
    void botonesEstandarEnEspanol();
};

void tst_idioma::botonesEstandarEnEspanol_data() {
    QTest::addColumn<int>("boton");
    QTest::addColumn<QString>("texto");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << "&Sí";
    QTest::newRow("No") << int(QMessageBox::No) << "&No";
    QTest::newRow("OK") << int(QMessageBox::Ok) << "Aceptar";
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << "Cancelar";
}

void tst_idioma::botonesEstandarEnEspanol() {
    QFETCH(int, boton);
    QFETCH(QString, texto);
    // The set-up script installs the translation; loading it twice is harmless.
    QVERIFY(modIdioma::bfntCargaTraduccionesQt(*qApp));
    QMessageBox caja;
    caja.setStandardButtons(QMessageBox::StandardButton(boton));
    QCOMPARE(caja.button(QMessageBox::StandardButton(boton))->text(), texto);
}

QTEST_MAIN(tst_idioma)
#include "tst_idioma.moc"
