// meterctl: registers the GAUGEKIT meter module, saves, shows and draws meter settings files, and
// watches meters' events.
#include "MeterCtl.h"
#include "MeterRenderer.h"
#include "MeterWatch.h"

#include <com/Control.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>

namespace {

const char* const kUsage =
    "usage: meterctl register [--module PATH]\n"
    "       meterctl unregister [--module PATH]\n"
    "       meterctl save FILE [--size WxH | --extent WxH] [Name=Value | Name[i]=Value ...]\n"
    "                (--size in pixels at 96 dpi, --extent in HIMETRIC; default 200x200 pixels)\n"
    "       meterctl dump FILE\n"
    "       meterctl render FILE OUT.png|OUT.svg|OUT.pdf [--size WxH] [--value V ...]\n"
    "       meterctl watch FILE [FILE ...] [--seconds N]\n"
    "                (one JSON line per event; commands on standard input, one a line:\n"
    "                 value I CHANNEL V | values I V0 V1 ... | set I NAME[k] VALUE |\n"
    "                 get I NAME[k] | get I Value[k] | call I METHOD | save I FILE | quit)\n";

int usage(QTextStream& err) {
    err << kUsage;
    return 64;
}

bool parseSize(const QString& text, QSize& size) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return false;
    size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return size.width() > 0 && size.height() > 0;
}

int registration(MeterCtl& ctl, const QStringList& args, bool install, QTextStream& err) {
    QString module = MeterCtl::defaultModulePath();
    if (args.size() == 2 && args[0] == QLatin1String("--module"))
        module = args[1];
    else if (!args.isEmpty())
        return usage(err);
    return ctl.registerModule(module, install);
}

int save(MeterCtl& ctl, QStringList args, QTextStream& err) {
    const QString file = args.takeFirst();
    QSize extent;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool pixels = args[i] == QLatin1String("--size");
        if (!pixels && args[i] != QLatin1String("--extent"))
            continue;
        QSize size;
        if (i + 1 >= args.size() || !parseSize(args[i + 1], size))
            return usage(err);
        extent = pixels ? QSize(com::pixelsToHimetric(size.width()),
                                com::pixelsToHimetric(size.height()))
                        : size;
        args.remove(i, 2);
        --i;
    }
    return ctl.save(file, args, extent);
}

int render(MeterCtl& ctl, const QStringList& args, QTextStream& err) {
    if (args.size() < 2)
        return usage(err);
    QSize size = MeterRenderer::kDefaultSize;
    QList<double> values;
    for (qsizetype i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage(err);
        if (args[i] == QLatin1String("--size") && parseSize(args[i + 1], size))
            continue;
        bool ok = false;
        const double v = args[i + 1].toDouble(&ok);
        if (args[i] != QLatin1String("--value") || !ok) {
            err << "meterctl: bad option " << args[i] << " " << args[i + 1] << "\n";
            return 64;
        }
        values.append(v);
    }
    return ctl.render(args[0], args[1], size, values);
}

int watch(QStringList args, QTextStream& out, QTextStream& err) {
    double seconds = 0;
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0) {
        bool ok = false;
        seconds = at + 1 < args.size() ? args[at + 1].toDouble(&ok) : 0;
        if (!ok || seconds <= 0)
            return usage(err);
        args.remove(at, 2);
    }
    if (args.isEmpty())
        return usage(err);
    MeterWatch harness(out, err);
    if (!harness.load(args))
        return 1;
    return harness.run(seconds);
}

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv) {
    // meterctl draws offscreen wherever it runs; only watch shows its meters where it can.
    const bool watching = argc > 1 && qstrcmp(argv[1], "watch") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !(watching && hasDisplay()))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(err);
    const QString command = args.takeFirst();
    MeterCtl ctl(out, err);
    if (command == QLatin1String("register") || command == QLatin1String("unregister"))
        return registration(ctl, args, command == QLatin1String("register"), err);
    if (command == QLatin1String("save") && !args.isEmpty())
        return save(ctl, args, err);
    if (command == QLatin1String("dump") && args.size() == 1)
        return ctl.dump(args[0]);
    if (command == QLatin1String("render"))
        return render(ctl, args, err);
    if (command == QLatin1String("watch"))
        return watch(args, out, err);
    return usage(err);
}
