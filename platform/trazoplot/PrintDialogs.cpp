#include "PrintDialogs.h"

#include <QPrintDialog>
#include <QPrinter>

namespace trazoplot {

namespace {

PrintDialogs::SetupHandler& handler() {
    static PrintDialogs::SetupHandler h;
    return h;
}

} // namespace

bool PrintDialogs::runSetup(QPrinter& printer, QWidget* parent) {
    if (handler())
        return handler()(printer);
    const QString answer = qEnvironmentVariable("BRISORA_PRINT_SETUP").toLower();
    if (answer == QLatin1String("accept") || answer == QLatin1String("cancel"))
        return answer == QLatin1String("accept");
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

PrintDialogs::SetupHandler PrintDialogs::setSetupHandler(SetupHandler h) {
    SetupHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

} // namespace trazoplot
