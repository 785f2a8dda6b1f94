// Prints the chart as a one-page landscape report: a header (the container's title, the time
// span shown, the date and time of printing) over the chart, inside margins of at least 15 mm.
// Without a printer on the system, or when the set-up chose none (printing to a file), the
// page goes to a vector PDF file: the one named in the set-up, else a new one in
// $BRISORA_PRINT_DIR when set, else in the home folder, named Brisora-<yyyyMMdd-hhmmss>.pdf.
// An existing file is never overwritten: the name gets "-2", "-3", ... before the extension.
#pragma once

#include <com/HResult.h>

#include <QString>
#include <QStringList>
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
    // Least page margin, in millimetres.
    static constexpr double kMinMarginMm = 15.0;

    ChartPrinter();
    ~ChartPrinter();

    // Printer set-up; its choices stay for the following prints. S_FALSE when cancelled.
    [[nodiscard]] com::HRESULT setup(QWidget* parent);
    // Prints one page: `header` lines (the first as a title) over the chart drawn by
    // `render`. E_FAIL when the printer or file cannot be opened.
    [[nodiscard]] com::HRESULT print(const QStringList& header, const Render& render);
    // Where the last print went: the PDF file, or the printer's name.
    QString lastTarget() const { return m_lastTarget; }

    static QString defaultPdfPath();
    // `path`, or the first of path-2.ext, path-3.ext, ... that does not exist yet.
    static QString unusedPath(const QString& path);

private:
    QPrinter& printer();
    // Keeps the printer the set-up chose when there is one; else the default printer, or a new
    // PDF file.
    void chooseTarget(QPrinter& p) const;
    void usePdfFile(QPrinter& p) const;
    static void keepMargins(QPrinter& p);
    static int paintHeader(QPainter& painter, const QRect& bounds, const QStringList& header);

    std::unique_ptr<QPrinter> m_printer;
    bool m_configured = false;
    QString m_chosenFile; // the file the set-up named, if any
    QString m_lastTarget;
};

} // namespace trazoplot
