#include "FormPropertyEdit.h"

#include "PropertySnapshot.h"

#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>
#include <QWidget>

QStringList commitPropertyEdit(QDesignerFormWindowInterface& form, QWidget& widget,
                               const PropertySnapshot& before, const PropertySnapshot& after,
                               const QString& description) {
    const QStringList changed = after.changedSince(before);
    if (changed.isEmpty())
        return changed;
    before.restore(widget, changed);
    form.beginCommand(description);
    for (const QString& name : changed)
        form.cursor()->setWidgetProperty(&widget, name, after.value(name));
    form.endCommand();
    return changed;
}
