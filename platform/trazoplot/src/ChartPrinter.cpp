#include "ChartPrinter.h"

#include "PrintDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

namespace trazoplot {

namespace {

// The report is laid out at this width and scaled to the page: across the printable width of
// a landscape A4 or Letter page the chart's labels print at about 8 points.
constexpr int kLogicalWidth = 1000;
constexpr int kTitlePx = 17;
constexpr int kLinePx = 12;
constexpr int kHeaderGap = 10;

} // namespace

ChartPrinter::ChartPrinter() = default;
ChartPrinter::~ChartPrinter() = default;

QPrinter& ChartPrinter::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageOrientation(QPageLayout::Landscape);
        m_printer->setDocName(QStringLiteral("Brisora"));
        keepMargins(*m_printer);
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
    // Two prints within one second must not share a file.
    return unusedPath(folder.filePath(QStringLiteral("Brisora-%1.pdf").arg(stamp)));
}

QString ChartPrinter::unusedPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return info.absoluteFilePath();
    const QDir folder = info.absoluteDir();
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString candidate;
    for (int n = 2;; ++n) {
        candidate = folder.filePath(QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

void ChartPrinter::keepMargins(QPrinter& p) {
    const QMarginsF m = p.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF least(std::max(m.left(), kMinMarginMm), std::max(m.top(), kMinMarginMm),
                          std::max(m.right(), kMinMarginMm), std::max(m.bottom(), kMinMarginMm));
    if (least != m)
        p.setPageMargins(least, QPageLayout::Millimeter);
}

com::HRESULT ChartPrinter::setup(QWidget* parent) {
    QPrinter& p = printer();
    if (QPrinterInfo::availablePrinters().isEmpty() || p.outputFormat() == QPrinter::PdfFormat)
        usePdfFile(p); // the set-up shows where a print would go
    if (!PrintDialogs::runSetup(p, parent))
        return com::S_FALSE;
    m_configured = true;
    // The file named in the set-up is where the following prints go, each to a name of its
    // own once the file exists.
    if (p.outputFormat() == QPrinter::PdfFormat && !p.outputFileName().isEmpty())
        m_chosenFile = QFileInfo(p.outputFileName()).absoluteFilePath();
    else
        m_chosenFile.clear();
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
    p.setOutputFileName(m_chosenFile.isEmpty() ? defaultPdfPath() : unusedPath(m_chosenFile));
}

int ChartPrinter::paintHeader(QPainter& painter, const QRect& bounds, const QStringList& header) {
    if (header.isEmpty())
        return 0;
    painter.save();
    painter.setPen(QColor(0x22, 0x22, 0x22));
    QFont font(QStringLiteral("DejaVu Sans"));
    double y = bounds.top();
    for (qsizetype i = 0; i < header.size(); ++i) {
        font.setPixelSize(i == 0 ? kTitlePx : kLinePx);
        font.setBold(i == 0);
        painter.setFont(font);
        const QFontMetricsF fm(font);
        painter.drawText(QPointF(bounds.left(), y + fm.ascent()), header[i]);
        y += fm.height() + (i == 0 ? 4 : 1);
    }
    y += kHeaderGap / 2.0;
    painter.setPen(QPen(QColor(0xB4, 0xB8, 0xBE), 1.0));
    painter.drawLine(QPointF(bounds.left(), y), QPointF(bounds.right(), y));
    painter.restore();
    return int(std::ceil(y - bounds.top())) + kHeaderGap;
}

com::HRESULT ChartPrinter::print(const QStringList& header, const Render& render) {
    QPrinter& p = printer();
    chooseTarget(p);
    keepMargins(p);
    m_lastTarget = p.outputFileName().isEmpty() ? p.printerName() : p.outputFileName();
    QPainter painter;
    if (!painter.begin(&p))
        return com::E_FAIL;
    const QRect paper = p.pageLayout().paintRectPixels(p.resolution());
    const double scale = double(paper.width()) / kLogicalWidth;
    const QRect page(0, 0, kLogicalWidth, int(paper.height() / scale));
    painter.scale(scale, scale);
    const int used = paintHeader(painter, page, header);
    render(painter, page.adjusted(0, used, 0, 0));
    return painter.end() ? com::S_OK : com::E_FAIL;
}

} // namespace trazoplot
