#include "MeterWatch.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterDispatch.h"
#include "MeterRenderer.h"
#include "PropertyAccess.h"

#include <com/ControlSite.h>
#include <com/VariantJson.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr int kStandardInput = 0;
constexpr qsizetype kReadChunk = 4096;
// A command line longer than this is not one; it is dropped.
constexpr qsizetype kMaxLineLength = 64 * 1024;

QString hresultText(com::HRESULT hr) {
    return QStringLiteral("0x") +
           QString::number(quint32(hr), 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

bool parseDouble(const QString& text, double* v) {
    bool ok = false;
    *v = text.toDouble(&ok);
    return ok;
}

// The key an event argument is printed under: its declared name, first letter small.
QString argumentKey(const QString& name) {
    return name.isEmpty() ? name : name.left(1).toLower() + name.mid(1);
}

} // namespace

struct MeterWatch::Meter {
    std::unique_ptr<com::ControlSite> site;
    com::ComPtr<gaugekit::CGAUGEKITCtrl> control;
    std::unique_ptr<PropertyAccess> access;
};

MeterWatch::MeterWatch(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err) {}

MeterWatch::~MeterWatch() = default;

bool MeterWatch::load(const QStringList& files) {
    m_clock.start();
    for (const QString& file : files) {
        auto meter = std::make_unique<Meter>();
        meter->site = std::make_unique<com::ControlSite>();
        meter->control = com::ComPtr<gaugekit::CGAUGEKITCtrl>::adopt(new gaugekit::CGAUGEKITCtrl);
        // A meter made here offers every interface the site asks for and starts from its
        // defaults; loading the file below is the step that can fail, and is checked.
        std::ignore = meter->site->attach(meter->control->unknown());
        std::ignore = meter->site->initNew();
        const int index = int(m_meters.size());
        connect(meter->site.get(), &com::ControlSite::controlEvent, this,
                [this, index](int dispid, const com::VariantList& args) {
                    onEvent(index, dispid, args);
                });
        com::Variant opened;
        const com::HRESULT hr =
            meter->site->callMethod(gaugekit::dispid::SerializeLoadFile, {file}, &opened);
        if (com::failed(hr) || !opened.boolValue()) {
            m_err << "meterctl: cannot load " << file << " (" << com::hresultName(hr) << ")\n";
            return false;
        }
        meter->access = std::make_unique<PropertyAccess>(*meter->site);
        meter->site->resize(meter->site->controlSize());
        if (com::failed(meter->site->activate())) {
            m_err << "meterctl: cannot show " << file << "\n";
            return false;
        }
        meter->site->show();
        m_meters.push_back(std::move(meter));
    }
    for (const auto& meter : m_meters)
        MeterRenderer::settle(*meter->site);
    return true;
}

int MeterWatch::run(double seconds) {
    if (seconds > 0) {
        m_stopOnEndOfInput = false;
        QTimer::singleShot(qint64(seconds * 1000), qApp, &QCoreApplication::quit);
    }
    m_input = new QSocketNotifier(kStandardInput, QSocketNotifier::Read, this);
    connect(m_input, &QSocketNotifier::activated, this, &MeterWatch::readInput);
    const int code = QCoreApplication::exec();
    m_out.flush();
    return code;
}

void MeterWatch::readInput() {
    char buffer[kReadChunk];
    const ssize_t n = ::read(kStandardInput, buffer, sizeof buffer);
    const bool ended = n <= 0;
    if (!ended)
        m_pending.append(buffer, n);
    for (;;) {
        const qsizetype newline = m_pending.indexOf('\n');
        if (m_skippingLine) {
            // The rest of a line already refused as too long: nothing of it is a command.
            if (newline < 0) {
                m_pending.clear();
                break;
            }
            m_pending.remove(0, newline + 1);
            m_skippingLine = false;
            continue;
        }
        const qsizetype end = newline >= 0 ? newline : m_pending.size();
        if (end > kMaxLineLength) {
            error(QStringLiteral("command line too long"), com::E_INVALIDARG);
            m_skippingLine = true;
            continue;
        }
        if (newline < 0 && (!ended || m_pending.isEmpty())) {
            break;
        }
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!execute(line)) {
            m_quitting = true;
            m_input->setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
    }
    if (ended) {
        m_input->setEnabled(false);
        if (m_stopOnEndOfInput)
            QCoreApplication::exit(0);
    }
}

bool MeterWatch::execute(const QString& line) {
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.first().startsWith(QLatin1Char('#')))
        return true;
    const QString verb = words.first();
    if (verb == QLatin1String("quit"))
        return false;
    bool known = true;
    if (verb == QLatin1String("value"))
        value(words);
    else if (verb == QLatin1String("values"))
        values(words);
    else if (verb == QLatin1String("set"))
        set(line);
    else if (verb == QLatin1String("get"))
        get(words);
    else if (verb == QLatin1String("call"))
        call(words);
    else if (verb == QLatin1String("save"))
        save(words);
    else
        known = false;
    if (!known)
        error(QStringLiteral("unknown command %1").arg(verb), com::E_INVALIDARG);
    m_out.flush();
    return true;
}

