#include "MeterTaskMenuFactory.h"

#include "MeterTaskMenu.h"

#include <GaugeKit/MeterWidget.h>

MeterTaskMenuFactory::MeterTaskMenuFactory(QExtensionManager* parent)
    : QExtensionFactory(parent) {}

QObject* MeterTaskMenuFactory::createExtension(QObject* object, const QString& iid,
                                               QObject* parent) const {
    if (iid != QLatin1String(Q_TYPEID(QDesignerTaskMenuExtension)))
        return nullptr;
    if (auto* meter = qobject_cast<GaugeKit::MeterWidget*>(object))
        return new MeterTaskMenu(meter, parent);
    return nullptr;
}
