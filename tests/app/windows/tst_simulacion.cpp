#include <QTest>
class TstSimulacion : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TstSimulacion)
#include "tst_simulacion.moc"