MeterWatch::Meter* MeterWatch::target(const QStringList& words, qsizetype count,
                                      const QString& usage) {
    if (words.size() != count && !(count < 0 && words.size() >= -count)) {
        error(QStringLiteral("usage: ") + usage, com::DISP_E_BADPARAMCOUNT);
        return nullptr;
    }
    return meterAt(words[1]);
}

MeterWatch::Meter* MeterWatch::meterAt(const QString& index) {
    bool ok = false;
    const int i = index.toInt(&ok);
    if (!ok || i < 0 || i >= int(m_meters.size())) {
        error(QStringLiteral("no meter %1").arg(index), com::DISP_E_BADINDEX);
        return nullptr;
    }
    return m_meters[std::size_t(i)].get();
}

bool MeterWatch::value(const QStringList& words) {
    Meter* m = target(words, 4, QStringLiteral("value I CHANNEL V"));
    if (!m)
        return false;
    bool channelOk = false;
    double v = 0;
    const int channel = words[2].toInt(&channelOk);
    if (!channelOk || !parseDouble(words[3], &v)) {
        error(QStringLiteral("not a channel and value: %1 %2").arg(words[2], words[3]),
              com::DISP_E_TYPEMISMATCH);
        return false;
    }
    const com::HRESULT hr =
        m->site->callMethod(gaugekit::dispid::UpdateDataValue, {std::int32_t(channel), v, true});
    if (com::failed(hr))
        error(QStringLiteral("UpdateDataValue failed"), hr);
    return com::succeeded(hr);
}

bool MeterWatch::values(const QStringList& words) {
    Meter* m = target(words, -3, QStringLiteral("values I V0 V1 ..."));
    if (!m)
        return false;
    QList<double> list;
    for (qsizetype i = 2; i < words.size(); ++i) {
        double v = 0;
        if (!parseDouble(words[i], &v)) {
            error(QStringLiteral("not a value: %1").arg(words[i]), com::DISP_E_TYPEMISMATCH);
            return false;
        }
        list.append(v);
    }
    const com::HRESULT hr = m->site->callMethod(gaugekit::dispid::UpdateDynData,
                                                {com::Variant::r8Ref(list.data(), list.size())});
    if (com::failed(hr))
        error(QStringLiteral("UpdateDynData failed"), hr);
    return com::succeeded(hr);
}

bool MeterWatch::set(const QString& line) {
    // Nothing after the name puts an empty text.
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*set\s+(\S+)\s+([^\s=]+)(?:\s+(.*))?$)"));
    const auto match = form.match(line);
    if (!match.hasMatch()) {
        error(QStringLiteral("usage: set I NAME VALUE"), com::DISP_E_BADPARAMCOUNT);
        return false;
    }
    Meter* m = meterAt(match.captured(1));
    if (!m)
        return false;
    const auto a = Assignment::parse(match.captured(2) + QLatin1Char('=') + match.captured(3));
    if (!a) {
        error(QStringLiteral("not a property name: %1").arg(match.captured(2)),
              com::DISP_E_UNKNOWNNAME);
        return false;
    }
    QString what;
    const com::HRESULT hr = m->access->set(*a, &what);
    if (com::failed(hr))
        error(what, hr);
    return com::succeeded(hr);
}

