// The GAUGEKIT meter control: a needle, arc or pie meter with up to five channels, drawn
// through the lum drawing library and driven through its dispatch interface _DGAUGEKIT.
#pragma once

#include "MeterPageSite.h"
#include "MeterPersistence.h"
#include "MeterSettings.h"
#include "PageValues.h"
#include "PropertyTable.h"

#include <com/ControlBase.h>

#include <QPointer>
#include <QSize>
#include <array>
#include <functional>
#include <map>
#include <memory>

namespace com {
class ServerModule;
}

namespace gaugekit {

class CGAUGEKITCtrl : public com::ControlBase {
public:
    // `module` is kept locked while the control lives (null when built into a program).
    explicit CGAUGEKITCtrl(com::ServerModule* module = nullptr);
    ~CGAUGEKITCtrl() override;

    static com::ControlIdentity controlIdentity(com::ServerModule* module);

    // The property store (what the dispatch interface reads and writes).
    const MeterSettings& store() const { return m_store; }
    com::Variant getProperty(const PropertyInfo& p) const;
    // `value` is already of the property's type; stores it and runs the change step.
    void putProperty(const PropertyInfo& p, const com::Variant& value);
    // Titles 0..2 and channels 0..4; DISP_E_BADINDEX outside.
    [[nodiscard]] com::HRESULT getIndexed(ArrayId which, std::int32_t index,
                                          com::Variant& out) const;
    [[nodiscard]] com::HRESULT putIndexed(ArrayId which, std::int32_t index,
                                          const com::Variant& value);

    // Methods of the dispatch interface.
    void updateDataValue(std::int32_t index, double value, bool update);
    void updateMeter();
    void updateGraph();
    // Values are read from `first`, never more than `count` of them.
    [[nodiscard]] com::HRESULT updateDynData(const double* first, qsizetype count);
    // S_OK with *opened false when the file cannot be opened; the archive error on bad data.
    [[nodiscard]] com::HRESULT serializeLoadFile(const QString& fileName, bool* opened);
    // S_OK with *written false when the file cannot be created; the archive error when
    // writing fails. The previous file stays as it was unless *written.
    [[nodiscard]] com::HRESULT serializeSaveFile(const QString& fileName, bool* written);
    bool serializeSaveFile(const QString& fileName);
    bool savePageMeta(std::int32_t metafileType, const QString& fileName);
    // Called after every successful SerializeLoadFile, once the meter has been rebuilt, in the
    // order they were added: the open property pages reload their fields from the control
    // here. Returns an id for removeLoadObserver().
    using LoadObserver = std::function<void(CGAUGEKITCtrl&)>;
    int addLoadObserver(LoadObserver observer);
    void removeLoadObserver(int id);
    bool copyToClipboard();
    void aboutBox();

    // Builds the meter again from the model (a no-op before the first drawing).
    void rebuild();
    void startTimer();
    void stopTimer();
    bool timerRunning() const { return m_timerRunning; }

    // The property pages' exchanges: each copies its page's whole value set in `direction`; a
    // store ends with the rebuild step.
    void ExchangeGeneralPage(GeneralPageValues& page, ExchangeDirection direction);
    void ExchangeLookPage(LookPageValues& page, ExchangeDirection direction);
    void ExchangeScalePage(ScalePageValues& page, ExchangeDirection direction);
    void ExchangeAlarmPage(AlarmPageValues& page, ExchangeDirection direction);
    void ExchangeTimerPage(TimerPageValues& page, ExchangeDirection direction);

    // The page of each kind that last exchanged with the meter; a page that goes forgets
    // itself. After a settings file has been loaded the open ones are refreshed, in the order
    // General, Timer, Alarms, Appearance, Scale.
    void rememberPage(PageKind kind, RememberedPage* page);
    void forgetPage(RememberedPage* page);
    void refreshRememberedPages();

    MeterPageSite& pageSite() { return *m_site; }
    MeterModel& model() { return m_site->model(); }
    bool hasDrawn() const { return !m_firstDraw; }
    QWidget* drawingWindow() const { return m_drawingWindow; }

    void fireAlarmEvent(int channel, int code, double value, bool alarm);

protected:
    void doPropExchange(com::PropExchange& px) override;
    void onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) override;
    void onDrawForeign(QPainter& dc, const QRect& bounds) override;
    void onTimer(int id) override;
    void onClick() override;
    void onWindowDestroying() override;
    const com::DispatchMap& dispatchMap() const override;
    void* dispatchObject() override { return this; }

private:
    void createDrawingWindow(const QRect& bounds, QPainter& dc);
    void destroyDrawingWindow();
    void paintThroughBitmap(QPainter& dc, const QRect& target);
    void showValues(lum::PlotHandle plot);
    void copyStoreToModel();
    void endPageStore(ExchangeDirection direction);
    // The exchange of a page with no arrays.
    void exchangeScalars(PageValues& page, ExchangeDirection direction);

    MeterSettings m_store;
    std::unique_ptr<MeterPageSite> m_site;
    QPointer<QWidget> m_drawingWindow;
    QSize m_drawnSize;
    bool m_firstDraw = true;
    bool m_timerRunning = false;
    std::array<RememberedPage*, 5> m_pages{};
    std::map<int, LoadObserver> m_loadObservers;
    int m_nextObserverId = 1;
};

} // namespace gaugekit
