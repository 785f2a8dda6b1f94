// Gives each meter on a Designer form its task-menu entry.
#pragma once

#include <QExtensionFactory>

class MeterTaskMenuFactory : public QExtensionFactory {
    Q_OBJECT
public:
    explicit MeterTaskMenuFactory(QExtensionManager* parent = nullptr);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};
