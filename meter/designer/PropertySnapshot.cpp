#include "PropertySnapshot.h"

#include <QMetaProperty>
#include <QWidget>

PropertySnapshot::PropertySnapshot(const QObject& object) {
    const QMetaObject* meta = object.metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isDesignable() || !p.isWritable())
            continue;
        const QString name = QString::fromLatin1(p.name());
        m_names.append(name);
        m_values.insert(name, p.read(&object));
    }
}

QStringList PropertySnapshot::changedSince(const PropertySnapshot& earlier) const {
    QStringList changed;
    for (const QString& name : m_names) {
        if (m_values.value(name) != earlier.m_values.value(name))
            changed.append(name);
    }
    return changed;
}

void PropertySnapshot::restore(QObject& object, const QStringList& names) const {
    for (const QString& name : names) {
        if (m_values.contains(name))
            object.setProperty(name.toLatin1().constData(), m_values.value(name));
    }
}