bool MeterWatch::get(const QStringList& words) {
    Meter* m = target(words, 3, QStringLiteral("get I NAME or get I NAME[k]"));
    if (!m)
        return false;
    // A name, or a name and an index, as on the left of an assignment.
    const std::optional<Assignment> named = Assignment::parse(words[2] + QLatin1Char('='));
    if (!named) {
        error(QStringLiteral("not a property name: %1").arg(words[2]), com::DISP_E_UNKNOWNNAME);
        return false;
    }
    const QString& name = named->name;
    const std::optional<std::int32_t>& index = named->index;
    com::Variant v;
    // The channels' current values (as the needles show them, simulated ones too).
    if (name.compare(QLatin1String("Value"), Qt::CaseInsensitive) == 0) {
        const auto& values = m->control->model().values;
        if (!index || *index < 0 || *index >= qsizetype(values.size())) {
            error(QStringLiteral("Value needs a channel index 0..4"), com::DISP_E_BADINDEX);
            return false;
        }
        v = com::Variant(values[std::size_t(*index)]);
    } else {
        QString what;
        const com::HRESULT hr = m->access->get(name, index, &v, &what);
        if (com::failed(hr)) {
            error(what, hr);
            return false;
        }
    }
    print({{QStringLiteral("meter"), words[1].toInt()},
           {QStringLiteral("name"), words[2]},
           {QStringLiteral("value"), com::toJson(v)}});
    return true;
}

bool MeterWatch::call(const QStringList& words) {
    Meter* m = target(words, 3, QStringLiteral("call I METHOD"));
    if (!m)
        return false;
    com::Variant result;
    const com::HRESULT hr = m->site->callMethod(words[2], {}, &result);
    if (com::failed(hr)) {
        error(QStringLiteral("cannot call %1").arg(words[2]), hr);
        return false;
    }
    if (result.type() != com::VarType::Empty)
        print({{QStringLiteral("meter"), words[1].toInt()},
               {QStringLiteral("call"), words[2]},
               {QStringLiteral("result"), com::toJson(result)}});
    return true;
}

bool MeterWatch::save(const QStringList& words) {
    Meter* m = target(words, 3, QStringLiteral("save I FILE"));
    if (!m)
        return false;
    com::Variant saved;
    const com::HRESULT hr =
        m->site->callMethod(gaugekit::dispid::SerializeSaveFile, {words[2]}, &saved);
    if (com::failed(hr) || !saved.boolValue()) {
        error(QStringLiteral("cannot write %1").arg(words[2]),
              com::failed(hr) ? hr : com::STG_E_WRITEFAULT);
        return false;
    }
    print({{QStringLiteral("meter"), words[1].toInt()}, {QStringLiteral("saved"), words[2]}});
    return true;
}

void MeterWatch::onEvent(int meter, int dispid, const com::VariantList& args) {
    // Nothing is reported after `quit`, though the loop may still deliver a pending tick.
    if (m_quitting)
        return;
    static const com::InterfaceDescription events = gaugekit::MeterDispatch::eventInterface();
    QList<std::pair<QString, QJsonValue>> fields{{QStringLiteral("t_ms"), m_clock.elapsed()},
                                                 {QStringLiteral("meter"), meter}};
    const com::MemberDescription* event = nullptr;
    for (const com::MemberDescription& e : events.members) {
        if (e.id == dispid)
            event = &e;
    }
    fields.append({QStringLiteral("event"), event ? event->name : QString::number(dispid)});
    static const QStringList alarmKeys = {QStringLiteral("channel"), QStringLiteral("code"),
                                          QStringLiteral("value"), QStringLiteral("alarm")};
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString key = QStringLiteral("arg%1").arg(i);
        if (dispid == gaugekit::eventid::OnAlarmEvent && i < alarmKeys.size())
            key = alarmKeys[i];
        else if (event && i < event->args.size())
            key = argumentKey(event->args[i].name);
        fields.append({key, com::toJson(args[i])});
    }
    print(fields);
}

void MeterWatch::print(const QList<std::pair<QString, QJsonValue>>& fields) {
    QStringList parts;
    for (const auto& [key, value] : fields)
        parts.append(com::jsonText(key) + QLatin1Char(':') + com::jsonText(value));
    m_out << '{' << parts.join(QLatin1Char(',')) << "}\n";
    m_out.flush();
}

void MeterWatch::error(const QString& what, com::HRESULT hr) {
    print({{QStringLiteral("error"), what}, {QStringLiteral("hresult"), hresultText(hr)}});
}
