// Temporary bodies while the library is being written.
#include "lum/Lum.h"
#include "lum/LumDiagnostics.h"

namespace lum {
Result LrSelectContext(Context*) { return kOk; }
Result LbInitialize(Context*, PageFirstPaintCallback, PlotFirstPaintCallback, quint32) { return kErrNotImplemented; }
void LbReportError(int, int, int) {}
void LbCleanupAfterError() {}
int LbPendingError() { return 0; }
Result LbGetLastError() { return kErrNotImplemented; }
PageHandle LbCreatePage(const QString&, QWidget*, const QString&, const QString&, Colorref, int, int, int, int, int, int, int, void*) { return {}; }
QWidget* LbGetPageWindow(PageHandle) { return nullptr; }
Result LbDestroyPage(PageHandle) { return kErrInvalidHandle; }
bool LbIsValidPage(PageHandle) { return false; }
Result LbSetEventTarget(PageHandle, QWidget*) { return kErrInvalidHandle; }
PlotHandle LbCreatePlotArea(Context*, PageHandle, double, double, double, double, Colorref, Colorref, int, void*) { return {}; }
QWidget* LbGetPlotWindow(PlotHandle) { return nullptr; }
bool LbIsValidPlot(PlotHandle) { return false; }
Result LbSetPlotBevel(PlotHandle, int) { return kErrInvalidHandle; }
Result LbRedrawPlot(PlotHandle, int) { return kErrInvalidHandle; }
Result LbSetFont(Colorref, const QString&, int, int) { return kOk; }
Result LbSetLineAttributes(PlotHandle, DcHandle, int, int, Colorref) { return kErrInvalidHandle; }
quint16 LbAddText(PlotHandle, DcHandle, const QString&, double, double, int, int) { return 0; }
Result LbCopyPageToClipboard(PageHandle) { return kErrNotImplemented; }
Result LbSavePageMetafile(PageHandle, int, const QString&) { return kErrNotImplemented; }
Result LbDrawPageInto(QPainter*, PageHandle, const QRect&, int) { return kErrNotImplemented; }
ProcessVarHandle LrCreateProcessVar(const QString&, int, const QString&, int, int) { return {}; }
Result LrDestroyProcessVar(ProcessVarHandle) { return kErrInvalidHandle; }
Result LrSetAlarm(ProcessVarHandle, int, double, const QString&) { return kErrInvalidHandle; }
Result LrSetAlarmCallback(AlarmCallback) { return kOk; }
Result LrUpdateProcessVar(ProcessVarHandle, std::span<const double>, PlotHandle) { return kErrInvalidHandle; }
double LrGetProcessVarValue(ProcessVarHandle, int) { return 0.0; }
int LrGetProcessVarAlarm(ProcessVarHandle, int) { return 0; }
MeterHandle LrCreateNeedleMeter(PlotHandle, ProcessVarHandle, int, double, double, double, double, double, int, int, int, std::span<const Colorref>, double, double, int, int, int, int, bool, int, bool, bool, bool, double, std::span<const Colorref>) { return {}; }
MeterHandle LrCreateArcMeter(PlotHandle, ProcessVarHandle, int, double, double, double, double, double, double, int, int, Colorref, Colorref, double, double, double, int, int, int, bool, int, bool, bool, bool, double, std::span<const Colorref>) { return {}; }
MeterHandle LrCreatePieMeter(PlotHandle, ProcessVarHandle, int, double, double, double, double, double, double, int, int, Colorref, Colorref, double, double, int, int, int, bool, bool, double, std::span<const Colorref>) { return {}; }
Result LrSetAlarmArcRange(PlotHandle, MeterHandle, double, double) { return kErrInvalidHandle; }
Result LrAddMeterBorder(PlotHandle, MeterHandle, double, double, double, double, Colorref, int, Colorref, int) { return kErrInvalidHandle; }
Result LrReleasePlotObjects(PlotHandle) { return kErrInvalidHandle; }
bool LrIsValidMeter(MeterHandle) { return false; }
namespace diag {
int staticLayerBuilds(PlotHandle) { return -1; }
Result renderPlot(PlotHandle, QPainter&) { return kErrInvalidHandle; }
QImage grabPage(PageHandle) { return {}; }
int meterCount(PlotHandle) { return -1; }
} // namespace diag
} // namespace lum
