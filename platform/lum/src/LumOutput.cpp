// The page's picture leaving the library: clipboard, picture files, a foreign painter.
#include "lum/LumBase.h"

#include "Library.h"
#include "PageExport.h"
#include "PageRenderer.h"
#include "PageWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>

namespace lum {

namespace {

Library& lib() {
    return Library::instance();
}

bool knownMetafileType(int type) {
    return type == kMetafileSvg || type == kMetafilePdf || type == kMetafilePng;
}

} // namespace

Result LbCopyPageToClipboard(PageHandle page) {
    PageWidget* widget = PageRenderer::prepare(page);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return lib().setResult(kErrFail);
    clipboard->setMimeData(PageExport::mimeData(*widget));
    return lib().setResult(kOk);
}

Result LbSavePageMetafile(PageHandle page, int metafileType, const QString& fileName) {
    if (!lib().pages.get(page))
        return lib().setResult(kErrInvalidHandle);
    if (!knownMetafileType(metafileType) || fileName.isEmpty())
        return lib().setResult(kErrInvalidArg);
    PageWidget* widget = PageRenderer::prepare(page);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || !PageExport::write(*widget, metafileType, file))
        return lib().setResult(kErrFail);
    return lib().setResult(file.commit() ? kOk : kErrFail);
}

Result LbDrawPageInto(QPainter* painter, PageHandle page, const QRect& rect, int mode) {
    Q_UNUSED(mode);
    if (!lib().pages.get(page))
        return lib().setResult(kErrInvalidHandle);
    if (!painter || !painter->isActive() || rect.isEmpty())
        return lib().setResult(kErrInvalidArg);
    PageWidget* widget = PageRenderer::prepare(page);
    if (!widget || widget->width() <= 0 || widget->height() <= 0)
        return lib().setResult(kErrInvalidHandle);
    painter->save();
    painter->translate(rect.topLeft());
    painter->scale(double(rect.width()) / widget->width(),
                   double(rect.height()) / widget->height());
    painter->setClipRect(QRect(QPoint(0, 0), widget->size()), Qt::IntersectClip);
    PageRenderer::paint(*widget, *painter, PageRenderer::Detail::Vector);
    painter->restore();
    return lib().setResult(kOk);
}

} // namespace lum
