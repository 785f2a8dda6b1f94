#include "MeterDesignerPlugin.h"

#include "MeterTaskMenuFactory.h"

#include <GaugeKit/MeterWidget.h>

#include <QDesignerFormEditorInterface>
#include <QDesignerTaskMenuExtension>
#include <QExtensionManager>
#include <QIcon>

MeterDesignerPlugin::MeterDesignerPlugin(QObject* parent)
    : QObject(parent) {}

QString MeterDesignerPlugin::name() const {
    return QStringLiteral("GaugeKit::MeterWidget");
}

QString MeterDesignerPlugin::group() const {
    return QStringLiteral("GAUGEKIT");
}

QString MeterDesignerPlugin::toolTip() const {
    return QStringLiteral("GAUGEKIT meter");
}

QString MeterDesignerPlugin::whatsThis() const {
    return QStringLiteral("A needle, arc or pie meter with up to five channels, alarm arcs and "
                          "an internal timer.");
}

QString MeterDesignerPlugin::includeFile() const {
    return QStringLiteral("GaugeKit/MeterWidget.h");
}

QIcon MeterDesignerPlugin::icon() const {
    return QIcon(QStringLiteral(":/gaugekit-designer/GaugeKit.svg"));
}

bool MeterDesignerPlugin::isContainer() const {
    return false;
}

QWidget* MeterDesignerPlugin::createWidget(QWidget* parent) {
    return new GaugeKit::MeterWidget(parent);
}

bool MeterDesignerPlugin::isInitialized() const {
    return m_initialized;
}

void MeterDesignerPlugin::initialize(QDesignerFormEditorInterface* core) {
    if (m_initialized)
        return;
    m_initialized = true;
    if (QExtensionManager* manager = core ? core->extensionManager() : nullptr)
        manager->registerExtensions(new MeterTaskMenuFactory(manager),
                                    Q_TYPEID(QDesignerTaskMenuExtension));
}

QString MeterDesignerPlugin::domXml() const {
    return QStringLiteral(R"(<ui language="c++">
 <widget class="GaugeKit::MeterWidget" name="meter">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>200</width><height>200</height></rect>
  </property>
 </widget>
</ui>
)");
}
