#include "MeterTaskMenu.h"

#include "FormPropertyEdit.h"
#include "PropertySnapshot.h"

#include <GaugeKit/MeterWidget.h>

#include <QAction>
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
    // Through the form, so that the change is undoable and saved with the form.
    if (QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(m_meter))
        commitPropertyEdit(*form, *m_meter, before, after, QStringLiteral("Edit Meter Properties"));
}
