// meterlab: tries and sets up GAUGEKIT meters as a form designer does; one meter per settings
// file named on the command line, a new meter when none is.
#include "MeterLabWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("meterlab"));
    MeterLabWindow window;
    const QStringList files = QApplication::arguments().mid(1);
    if (files.isEmpty())
        window.openMeter();
    for (const QString& file : files)
        window.openMeter(file);
    window.show();
    return app.exec();
}
