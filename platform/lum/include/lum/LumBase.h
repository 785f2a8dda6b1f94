// Pages, plot areas, text, fonts, lines, palette and page output of the lum drawing library.
//
// All functions run on the GUI thread. Handles are checked on every call; a null, stale,
// foreign or wrongly-kinded handle makes the call fail (kErrInvalidHandle, a null handle,
// 0 or false) without touching anything.
#pragma once

#include "lum/LumTypes.h"

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace lum {

class Context;

/// Makes `context` the current library context (one per module; it holds nothing the
/// caller must manage). Call it first in every entry point that uses the library.
Result LrSelectContext(Context* context);

/// Starts the library: records the callbacks for the first paint of pages and plot areas.
/// Meant once per process; calling it again replaces the callbacks. `flags` is kInitFlags.
Result LbInitialize(Context* context, PageFirstPaintCallback pageCallback,
                    PlotFirstPaintCallback plotCallback, quint32 flags);

/// Records library error `code` (65 plot window without owner, 66 system too old) as the
/// pending error and writes it to the log; the library shows no message boxes.
void LbReportError(int code, int reserved1, int reserved2);
/// Clears the pending library error.
void LbCleanupAfterError();
/// The pending library error (0 if none).
int LbPendingError();
/// Result of the last failed call (kOk after a successful one).
Result LbGetLastError();

/// Creates a page: a child widget of `parent` (a hidden top-level widget when `parent` is
/// null) at x, y, width, height pixels, filled with `background`. At its first paint the
/// page callback is called with `owner` and the page. `className`, `caption`, `menuName`,
/// `resizeMode`, `windowStyle` and `ownerFlag` are recorded; the page never has a menu.
/// Mouse and key events on the page and its plots are forwarded to `parent` (see
/// `LbSetEventTarget`). Returns the null handle on failure (not initialised, bad size).
PageHandle LbCreatePage(const QString& className, QWidget* parent, const QString& caption,
                        const QString& menuName, Colorref background, int resizeMode,
                        int windowStyle, int ownerFlag, int x, int y, int width, int height,
                        void* owner);

/// The page's widget, or null for an invalid handle.
QWidget* LbGetPageWindow(PageHandle page);
/// Destroys the page, its widget, its plot areas and every meter and text on them.
Result LbDestroyPage(PageHandle page);
/// True while the page is alive.
bool LbIsValidPage(PageHandle page);
/// Forwards mouse and key events of the page and its plots to `target` (positions mapped
/// into the target's coordinates; null stops forwarding).
Result LbSetEventTarget(PageHandle page, QWidget* target);

/// Creates a plot area on `page` covering the fractional rectangle x1, y1 .. x2, y2 of the
/// page (each clamped to 0..1), filled with `background`, framed in `frameColor`
/// `frameThickness` pixels wide (0: no frame). At its first paint the plot callback is
/// called with `owner`, the plot and its DC; a plot without owner reports library error 65
/// and stays blank. `context` may be null.
PlotHandle LbCreatePlotArea(Context* context, PageHandle page, double x1, double y1, double x2,
                            double y2, Colorref background, Colorref frameColor, int frameThickness,
                            void* owner);
/// The plot's widget, or null for an invalid handle.
QWidget* LbGetPlotWindow(PlotHandle plot);
/// True while the plot is alive.
bool LbIsValidPlot(PlotHandle plot);
/// Sets the plot's 3D edge: kBevelFlat, kBevelHigh (raised) or kBevelDeep (sunken).
Result LbSetPlotBevel(PlotHandle plot, int style);
/// Repaints the plot (`mode` 1: everything, the cached face is reused when still valid).
Result LbRedrawPlot(PlotHandle plot, int mode);

/// Sets the current font for what follows (tick labels of meters created next, texts added
/// next): colour, face, size in points (1..400), style bits kFontBold/Italic/Underline.
Result LbSetFont(Colorref color, const QString& face, int points, int styleBits);
/// Sets the plot's line attributes for what follows (scale arcs and ticks of meters created
/// next): `style` 0 solid, `thickness` in pixels (clamped 1..20), colour.
Result LbSetLineAttributes(PlotHandle plot, DcHandle dc, int style, int thickness, Colorref color);
/// Adds a static text at the fractional position x, y of the plot, anchored by
/// `positionCode` (see kText* in LumTypes.h), in the current font. `flags` must be 0.
/// Returns the text's id (1..65535) or 0 on failure.
quint16 LbAddText(PlotHandle plot, DcHandle dc, const QString& text, double x, double y,
                  int positionCode, int flags);

/// Puts the page's picture on the clipboard as an image (PNG, a bitmap with a 40-byte header
/// in a .bmp file, and Qt's own image data) and as SVG ("image/svg+xml"). Pending first
/// paints run first, so a page that was never on screen is built. kErrFail without a
/// clipboard.
Result LbCopyPageToClipboard(PageHandle page);
/// Saves the page's picture in `fileName` as kMetafileSvg, kMetafilePdf or kMetafilePng;
/// kErrInvalidArg (and no file) for another type or an empty name. The file is written whole
/// or not at all: a failure leaves any earlier file as it was (kErrFail).
Result LbSavePageMetafile(PageHandle page, int metafileType, const QString& fileName);
/// Draws the page into `painter`, scaled into `rect` (in the painter's coordinates), anew at
/// the painter's resolution: a printer or PDF painter gets lines and text, not pixels.
/// `mode` 1 draws everything. kErrInvalidArg for an empty rectangle or an inactive painter.
Result LbDrawPageInto(QPainter* painter, PageHandle page, const QRect& rect, int mode);

/// The classic 16-colour palette as colour references; black for an index outside 0..15.
Colorref LbPaletteColor(int index);
/// Colour reference 0x00BBGGRR to an opaque QColor (the top byte is ignored).
QColor colorFromColorref(Colorref color);
/// The colour every drawing operation paints for a colour argument: the values 0 to 15 name
/// entries of the palette above (so 12 is bright red and 9 bright blue, for containers that
/// hand over palette indices); any other value is a colour reference 0x00BBGGRR.
QColor drawingColor(Colorref color);
/// Opaque QColor to a colour reference.
Colorref colorrefFromColor(const QColor& color);

} // namespace lum
