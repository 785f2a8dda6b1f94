#include "TrazoPlotCtrl.h"

#include "TrazoPlotIds.h"

#include <com/ControlModule.h>
#include <com/PropExchange.h>

#include <QDateTime>
#include <QPainter>

namespace trazoplot {

namespace {

const QString kAxisName = QStringLiteral("axis");

} // namespace

TrazoPlotCtrl::TrazoPlotCtrl(com::ServerModule* module)
    : ControlImpl(controlIdentity(module)) {}

com::InterfaceDescription TrazoPlotCtrl::dispatchInterface() {
    return {com::guidFromLatin1(kIds.iidDispatch), QStringLiteral("_DTrazoPlot"),
            QStringLiteral("Dispatch interface for the TrazoPlot strip chart"), false,
            dispatchTable().members()};
}

com::InterfaceDescription TrazoPlotCtrl::eventInterface() {
    return {com::guidFromLatin1(kIds.iidEvents),
            QStringLiteral("_DTrazoPlotEvents"),
            QStringLiteral("Event interface for the TrazoPlot strip chart"),
            true,
            {}};
}

com::ControlIdentity TrazoPlotCtrl::controlIdentity(com::ServerModule* module) {
    com::ControlIdentity id = com::controlIdentity(kIds, dispatchInterface(), eventInterface());
    id.version = 0x00010000;
    id.initialSize = QSize(480, 240);
    id.module = module;
    return id;
}

const com::DispatchTable<TrazoPlotCtrl>& TrazoPlotCtrl::dispatchTable() {
    using T = TrazoPlotCtrl;
    using com::VarType;
    static const com::DispatchTable<T> table = [] {
        com::DispatchTable<T> t;
        t.indexedProperty(QStringLiteral("AxisVisible"), dispid::AxisVisible, kAxisName,
                          &T::axisVisible, &T::setAxisVisible);
        t.indexedProperty(QStringLiteral("AxisMinimum"), dispid::AxisMinimum, kAxisName,
                          &T::axisMinimum, &T::setAxisMinimum);
        t.indexedProperty(QStringLiteral("AxisMaximum"), dispid::AxisMaximum, kAxisName,
                          &T::axisMaximum, &T::setAxisMaximum);
        t.indexedProperty(QStringLiteral("AxisMajorStep"), dispid::AxisMajorStep, kAxisName,
                          &T::axisMajorStep, &T::setAxisMajorStep);
        t.indexedProperty(QStringLiteral("AxisPosition"), dispid::AxisPosition, kAxisName,
                          &T::axisPosition, &T::setAxisPosition);
        t.indexedProperty(QStringLiteral("AxisColor"), dispid::AxisColor, kAxisName, &T::axisColor,
                          &T::setAxisColor);
        t.indexedProperty(QStringLiteral("AxisTitle"), dispid::AxisTitle, kAxisName, &T::axisTitle,
                          &T::setAxisTitle);
        t.indexedProperty(QStringLiteral("SampleDensity"), dispid::SampleDensity,
                          QStringLiteral("channel"), &T::sampleDensity, &T::setSampleDensity);
        t.method(QStringLiteral("Refresh"), dispid::Refresh, {}, VarType::Empty,
                 [](T& c, const com::VariantList&, com::Variant&) {
                     c.refresh();
                     return com::S_OK;
                 });
        t.method(
            QStringLiteral("AppendSample"), dispid::AppendSample,
            {{QStringLiteral("channel"), VarType::I4}, {QStringLiteral("values"), VarType::R8Ref}},
            VarType::Empty, [](T& c, const com::VariantList& a, com::Variant&) {
                return c.appendSample(a[0].i4Value(), a[1].r8RefPointer(), a[1].r8RefCount());
            });
        t.method(
            QStringLiteral("AppendSamples"), dispid::AppendSamples,
            {{QStringLiteral("channel"), VarType::I4}, {QStringLiteral("values"), VarType::R8Ref}},
            VarType::Empty, [](T& c, const com::VariantList& a, com::Variant&) {
                return c.appendSamples(a[0].i4Value(), a[1].r8RefPointer(), a[1].r8RefCount());
            });
        t.property(QStringLiteral("PrintTitle"), dispid::PrintTitle, &T::printTitle,
                   &T::setPrintTitle);
        t.method(QStringLiteral("PrintChart"), dispid::PrintChart, {}, VarType::Empty,
                 [](T& c, const com::VariantList&, com::Variant&) { return c.printChart(); });
        t.method(QStringLiteral("PrintSetup"), dispid::PrintSetup, {}, VarType::Empty,
                 [](T& c, const com::VariantList&, com::Variant&) { return c.printSetup(); });
        t.method(QStringLiteral("PrintTarget"), dispid::PrintTarget, {}, VarType::BStr,
                 [](T& c, const com::VariantList&, com::Variant& r) {
                     r = com::Variant(c.printer().lastTarget());
                     return com::S_OK;
                 });
        return t;
    }();
    return table;
}

template <class V, class F>
com::HRESULT TrazoPlotCtrl::readAxis(std::int32_t axis, V* out, F&& field) const {
    const AxisSettings* a = nullptr;
    const com::HRESULT hr = m_chart.settings().axis(axis, &a);
    if (com::succeeded(hr))
        *out = field(*a);
    return hr;
}

com::HRESULT TrazoPlotCtrl::changed(com::HRESULT hr) {
    if (com::succeeded(hr))
        setModifiedFlag();
    return hr;
}

com::HRESULT TrazoPlotCtrl::axisVisible(std::int32_t axis, bool* out) const {
    return readAxis(axis, out, [](const AxisSettings& a) { return a.visible; });
}
com::HRESULT TrazoPlotCtrl::setAxisVisible(std::int32_t axis, bool value) {
    return changed(m_chart.settings().setVisible(axis, value));
}
com::HRESULT TrazoPlotCtrl::axisMinimum(std::int32_t axis, double* out) const {
    return readAxis(axis, out, [](const AxisSettings& a) { return a.minimum; });
}
com::HRESULT TrazoPlotCtrl::setAxisMinimum(std::int32_t axis, double value) {
    return changed(m_chart.settings().setMinimum(axis, value));
}
com::HRESULT TrazoPlotCtrl::axisMaximum(std::int32_t axis, double* out) const {
    return readAxis(axis, out, [](const AxisSettings& a) { return a.maximum; });
}
com::HRESULT TrazoPlotCtrl::setAxisMaximum(std::int32_t axis, double value) {
    return changed(m_chart.settings().setMaximum(axis, value));
}
com::HRESULT TrazoPlotCtrl::axisMajorStep(std::int32_t axis, double* out) const {
    return readAxis(axis, out, [](const AxisSettings& a) { return a.step; });
}
com::HRESULT TrazoPlotCtrl::setAxisMajorStep(std::int32_t axis, double value) {
    return changed(m_chart.settings().setStep(axis, value));
}
com::HRESULT TrazoPlotCtrl::axisPosition(std::int32_t axis, double* out) const {
    if (axis == axis::Time)
        return com::DISP_E_BADINDEX;
    return readAxis(axis, out, [](const AxisSettings& a) { return a.position; });
}
com::HRESULT TrazoPlotCtrl::setAxisPosition(std::int32_t axis, double value) {
    return changed(m_chart.settings().setPosition(axis, value));
}
com::HRESULT TrazoPlotCtrl::axisColor(std::int32_t axis, std::int32_t* out) const {
    return readAxis(axis, out, [](const AxisSettings& a) { return a.colorCode; });
}
com::HRESULT TrazoPlotCtrl::setAxisColor(std::int32_t axis, std::int32_t value) {
    return changed(m_chart.settings().setColorCode(axis, value));
}
com::HRESULT TrazoPlotCtrl::axisTitle(std::int32_t axis, QString* out) const {
    return readAxis(axis, out, [](const AxisSettings& a) { return a.title; });
}
com::HRESULT TrazoPlotCtrl::setAxisTitle(std::int32_t axis, QString value) {
    return changed(m_chart.settings().setTitle(axis, value));
}
com::HRESULT TrazoPlotCtrl::sampleDensity(std::int32_t channel, double* out) const {
    return m_chart.settings().density(channel, out);
}
com::HRESULT TrazoPlotCtrl::setSampleDensity(std::int32_t channel, double value) {
    return changed(m_chart.settings().setDensity(channel, value));
}

void TrazoPlotCtrl::refresh() {
    invalidateControl();
}

com::HRESULT TrazoPlotCtrl::appendSample(std::int32_t channel, const double* first,
                                         qsizetype count) {
    if (!first || count < 1)
        return com::E_POINTER;
    const std::int64_t before = m_chart.count();
    const com::HRESULT hr = m_chart.append(channel, *first);
    if (com::failed(hr))
        return hr;
    m_newestAtMs = QDateTime::currentMSecsSinceEpoch();
    if (!hasWindow())
        return hr;
    const QRect dirty =
        m_renderer.dirtyAfterAppend(QRect(QPoint(0, 0), sizePixels()), m_chart, before);
    if (!dirty.isEmpty())
        invalidateControl(dirty);
    return hr;
}

com::HRESULT TrazoPlotCtrl::appendSamples(std::int32_t channel, const double* first,
                                          qsizetype count) {
    if (!first || count < 0)
        return com::E_POINTER;
    if (!ChartSettings::isChannel(channel))
        return com::DISP_E_BADINDEX;
    for (qsizetype i = 0; i < count; ++i)
        (void)m_chart.append(channel, first[i]); // the channel was checked above
    m_newestAtMs = QDateTime::currentMSecsSinceEpoch();
    invalidateControl();
    return com::S_OK;
}

QStringList TrazoPlotCtrl::printHeader() const {
    const QString format = QStringLiteral("dd/MM/yyyy hh:mm:ss");
    const auto clock = [&](qint64 ms) {
        return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString(format);
    };
    QStringList header{m_printTitle.isEmpty() ? QStringLiteral("Evolución temporal")
                                              : m_printTitle};
    const TimeWindow w = m_chart.window(1000.0);
    const std::int64_t newest = m_chart.count() - 1;
    const QString axis = QStringLiteral("%1 a %2").arg(ScaleMath::hoursMinutes(w.leftMinutes),
                                                       ScaleMath::hoursMinutes(w.rightMinutes()));
    if (newest < 0) {
        header << QStringLiteral("Intervalo: %1 (sin lecturas)").arg(axis);
    } else {
        // One sample a second: the left end stood that many seconds before the newest.
        const qint64 fromMs = m_newestAtMs - (newest - w.firstSample) * 1000;
        const qint64 toMs = fromMs + w.span * 1000;
        header
            << QStringLiteral("Intervalo: del %1 al %2 (%3)").arg(clock(fromMs), clock(toMs), axis);
    }
    header << QStringLiteral("Impreso el %1").arg(clock(QDateTime::currentMSecsSinceEpoch()));
    return header;
}

com::HRESULT TrazoPlotCtrl::printSetup() {
    // Cancelling the set-up is no failure: the next print uses the earlier choices.
    return m_printer.setup(controlWindow());
}

com::HRESULT TrazoPlotCtrl::printChart() {
    return m_printer.print(printHeader(), [this](QPainter& p, const QRect& bounds) {
        ChartRenderer renderer;
        renderer.paint(p, bounds, m_chart, {}, false);
    });
}

void TrazoPlotCtrl::onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) {
    m_renderer.paint(dc, bounds, m_chart, invalid, true);
}

