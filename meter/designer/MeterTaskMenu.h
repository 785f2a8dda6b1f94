// The task-menu entry "Edit Meter Properties..." of a meter on a Designer form: opens the
// meter's property pages and hands what they changed to the form, so the form saves it.
#pragma once

#include <QDesignerTaskMenuExtension>
#include <QObject>
#include <QPointer>

class QAction;

namespace GaugeKit {
class MeterWidget;
}

class MeterTaskMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)
public:
    MeterTaskMenu(GaugeKit::MeterWidget* meter, QObject* parent);

    QAction* preferredEditAction() const override;
    QList<QAction*> taskActions() const override;

private:
    void editProperties();

    QPointer<GaugeKit::MeterWidget> m_meter;
    QAction* m_editAction;
};
