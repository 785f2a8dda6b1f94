#include "MeterTaskMenu.h"

#include "PropertySnapshot.h"

#include <GaugeKit/MeterWidget.h>

#include <QAction>
#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>

MeterTaskMenu::MeterTaskMenu(GaugeKit::MeterWidget* meter, QObject* parent)
    : QObject(parent)
    , m_meter(meter)
    , m_editAction(new QAction(QStringLiteral("Edit Meter Properties..."), this)) {
    connect(m_editAction, &QAction::triggered, this, &MeterTaskMenu::editProperties);
}

QAction* MeterTaskMenu::preferredEditAction() const {
    return m_editAction;
}

QList<QAction*> MeterTaskMenu::taskActions() const {
    return {m_editAction};
}

void MeterTaskMenu::editProperties() {
    if (!m_meter)
        return;
    const PropertySnapshot before(*m_meter);
    if (!m_meter->showPropertyPages())
        return;
    const PropertySnapshot after(*m_meter);
    // Through the form's cursor, so that the change is undoable and saved with the form.
    QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(m_meter);
    if (!form)
        return;
    for (const QString& name : after.changedSince(before))
        form->cursor()->setWidgetProperty(m_meter, name, after.value(name));
}
