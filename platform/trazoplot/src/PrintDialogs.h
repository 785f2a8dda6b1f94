// The printer set-up dialog behind one replaceable handler, so that tests (and containers
// without a screen) can answer it.
#pragma once

#include <functional>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace trazoplot {

class PrintDialogs {
public:
    // Edits `printer`; true when the user accepted the choices.
    using SetupHandler = std::function<bool(QPrinter& printer)>;

    // Shows the set-up dialog: the installed handler, else the answer in $BRISORA_PRINT_SETUP
    // ("accept" or "cancel"; for containers whose tests cannot reach this module's handler),
    // else Qt's print dialog.
    static bool runSetup(QPrinter& printer, QWidget* parent);
    // Readies Qt's print dialog for the set-up: nothing prints when it closes, so its
    // confirming button says OK (in the program's language) instead of Print.
    static void prepareSetupDialog(QPrintDialog& dialog);
    // Installs a handler (empty: the real dialog again) and returns the previous one.
    static SetupHandler setSetupHandler(SetupHandler handler);
};

} // namespace trazoplot
