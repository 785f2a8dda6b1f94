#include "MeterCtl.h"

#include "Assignment.h"
#include "GaugeKitIds.h"
#include "MeterPictureTypes.h"
#include "MeterRenderer.h"
#include "PropertyAccess.h"

#include <com/ControlSite.h>
#include <com/ObjectLoader.h>
#include <com/Registry.h>
#include <com/VariantJson.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// Indexed properties hold a few entries; reading stops at the first bad index.
constexpr int kMaxIndexedEntries = 64;

} // namespace

MeterCtl::MeterCtl(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err) {}

MeterCtl::~MeterCtl() = default;

QString MeterCtl::defaultModulePath() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(QStringLiteral("GAUGEKIT.so"));
    const QString installed =
        programDir.filePath(QStringLiteral(BRISORA_INSTALLED_MODULE_DIR "/GAUGEKIT.so"));
    return QFile::exists(beside) || !QFile::exists(installed) ? QDir::cleanPath(beside)
                                                              : QDir::cleanPath(installed);
}

bool MeterCtl::fail(const QString& what, com::HRESULT hr) {
    m_err << "meterctl: " << what << " (" << com::hresultName(hr) << ")\n";
    return false;
}

int MeterCtl::registerModule(const QString& modulePath, bool install) {
    QString why;
    const com::HRESULT hr = install ? com::loader::registerModule(modulePath, &why)
                                    : com::loader::unregisterModule(modulePath, &why);
    if (com::failed(hr)) {
        fail(QStringLiteral("%1 of %2 failed")
                 .arg(install ? QStringLiteral("registration") : QStringLiteral("unregistration"),
                      modulePath),
             hr);
        if (!why.isEmpty())
            m_err << "meterctl: " << why << "\n";
        return 1;
    }
    m_out << (install ? "registered " : "unregistered ") << modulePath << " in "
          << com::Registry::defaultPath() << "\n";
    return 0;
}

bool MeterCtl::createMeter() {
    m_site = std::make_unique<com::ControlSite>();
    const com::HRESULT hr =
        m_site->create(com::Guid::fromString(QString::fromLatin1(gaugekit::kIds.clsidControl)));
    if (hr == com::REGDB_E_CLASSNOTREG) {
        m_err << "meterctl: the meter control class is not registered in "
              << com::Registry::defaultPath() << "; run `meterctl register` first\n";
        return false;
    }
    if (com::failed(hr))
        return fail(QStringLiteral("cannot create the meter control"), hr);
    const com::HRESULT reset = m_site->initNew();
    if (com::failed(reset))
        return fail(QStringLiteral("cannot reset the meter control"), reset);
    m_access = std::make_unique<PropertyAccess>(*m_site);
    return true;
}

bool MeterCtl::loadFile(const QString& file) {
    com::Variant opened;
    const com::HRESULT hr =
        m_site->callMethod(gaugekit::dispid::SerializeLoadFile, {file}, &opened);
    if (com::failed(hr))
        return fail(QStringLiteral("%1 is not a meter settings file").arg(file), hr);
    if (!opened.boolValue()) {
        m_err << "meterctl: cannot open " << file << "\n";
        return false;
    }
    return true;
}

bool MeterCtl::assign(const QString& argument) {
    const auto a = Assignment::parse(argument);
    if (!a) {
        m_err << "meterctl: expected Name=Value or Name[i]=Value, got \"" << argument << "\"\n";
        return false;
    }
    QString error;
    if (com::succeeded(m_access->set(*a, &error)))
        return true;
    m_err << "meterctl: " << error << "\n";
    return false;
}

int MeterCtl::save(const QString& file, const QStringList& assignments, const QSize& extent) {
    if (!createMeter())
        return 2;
    if (!extent.isEmpty()) {
        const com::HRESULT hr = m_site->control()->SetExtent(extent);
        if (com::failed(hr)) {
            fail(QStringLiteral("cannot set the extent"), hr);
            return 1;
        }
    }
    for (const QString& argument : assignments) {
        if (!assign(argument))
            return 1;
    }
    com::Variant saved;
    const com::HRESULT hr = m_site->callMethod(gaugekit::dispid::SerializeSaveFile, {file}, &saved);
    if (com::failed(hr) || !saved.boolValue()) {
        m_err << "meterctl: cannot write " << file << "\n";
        return 1;
    }
    return 0;
}

QJsonObject MeterCtl::properties() {
    QJsonObject json;
    for (const com::MemberDescription& m : m_access->interface().members) {
        if (m.kind == com::MemberKind::Property) {
            com::Variant v;
            if (com::succeeded(m_site->getProperty(m.id, &v)))
                json.insert(m.name, com::toJson(v));
        } else if (m.kind == com::MemberKind::IndexedProperty) {
            QJsonArray entries;
            com::Variant v;
            for (int i = 0;
                 i < kMaxIndexedEntries && com::succeeded(m_site->getIndexedProperty(m.id, i, &v));
                 ++i)
                entries.append(com::toJson(v));
            json.insert(m.name, entries);
        }
    }
    return json;
}

int MeterCtl::dump(const QString& file) {
    if (!createMeter())
        return 2;
    if (!loadFile(file))
        return 1;
    m_out << QJsonDocument(properties()).toJson(QJsonDocument::Indented);
    return 0;
}

int MeterCtl::render(const QString& file, const QString& picture, const QSize& size,
                     const QList<double>& values) {
    const int type = gaugekit::picture::typeOf(picture);
    if (type == 0) {
        m_err << "meterctl: " << picture << " is not a .png, .svg or .pdf file\n";
        return 64;
    }
    if (!createMeter())
        return 2;
    if (!loadFile(file))
        return 1;
    if (!MeterRenderer::draw(*m_site, size, values)) {
        m_err << "meterctl: the meter drew nothing\n";
        return 1;
    }
    com::Variant saved;
    const com::HRESULT hr =
        m_site->callMethod(gaugekit::dispid::SavePageMeta,
                           {std::int32_t(type), QFileInfo(picture).absoluteFilePath()}, &saved);
    if (com::failed(hr) || !saved.boolValue()) {
        m_err << "meterctl: cannot write " << picture << "\n";
        return 1;
    }
    return 0;
}
