#include "ChartPrinter.h"

#include "PrintDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace trazoplot {

namespace {

// The chart is laid out at this width and scaled to the page, so that its text keeps the
// proportions it has on screen.
constexpr int kLogicalWidth = 1400;

} // namespace

ChartPrinter::ChartPrinter() = default;
ChartPrinter::~ChartPrinter() = default;

QPrinter& ChartPrinter::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageOrientation(QPageLayout::Landscape);
        m_printer->setDocName(QStringLiteral("Brisora"));
    }
    return *m_printer;
}

QString ChartPrinter::defaultPdfPath() {
    QString dir = qEnvironmentVariable("BRISORA_PRINT_DIR");
    if (dir.isEmpty())
        dir = QDir::homePath();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    // Absolute, so that whoever reports it can tell a file from a printer's name.
    const QDir folder(QDir(dir).absolutePath());
    QString path = folder.filePath(QStringLiteral("Brisora-%1.pdf").arg(stamp));
    // Two prints within one second must not share a file.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("Brisora-%1-%2.pdf").arg(stamp).arg(n));
    return path;
}

com::HRESULT ChartPrinter::setup(QWidget* parent) {
    QPrinter& p = printer();
    if (QPrinterInfo::availablePrinters().isEmpty() || p.outputFormat() == QPrinter::PdfFormat)
        usePdfFile(p); // the set-up shows where a print would go
    if (!PrintDialogs::runSetup(p, parent))
        return com::S_FALSE;
    m_configured = true;
    return com::S_OK;
}

void ChartPrinter::chooseTarget(QPrinter& p) const {
    const bool havePrinters = !QPrinterInfo::availablePrinters().isEmpty();
    if (m_configured) {
        if (p.outputFormat() == QPrinter::NativeFormat && havePrinters)
            return;
    } else if (havePrinters) {
        p.setOutputFormat(QPrinter::NativeFormat);
        p.setPrinterName(QPrinterInfo::defaultPrinter().printerName());
        return;
    }
    usePdfFile(p);
}

void ChartPrinter::usePdfFile(QPrinter& p) const {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(defaultPdfPath());
}

com::HRESULT ChartPrinter::print(const Render& render) {
    QPrinter& p = printer();
    chooseTarget(p);
    m_lastTarget = p.outputFileName().isEmpty() ? p.printerName() : p.outputFileName();
    QPainter painter;
    if (!painter.begin(&p))
        return com::E_FAIL;
    const QRect paper = p.pageLayout().paintRectPixels(p.resolution());
    const double scale = double(paper.width()) / kLogicalWidth;
    const QRect bounds(0, 0, kLogicalWidth, int(paper.height() / scale));
    painter.scale(scale, scale);
    render(painter, bounds);
    return painter.end() ? com::S_OK : com::E_FAIL;
}

} // namespace trazoplot
