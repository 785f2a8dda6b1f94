#include "CGAUGEKITCtrl.h"

#include "AboutDialog.h"
#include "DrawRequestPolicy.h"
#include "GaugeKitIds.h"
#include "GaugeKitModule.h"
#include "MeterDispatch.h"
#include "MeterPictureFile.h"
#include "MeterTimerMath.h"
#include "PageValueExchange.h"

#include <com/ControlModule.h>
#include <com/PropExchange.h>
#include <forms/GuardedDialog.h>
#include <lum/Dib.h>
#include <lum/LumBase.h>
#include <lum/LumDiagnostics.h>
#include <lum/LumRun.h>

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace gaugekit {

namespace {

// Window style of the drawing page: a visible child window.
constexpr int kChildWindowStyle = 0x50000000;
constexpr int kOwnerIsControlWindow = 0;
constexpr int kOwnerIsDcWindow = 2;

com::Variant toVariant(const PropertyValue& v) {
    return std::visit([](const auto& value) { return com::Variant(value); }, v);
}

PropertyValue fromVariant(const com::Variant& v, PropertyKind kind) {
    switch (kind) {
    case PropertyKind::Long:
        return v.i4Value();
    case PropertyKind::Bool:
        return v.boolValue();
    case PropertyKind::Double:
        return v.r8Value();
    case PropertyKind::String:
        break;
    }
    return MeterSettings::bounded(v.stringValue());
}

com::Clsid guid(const char* text) {
    return com::guidFromLatin1(text);
}

void selectContext() {
    lum::LrSelectContext(GaugeKitModule::instance().context());
}

} // namespace

com::ControlIdentity CGAUGEKITCtrl::controlIdentity(com::ServerModule* module) {
    com::ControlIdentity id = com::controlIdentity(kIds, MeterDispatch::dispatchInterface(),
                                                   MeterDispatch::eventInterface());
    id.version = MeterPersistence::kVersion;
    id.propertyPages = {guid(kClsidGeneralPage), guid(kClsidLookPage), guid(kClsidScalePage),
                        guid(kClsidAlarmPage), guid(kClsidTimerPage)};
    id.initialSize = QSize(200, 200);
    id.persistedLengthLimit = MeterSettings::kMaxPersistedLength;
    id.module = module;
    return id;
}

CGAUGEKITCtrl::CGAUGEKITCtrl(com::ServerModule* module)
    : ControlBase(controlIdentity(module))
    , m_store(PropertyTable::defaults())
    , m_site(std::make_unique<MeterPageSite>(this)) {
    // Containers reset or load a new control before it draws; until then it holds the
    // defaults, so that nothing is ever drawn from unset values.
    copyStoreToModel();
    GaugeKitModule::instance().add(this);
    // First after every settings file loaded: the open property pages show the new values.
    addLoadObserver([](CGAUGEKITCtrl& meter) { meter.refreshRememberedPages(); });
}

CGAUGEKITCtrl::~CGAUGEKITCtrl() {
    selectContext();
    stopTimer();
    destroyDrawingWindow();
    GaugeKitModule::instance().remove(this);
}

const com::DispatchMap& CGAUGEKITCtrl::dispatchMap() const {
    return MeterDispatch::map();
}

// ---- Properties ----------------------------------------------------------------------------

com::Variant CGAUGEKITCtrl::getProperty(const PropertyInfo& p) const {
    return toVariant(PropertyTable::get(m_store, p));
}

void CGAUGEKITCtrl::putProperty(const PropertyInfo& p, const com::Variant& value) {
    PropertyTable::set(m_store, p, fromVariant(value, p.kind()));
    switch (p.change) {
    case PropertyInfo::Change::Model:
        PropertyTable::copy(model().settings, m_store, p);
        break;
    case PropertyInfo::Change::PageSite:
        m_site->setResizeMode(m_store.windowResizeMode);
        break;
    case PropertyInfo::Change::StoreOnly:
    case PropertyInfo::Change::MarkModified:
        break;
    }
    setModifiedFlag();
}

namespace {

// Runs `fn` on entry `index` of the array an indexed property reads and writes;
// DISP_E_BADINDEX when the array has no such entry.
template <class Arrays, class Fn>
com::HRESULT withEntry(Arrays& arrays, ArrayId which, std::int32_t index, Fn&& fn) {
    return MeterArrays::visit(arrays, which, [index, &fn](auto& list) {
        if (index < 0 || index >= list.size())
            return com::DISP_E_BADINDEX;
        fn(list[index]);
        return com::S_OK;
    });
}

} // namespace

com::HRESULT CGAUGEKITCtrl::getIndexed(ArrayId which, std::int32_t index, com::Variant& out) const {
    const MeterArrays& arrays = m_site->model().arrays;
    return withEntry(arrays, which, index,
                     [&out](const auto& entry) { out = com::Variant(entry); });
}

com::HRESULT CGAUGEKITCtrl::putIndexed(ArrayId which, std::int32_t index,
                                       const com::Variant& value) {
    const com::HRESULT hr = withEntry(model().arrays, which, index, [&value](auto& entry) {
        if constexpr (std::is_same_v<std::decay_t<decltype(entry)>, QString>)
            entry = MeterSettings::bounded(value.stringValue());
        else
            entry = value.i4Value();
    });
    if (com::succeeded(hr))
        setModifiedFlag();
    return hr;
}

// ---- Values --------------------------------------------------------------------------------

void CGAUGEKITCtrl::updateDataValue(std::int32_t index, double value, bool update) {
    MeterModel& m = model();
    if (index >= 0 && index < m.settings.usableChannels())
        m.values[static_cast<std::size_t>(index)] = value;
    if (update) {
        selectContext();
        showValues(lum::PlotHandle());
    }
}

com::HRESULT CGAUGEKITCtrl::updateDynData(const double* first, qsizetype count) {
    if (!first && count > 0)
        return com::E_POINTER;
    selectContext();
    MeterModel& m = model();
    if (!m_site->bigEnough() || !lum::LbIsValidPlot(m.plot()) || !m.processVar())
        return com::S_OK;
    const qsizetype n = std::min<qsizetype>(m.settings.usableChannels(), count);
    std::copy(first, first + n, m.values.begin());
    showValues(m.plot());
    return com::S_OK;
}

void CGAUGEKITCtrl::showValues(lum::PlotHandle plot) {
    MeterModel& m = model();
    if (m.processVar())
        lum::LrUpdateProcessVar(m.processVar(), m.usedValues(), plot);
}

// ---- Rebuild and timer ---------------------------------------------------------------------

void CGAUGEKITCtrl::rebuild() {
    if (m_firstDraw)
        return;
    stopTimer();
    selectContext();
    // Also a plot area that has not painted yet, so that rebuilds never stack plot areas.
    lum::LrReleasePlotObjects(m_site->plot());
    model().setPlot(lum::PlotHandle());
    // A page too small for a meter (or never created) gets no plot.
    if (m_site->bigEnough() && lum::LbIsValidPage(m_site->page()))
        m_site->buildPlot();
    setModifiedFlag();
    startTimer();
}

void CGAUGEKITCtrl::updateMeter() {
    rebuild();
    startTimer();
}

void CGAUGEKITCtrl::updateGraph() {
    updateMeter();
}

void CGAUGEKITCtrl::startTimer() {
    if (!hasWindow())
        return;
    if (!m_store.enableInternalTimer) {
        stopTimer();
        return;
    }
    stopTimer();
    // A frequency of 0 has no finite interval: the timer stays stopped.
    if (const auto ms = MeterTimerMath::intervalMs(m_store.timerFrequency)) {
        setTimer(MeterTimerMath::kTimerId, *ms);
        m_timerRunning = true;
    }
}

void CGAUGEKITCtrl::stopTimer() {
    if (!hasWindow())
        return;
    if (m_timerRunning)
        killTimer(MeterTimerMath::kTimerId);
    m_timerRunning = false;
}

void CGAUGEKITCtrl::onTimer(int) {
    selectContext();
    if (!m_store.sDataSimulationMode) {
        fireEvent(eventid::OnInternalTimer);
        return;
    }
    const auto values = MeterTimerMath::simulate(model().settings, &RuntimeRandom::next);
    // The simulated values are never null; a meter not drawn yet simply keeps them for later.
    std::ignore = updateDynData(values.data(), qsizetype(values.size()));
}

void CGAUGEKITCtrl::fireAlarmEvent(int channel, int code, double value, bool alarm) {
    fireEvent(eventid::OnAlarmEvent,
              {com::Variant(std::int32_t(channel)), com::Variant(std::int32_t(code)),
               com::Variant(value), com::Variant(alarm)});
}

void CGAUGEKITCtrl::onClick() {
    GaugeKitModule::instance().setCurrent(this);
    ControlBase::onClick();
}

// ---- Drawing -------------------------------------------------------------------------------

void CGAUGEKITCtrl::onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) {
    DrawState state;
    state.firstDraw = m_firstDraw;
    state.hasDrawingWindow = !m_drawingWindow.isNull();
    state.remembered = m_drawnSize;
    state.bigEnough = m_site->bigEnough();
    state.controlHasWindow = hasWindow();
    const DrawAction action = DrawRequestPolicy::decide(state, bounds, invalid);
    if (action == DrawAction::None)
        return;
    selectContext();
    switch (action) {
    case DrawAction::FirstDraw:
        m_firstDraw = false;
        m_drawnSize = bounds.size();
        destroyDrawingWindow();
        createDrawingWindow(bounds, dc);
        fireEvent(eventid::DrawReady);
        return;
    case DrawAction::Recreate:
        destroyDrawingWindow();
        createDrawingWindow(bounds, dc);
        m_drawnSize = bounds.size();
        return;
    case DrawAction::Redraw:
        lum::LbRedrawPlot(model().plot(), 1);
        return;
    case DrawAction::None:
        return;
    }
}

