#include "PageExport.h"

#include "PageRenderer.h"
#include "PageWidget.h"
#include "lum/Dib.h"

#include <QBuffer>
#include <QMimeData>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace lum {

namespace {

// Screen pixels per inch: the page's pixels keep their size in SVG and PDF.
constexpr int kScreenDpi = 96;

bool writeSvg(PageWidget& page, QIODevice& device) {
    QSvgGenerator generator;
    generator.setOutputDevice(&device);
    generator.setSize(page.size());
    generator.setViewBox(QRect(QPoint(0, 0), page.size()));
    generator.setResolution(kScreenDpi);
    generator.setTitle(page.windowTitle());
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    PageRenderer::paint(page, painter, PageRenderer::Detail::Vector);
    return painter.end();
}

bool writePdf(PageWidget& page, QIODevice& device) {
    QPdfWriter writer(&device);
    writer.setResolution(kScreenDpi);
    const QSizeF points = QSizeF(page.size()) * 72.0 / kScreenDpi;
    writer.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    writer.setTitle(page.windowTitle());
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    PageRenderer::paint(page, painter, PageRenderer::Detail::Vector);
    return painter.end();
}

template <class Write>
QByteArray bytesOf(PageWidget& page, Write write) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return write(page, buffer) ? buffer.data() : QByteArray();
}

} // namespace

QByteArray PageExport::svg(PageWidget& page) {
    return bytesOf(page, writeSvg);
}

bool PageExport::write(PageWidget& page, int type, QIODevice& device) {
    switch (type) {
    case kMetafileSvg:
        return writeSvg(page, device);
    case kMetafilePdf:
        return writePdf(page, device);
    case kMetafilePng:
        return PageRenderer::image(page).save(&device, "PNG");
    default:
        return false;
    }
}

QMimeData* PageExport::mimeData(PageWidget& page) {
    const QImage image = PageRenderer::image(page);
    auto* data = new QMimeData;
    data->setImageData(image);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    data->setData(QStringLiteral("image/png"), png.data());
    data->setData(QStringLiteral("image/bmp"), Dib::bmpFile(Dib::fromImage(image)));
    data->setData(QStringLiteral("image/svg+xml"), svg(page));
    return data;
}

} // namespace lum
