// The values of a widget's own designable properties at one moment (those its class adds to
// QWidget's), to tell which of them an editor outside the form changed.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class QObject;

class PropertySnapshot {
public:
    explicit PropertySnapshot(const QObject& object);

    QVariant value(const QString& name) const { return m_values.value(name); }
    // Names whose values differ from `earlier`, in declaration order.
    QStringList changedSince(const PropertySnapshot& earlier) const;
    // Writes the values of `names` back into `object`.
    void restore(QObject& object, const QStringList& names) const;

private:
    QStringList m_names;
    QHash<QString, QVariant> m_values;
};