void CGAUGEKITCtrl::createDrawingWindow(const QRect& bounds, QPainter& dc) {
    QWidget* parent = controlWindow();
    int ownerFlag = kOwnerIsControlWindow;
    if (!parent) {
        parent = dynamic_cast<QWidget*>(dc.device());
        ownerFlag = kOwnerIsDcWindow;
    }
    m_site->setBigEnough(DrawRequestPolicy::isBigEnough(bounds.size()));
    GaugeKitModule& module = GaugeKitModule::instance();
    lum::PageHandle page;
    {
        QMutexLocker locker(&module.lock());
        const QString className = QStringLiteral("GAUGEKIT%1").arg(module.nextWindowNumber());
        if (!module.ensureLibraryStarted())
            return;
        page = lum::LbCreatePage(className, parent, QStringLiteral("Meter"),
                                 QStringLiteral("PageMenu"),
                                 static_cast<lum::Colorref>(model().settings.windowBackgroundColor),
                                 m_site->resizeMode(), kChildWindowStyle, ownerFlag, bounds.x(),
                                 bounds.y(), bounds.width(), bounds.height(), m_site.get());
    }
    if (!page)
        return;
    m_site->setPage(page);
    m_drawingWindow = lum::LbGetPageWindow(page);
    if (m_drawingWindow && hasWindow())
        lum::LbSetEventTarget(page, controlWindow());
    startTimer();
}

