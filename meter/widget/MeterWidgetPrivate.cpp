#include "MeterWidgetPrivate.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterPages.h"
#include "WidgetSurface.h"

#include <com/PropertyFrame.h>

#include <QVBoxLayout>

namespace GaugeKit {

namespace {

using gaugekit::WidgetSurface;

bool isColorMember(std::int32_t dispid) {
    if (dispid == gaugekit::dispid::TitleColor || dispid == gaugekit::dispid::MeterChannelColor)
        return true;
    const gaugekit::PropertyInfo* p = gaugekit::PropertyTable::byDispid(dispid);
    return p && WidgetSurface::isColor(*p);
}

QVariant toQt(const com::Variant& v, bool color) {
    switch (v.type()) {
    case com::VarType::I2:
    case com::VarType::I4:
        return color ? QVariant(WidgetSurface::toColor(v.i4Value())) : QVariant(v.i4Value());
    case com::VarType::Bool:
        return v.boolValue();
    case com::VarType::R8:
        return v.r8Value();
    case com::VarType::BStr:
        return v.stringValue();
    default:
        return {};
    }
}

// The control coerces what it is given to the member's type; only colours need converting.
com::Variant toAutomation(const QVariant& v, bool color) {
    if (color)
        return com::Variant(WidgetSurface::toColorRef(v.value<QColor>()));
    switch (v.typeId()) {
    case QMetaType::Bool:
        return com::Variant(v.toBool());
    case QMetaType::Double:
    case QMetaType::Float:
        return com::Variant(v.toDouble());
    case QMetaType::QString:
        return com::Variant(v.toString());
    default:
        return com::Variant(std::int32_t(v.toInt()));
    }
}

} // namespace

MeterWidgetPrivate::MeterWidgetPrivate(MeterWidget* widget)
    : m_widget(widget)
    , m_site(new com::ControlSite(widget)) {
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_site);
    const auto control = com::ComPtr<gaugekit::CGAUGEKITCtrl>::adopt(new gaugekit::CGAUGEKITCtrl);
    // The meter is made here and hosted at once: it offers every interface the site asks for
    // and starts from its defaults. A window that cannot be made leaves the widget empty, which
    // is all the widget could show in that case anyway.
    std::ignore = m_site->attach(control->unknown());
    std::ignore = m_site->initNew();
    std::ignore = m_site->activate();
    QObject::connect(
        m_site, &com::ControlSite::controlEvent, widget,
        [this](int dispid, const com::VariantList& args) { relayEvent(dispid, args); });
}

QVariant MeterWidgetPrivate::get(std::int32_t dispid) const {
    com::Variant value;
    if (com::failed(m_site->getProperty(dispid, &value)))
        return {};
    return toQt(value, isColorMember(dispid));
}

void MeterWidgetPrivate::set(std::int32_t dispid, const QVariant& value) {
    // A value the control refuses keeps the property as it was, and reading it back shows so: a
    // Qt property setter has nothing else to answer.
    std::ignore = m_site->setProperty(dispid, toAutomation(value, isColorMember(dispid)));
}

QVariantList MeterWidgetPrivate::getList(std::int32_t dispid, int count) const {
    const bool color = isColorMember(dispid);
    QVariantList list;
    for (int i = 0; i < count; ++i) {
        com::Variant value;
        if (com::failed(m_site->getIndexedProperty(dispid, i, &value)))
            break;
        list.append(toQt(value, color));
    }
    return list;
}

void MeterWidgetPrivate::setList(std::int32_t dispid, int count, const QVariantList& values) {
    const bool color = isColorMember(dispid);
    const int n = std::min<int>(count, int(values.size()));
    // As for set(): a refused element keeps its value and reads back unchanged.
    for (int i = 0; i < n; ++i)
        std::ignore = m_site->setIndexedProperty(dispid, i, toAutomation(values.at(i), color));
}

bool MeterWidgetPrivate::call(std::int32_t dispid, const com::VariantList& args) {
    com::Variant result;
    if (com::failed(m_site->callMethod(dispid, args, &result)))
        return false;
    return result.type() != com::VarType::Bool || result.boolValue();
}

bool MeterWidgetPrivate::showPropertyPages() {
    // The pages are made in this process, as the meter is: no registry entry is needed. The
    // frame is the widget's child: deleting the widget while it is open closes it and answers
    // false, after which neither this object nor the widget may be touched.
    return com::succeeded(com::showPropertyPages(m_widget, m_site->unknown(),
                                                 QStringLiteral("Meter"), 0,
                                                 &gaugekit::pages::MeterPages::createPage));
}

void MeterWidgetPrivate::run(std::int32_t dispid, const com::VariantList& args) {
    // The slots that run a method answer nothing; what a method could not do shows in the
    // state the widget reads afterwards.
    std::ignore = m_site->callMethod(dispid, args, nullptr);
}

void MeterWidgetPrivate::relayEvent(int dispid, const com::VariantList& args) {
    namespace ev = gaugekit::eventid;
    switch (dispid) {
    case ev::DrawReady:
        emit m_widget->drawReady();
        return;
    case ev::OnInternalTimer:
        emit m_widget->internalTimer();
        return;
    case ev::OnAlarmEvent:
        if (args.size() == 4)
            emit m_widget->alarmChanged(args.at(0).i4Value(),
                                        MeterWidget::AlarmCode(args.at(1).i4Value()),
                                        args.at(2).r8Value(), args.at(3).boolValue());
        return;
    case com::DISPID_CLICK:
        emit m_widget->clicked();
        return;
    default:
        return;
    }
}

} // namespace GaugeKit
