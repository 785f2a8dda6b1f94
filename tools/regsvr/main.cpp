// brisora-regsvr: registers or unregisters in-process component modules (such as GAUGEKIT.so
// and TRAZOPLOT.so) in the registry file, by calling the modules' own entry points.
#include "com/HResult.h"
#include "com/ObjectLoader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr int kUsageError = 64;

int usage(QTextStream& err) {
    err << "usage: brisora-regsvr [--unregister] MODULE...\n"
           "Registers each module in the registry file named by BRISORA_REGISTRY\n"
           "(default: brisora/registry.json under the user's configuration folder).\n";
    return kUsageError;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    const bool unregister = args.removeAll(QStringLiteral("--unregister")) > 0;
    if (args.isEmpty() || args.contains(QStringLiteral("--help")))
        return usage(err);

    int status = 0;
    for (const QString& module : args) {
        const QString path = QFileInfo(module).absoluteFilePath();
        QString why;
        const com::HRESULT hr = unregister ? com::loader::unregisterModule(path, &why)
                                           : com::loader::registerModule(path, &why);
        if (com::failed(hr)) {
            err << "brisora-regsvr: " << path << ": " << com::hresultName(hr);
            if (!why.isEmpty())
                err << ": " << why;
            err << "\n";
            status = 1;
            continue;
        }
        out << (unregister ? "unregistered " : "registered ") << path << "\n";
    }
    return status;
}