void CGAUGEKITCtrl::destroyDrawingWindow() {
    const lum::PageHandle page = m_site->page();
    if (lum::LbIsValidPage(page))
        lum::LbDestroyPage(page);
    m_site->setPage(lum::PageHandle());
    model().setPlot(lum::PlotHandle());
    m_drawingWindow = nullptr;
}

void CGAUGEKITCtrl::onDrawForeign(QPainter& dc, const QRect& bounds) {
    if (m_firstDraw)
        onDraw(dc, bounds, bounds);
    const lum::PageHandle page = m_site->page();
    const QRect target(bounds.topLeft(), bounds.size());
    if (bounds.topLeft() == QPoint(0, 0))
        lum::LbDrawPageInto(&dc, page, target, 1);
    else
        paintThroughBitmap(dc, target);
    // The next ordinary paint creates the drawing window again and fires DrawReady.
    m_firstDraw = true;
}

void CGAUGEKITCtrl::paintThroughBitmap(QPainter& dc, const QRect& target) {
    // The page as on screen, at the size the drawing window was created for, through a
    // device-independent bitmap, stretched into the target without smoothing; nothing is
    // painted if the conversion fails.
    const QImage picture = lum::diag::grabPage(m_site->page());
    const QImage image = lum::Dib::toImage(lum::Dib::fromImage(picture));
    if (image.isNull())
        return;
    dc.save();
    dc.setRenderHint(QPainter::SmoothPixmapTransform, false);
    dc.drawImage(target, image);
    dc.restore();
}