void TrazoPlotCtrl::onDrawForeign(QPainter& dc, const QRect& bounds) {
    ChartRenderer renderer;
    renderer.paint(dc, bounds, m_chart, {}, false);
}

void TrazoPlotCtrl::doPropExchange(com::PropExchange& px) {
    ChartSettings& s = m_chart.settings();
    const ChartSettings defaults;
    for (int slot = 0; slot < 3; ++slot) {
        AxisSettings& a = s.slot(slot);
        const AxisSettings& d = defaults.slot(slot);
        const QString key = QStringLiteral("Axis%1").arg(slot);
        px.exchangeBool(key + QStringLiteral("Visible"), a.visible, d.visible);
        px.exchangeDouble(key + QStringLiteral("Minimum"), a.minimum, d.minimum);
        px.exchangeDouble(key + QStringLiteral("Maximum"), a.maximum, d.maximum);
        px.exchangeDouble(key + QStringLiteral("MajorStep"), a.step, d.step);
        px.exchangeDouble(key + QStringLiteral("Position"), a.position, d.position);
        px.exchangeLong(key + QStringLiteral("Color"), a.colorCode, d.colorCode);
        px.exchangeString(key + QStringLiteral("Title"), a.title, d.title);
    }
    for (int channel = 0; channel < kChannelCount; ++channel)
        px.exchangeLong(QStringLiteral("Density%1").arg(channel), s.densitySlot(channel), 1);
    if (px.isLoading())
        s.repair();
}

} // namespace trazoplot
