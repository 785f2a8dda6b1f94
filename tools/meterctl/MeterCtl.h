// The commands of meterctl. The meter is reached as any container reaches it: created by its
// class id through the registry, hosted in a control site, driven through its dispatch
// interface.
#pragma once

#include <com/HResult.h>
#include <com/MemberDescription.h>

#include <QJsonObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <memory>

namespace com {
class ControlSite;
}
class PropertyAccess;

class MeterCtl {
public:
    MeterCtl(QTextStream& out, QTextStream& err);
    ~MeterCtl();

    // Each returns the process exit code (0 on success) after telling the user what failed.
    int registerModule(const QString& modulePath, bool install);
    // `extent` (HIMETRIC) replaces the new control's 200 x 200 pixels when not empty.
    int save(const QString& file, const QStringList& assignments, const QSize& extent = {});
    int dump(const QString& file);
    // The picture's format follows its extension: .png, .svg or .pdf.
    int render(const QString& file, const QString& picture, const QSize& size,
               const QList<double>& values);

    static QString defaultModulePath();

private:
    bool createMeter();
    bool loadFile(const QString& file);
    bool assign(const QString& argument);
    QJsonObject properties();
    bool fail(const QString& what, com::HRESULT hr);

    QTextStream& m_out;
    QTextStream& m_err;
    std::unique_ptr<com::ControlSite> m_site;
    std::unique_ptr<PropertyAccess> m_access;
};
