// Prints the chart on one landscape page. Without a printer on the system, or when the set-up
// chose none (printing to a file), every print goes to a new PDF file: in $BRISORA_PRINT_DIR
// when set, else in the home folder, named Brisora-<yyyyMMdd-hhmmss>.pdf. A file name typed
// in the set-up is not used: one fixed name would be overwritten at every print. A second print
// within the same second gets "-2", "-3", ... before the extension.
#pragma once

#include <com/HResult.h>

#include <QString>
#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class QRect;
class QWidget;

namespace trazoplot {

class ChartPrinter {
public:
    using Render = std::function<void(QPainter& painter, const QRect& bounds)>;

    ChartPrinter();
    ~ChartPrinter();

    // Printer set-up; its choices stay for the following prints. S_FALSE when cancelled.
    com::HRESULT setup(QWidget* parent);
    // Prints one page drawn by `render`. E_FAIL when the printer or file cannot be opened.
    com::HRESULT print(const Render& render);
    // Where the last print went: the PDF file, or the printer's name.
    QString lastTarget() const { return m_lastTarget; }

    static QString defaultPdfPath();

private:
    QPrinter& printer();
    // Keeps the printer the set-up chose when there is one; else the default printer, or a new
    // PDF file.
    void chooseTarget(QPrinter& p) const;
    void usePdfFile(QPrinter& p) const;

    std::unique_ptr<QPrinter> m_printer;
    bool m_configured = false;
    QString m_lastTarget;
};

} // namespace trazoplot