void CGAUGEKITCtrl::onWindowDestroying() {
    selectContext();
    stopTimer();
    destroyDrawingWindow();
    // The drawing went with the window; a later activation draws anew.
    m_firstDraw = true;
}

// ---- Persistence and output ----------------------------------------------------------------

void CGAUGEKITCtrl::doPropExchange(com::PropExchange& px) {
    const com::HRESULT hr = MeterPersistence::exchange(px, m_store, model().arrays);
    if (com::failed(hr))
        px.setError(hr);
    if (px.isLoading()) {
        // A property bag has no length prefixes; its strings are cut like any other input.
        m_store.boundStrings();
        copyStoreToModel();
    }
}

void CGAUGEKITCtrl::copyStoreToModel() {
    model().settings = m_store;
    m_site->setResizeMode(m_store.windowResizeMode);
}

bool CGAUGEKITCtrl::serializeSaveFile(const QString& fileName) {
    bool written = false;
    return com::succeeded(serializeSaveFile(fileName, &written)) && written;
}

namespace {

// A device, pipe or socket that already exists cannot be replaced by renaming a file over it;
// it is written directly.
bool isSpecialFile(const QString& fileName) {
    const QFileInfo info(fileName);
    return info.exists() && !info.isFile() && !info.isDir();
}

// Runs `save` into `file`; the archive error when a write fails, S_OK otherwise.
template <class Save>
com::HRESULT writeThrough(QFileDevice& file, Save save) {
    const com::HRESULT hr = save(&file);
    if (com::failed(hr))
        return hr;
    return file.flush() ? com::S_OK : com::STG_E_WRITEFAULT;
}

} // namespace

com::HRESULT CGAUGEKITCtrl::serializeSaveFile(const QString& fileName, bool* written) {
    *written = false;
    const auto save = [this](QIODevice* device) { return Save(device, false); };
    if (isSpecialFile(fileName)) {
        QFile device(fileName);
        if (!device.open(QIODevice::WriteOnly))
            return com::S_OK;
        const com::HRESULT hr = writeThrough(device, save);
        *written = com::succeeded(hr);
        return hr;
    }
    // Written beside the old file and renamed over it only when complete, so that a failure
    // at any point leaves the previous settings byte for byte as they were.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return com::S_OK;
    const com::HRESULT hr = writeThrough(file, save);
    if (com::failed(hr)) {
        file.cancelWriting();
        return hr;
    }
    if (!file.commit())
        return com::STG_E_WRITEFAULT;
    *written = true;
    return com::S_OK;
}

com::HRESULT CGAUGEKITCtrl::serializeLoadFile(const QString& fileName, bool* opened) {
    *opened = false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return com::S_OK;
    *opened = true;
    const com::HRESULT hr = Load(&file);
    if (com::failed(hr))
        return hr;
    rebuild();
    // The settings now differ from what the container stored, drawn or not.
    setModifiedFlag();
    // A copy: an observer may remove itself.
    const auto observers = m_loadObservers;
    for (const auto& [id, observer] : observers)
        observer(*this);
    return com::S_OK;
}

int CGAUGEKITCtrl::addLoadObserver(LoadObserver observer) {
    const int id = m_nextObserverId++;
    m_loadObservers.emplace(id, std::move(observer));
    return id;
}

void CGAUGEKITCtrl::removeLoadObserver(int id) {
    m_loadObservers.erase(id);
}

bool CGAUGEKITCtrl::copyToClipboard() {
    selectContext();
    const lum::PageHandle page = m_site->page();
    return lum::LbIsValidPage(page) && lum::LbCopyPageToClipboard(page) == lum::kOk;
}

