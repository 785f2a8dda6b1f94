// Helper process for the registry tests: writes `count` values under its own key, one locked
// read-modify-write each, to the registry named by BRISORA_REGISTRY.
#include "com/Registry.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString name = args.at(1);
    const int count = args.at(2).toInt();
    com::Registry registry;
    for (int i = 0; i < count; ++i) {
        const com::HRESULT hr =
            registry.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\Writers\\") + name,
                              QStringLiteral("v%1").arg(i), uint(i));
        if (com::failed(hr)) {
            std::fprintf(stderr, "%s\n", qPrintable(registry.lastError()));
            return 1;
        }
    }
    return 0;
}
