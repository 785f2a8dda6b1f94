// The library's process-wide state: callbacks, current font, error state and handle tables.
#pragma once

#include "FontSpec.h"
#include "HandleTable.h"
#include "ProcessVar.h"

namespace lum {

class Context;
class Meter;
class PageWidget;
class PlotWidget;

class Library {
public:
    static Library& instance();

    bool initialized = false;
    Context* context = nullptr;
    PageFirstPaintCallback pageCallback;
    PlotFirstPaintCallback plotCallback;
    AlarmCallback alarmCallback;
    FontSpec font;
    int pendingError = 0;

    HandleTable<HandleKind::Page, PageWidget> pages;
    HandleTable<HandleKind::Plot, PlotWidget> plots;
    HandleTable<HandleKind::Dc, PlotWidget> dcs;
    HandleTable<HandleKind::ProcessVar, ProcessVar, Ownership::Owned> processVars;
    HandleTable<HandleKind::Meter, Meter> meters;

    /// Records the result of the call in progress (read back by LbGetLastError).
    Result setResult(Result r) {
        m_lastResult = r;
        return r;
    }
    Result lastResult() const { return m_lastResult; }

private:
    Library() = default;
    ~Library();
    Result m_lastResult = kOk;
};

} // namespace lum
