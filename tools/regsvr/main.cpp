// brisora-regsvr: registers or unregisters in-process component modules (such as GAUGEKIT.so
// and TRAZOPLOT.so) in the registry file, by calling the modules' own entry points.
// Exit status: 0 every module done, 1 some module failed, 64 bad usage (nothing is done).
#include "com/HResult.h"
#include "com/ObjectLoader.h"

#include <BrisoraVersion.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr int kUsageError = 64;

void printUsage(QTextStream& to) {
    to << "usage: brisora-regsvr [--unregister] [--] MODULE...\n"
          "Registers each module in the registry file named by BRISORA_REGISTRY\n"
          "(default: brisora/registry.json under the user's configuration folder);\n"
          "with --unregister, removes its entries. A module whose name starts with '-'\n"
          "goes after --. --version prints the version.\n";
}

int usageError(QTextStream& err, const QString& why = {}) {
    if (!why.isEmpty())
        err << "brisora-regsvr: " << why << "\n";
    printUsage(err);
    return kUsageError;
}

int process(const QStringList& modules, bool unregister, QTextStream& out, QTextStream& err) {
    int status = 0;
    for (const QString& module : modules) {
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption unregister(QStringLiteral("unregister"),
                                        QStringLiteral("Removes the modules' entries."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Prints the version."));
    parser.addOptions({help, unregister, version});
    if (!parser.parse(app.arguments()))
        return usageError(err, parser.errorText());
    if (parser.isSet(help)) {
        printUsage(out);
        return 0;
    }
    if (parser.isSet(version)) {
        out << "brisora-regsvr " << brisora::version::kText << "\n";
        return 0;
    }
    const QStringList modules = parser.positionalArguments();
    if (modules.isEmpty())
        return usageError(err);
    return process(modules, parser.isSet(unregister), out, err);
}