bool CGAUGEKITCtrl::savePageMeta(std::int32_t metafileType, const QString& fileName) {
    selectContext();
    if (!lum::LbIsValidPage(m_site->page()))
        return false;
    QString target = fileName;
    if (target.isEmpty()) {
        // The container may close the meter while the dialog is open: then nothing is drawn
        // any more and nothing is written.
        const QPointer<QWidget> window = controlWindow();
        const auto chosen = MeterPictureFile::ask(metafileType, window);
        if (!chosen || !window)
            return false;
        target = *chosen;
        selectContext();
    }
    const lum::PageHandle page = m_site->page();
    return lum::LbIsValidPage(page) &&
           lum::LbSavePageMetafile(page, metafileType, target) == lum::kOk;
}

void CGAUGEKITCtrl::aboutBox() {
    forms::GuardedDialog<AboutDialog> dialog(controlWindow());
    dialog.exec();
}

// ---- Property pages ------------------------------------------------------------------------

void CGAUGEKITCtrl::endPageStore(ExchangeDirection direction) {
    if (direction != ExchangeDirection::Store)
        return;
    // Also before the first drawing, when the rebuild keeps the values for later: the container
    // must still learn that there is something to save.
    setModifiedFlag();
    rebuild();
}

void CGAUGEKITCtrl::ExchangeGeneralPage(GeneralPageValues& page, ExchangeDirection direction) {
    PageValueExchange x(m_store, *m_site, direction);
    x.values(page);
    x.array(page.titleString, ArrayId::TitleString);
    x.array(page.titleFont, ArrayId::TitleFont);
    x.array(page.titleColor, ArrayId::TitleColor);
    x.array(page.titleFontStyle, ArrayId::TitleFontStyle);
    x.array(page.titleFontSize, ArrayId::TitleFontSize);
    endPageStore(direction);
}

void CGAUGEKITCtrl::ExchangeLookPage(LookPageValues& page, ExchangeDirection direction) {
    PageValueExchange x(m_store, *m_site, direction);
    x.values(page);
    x.array(page.channelColor, ArrayId::MeterChannelColor);
    x.array(page.channelTagName, ArrayId::MeterChannelTagName);
    endPageStore(direction);
}

void CGAUGEKITCtrl::ExchangeScalePage(ScalePageValues& page, ExchangeDirection direction) {
    exchangeScalars(page, direction);
}

void CGAUGEKITCtrl::ExchangeAlarmPage(AlarmPageValues& page, ExchangeDirection direction) {
    exchangeScalars(page, direction);
}

void CGAUGEKITCtrl::ExchangeTimerPage(TimerPageValues& page, ExchangeDirection direction) {
    // Not a number is brought into range too (it would give the timer no interval).
    double& frequency = page.real(dispid::TimerFrequency);
    const PropertyRange range = *PropertyTable::byDispid(dispid::TimerFrequency)->range;
    frequency =
        std::isnan(frequency) ? range.minimum : std::clamp(frequency, range.minimum, range.maximum);
    exchangeScalars(page, direction);
}

void CGAUGEKITCtrl::exchangeScalars(PageValues& page, ExchangeDirection direction) {
    PageValueExchange x(m_store, *m_site, direction);
    x.values(page);
    endPageStore(direction);
}

void CGAUGEKITCtrl::rememberPage(PageKind kind, RememberedPage* page) {
    m_pages[static_cast<std::size_t>(kind)] = page;
}

void CGAUGEKITCtrl::forgetPage(RememberedPage* page) {
    for (RememberedPage*& remembered : m_pages) {
        if (remembered == page)
            remembered = nullptr;
    }
}

void CGAUGEKITCtrl::refreshRememberedPages() {
    static constexpr std::array<PageKind, 5> kOrder = {
        PageKind::General, PageKind::Timer, PageKind::Alarm, PageKind::Look, PageKind::Scale};
    for (const PageKind kind : kOrder) {
        // Looked up at each step: a refresh may make a page forget itself.
        RememberedPage* page = m_pages[static_cast<std::size_t>(kind)];
        if (page && page->dialogOpen())
            page->refreshFromMeter();
    }
}

} // namespace gaugekit
