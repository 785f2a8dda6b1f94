#include "PrintDialogs.h"

#include "forms/GuardedDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

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
    // On the heap and watched: the window under it may be closed while it is open.
    forms::GuardedDialog<QPrintDialog> dialog(&printer, parent);
    prepareSetupDialog(*dialog.get());
    return dialog.exec();
}

void PrintDialogs::prepareSetupDialog(QPrintDialog& dialog) {
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    // Qt's own word for OK, so that it follows the translation the program loaded.
    const QString ok = QCoreApplication::translate("QPlatformTheme", "OK");
    for (auto* buttons : dialog.findChildren<QDialogButtonBox*>()) {
        if (QPushButton* button = buttons->button(QDialogButtonBox::Ok))
            button->setText(ok);
    }
}

PrintDialogs::SetupHandler PrintDialogs::setSetupHandler(SetupHandler h) {
    SetupHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

} // namespace trazoplot
