// The page's picture leaving the library: clipboard, picture files, a foreign painter.
#include "lum/LumBase.h"

#include "Library.h"
#include "PageExport.h"
#include "PageRenderer.h"
#include "PageWidget.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryFile>

#include <filesystem>

namespace lum {

namespace {

Library& lib() {
    return Library::instance();
}

bool knownMetafileType(int type) {
    return type == kMetafileSvg || type == kMetafilePdf || type == kMetafilePng;
}

// Writes the picture beside `fileName` and renames it over the name only when complete, so a
// failure leaves any earlier file as it was. Unlike settings files, pictures are not forced to
// the disk before the rename: an export that a power cut loses is made again, and the wait
// would be most of the time a save takes.
bool writeWhole(PageWidget& page, int type, const QString& fileName) {
    const QFileInfo target(fileName);
    if (target.isDir())
        return false;
    if (target.exists() && !target.isFile()) {
        // A device or a pipe cannot be renamed over: it gets the bytes directly.
        QFile device(fileName);
        return device.open(QIODevice::WriteOnly) && PageExport::write(page, type, device) &&
               device.flush();
    }
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || !PageExport::write(page, type, file) || !file.flush())
        return false;
    // A file saved over keeps its permissions; a new one gets the usual ones, not the
    // temporary's owner-only ones.
    const QFile::Permissions permissions =
        target.exists()
            ? target.permissions()
            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    std::error_code error;
    file.setPermissions(permissions);
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return false;
    file.setAutoRemove(false);
    return true;
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
    return lib().setResult(writeWhole(*widget, metafileType, fileName) ? kOk : kErrFail);
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
