#include "com/ClassRegistration.h"

#include <QFileInfo>

namespace com::registration {

const QString classesRoot = QStringLiteral("HKEY_CLASSES_ROOT");

namespace {

QString sub(const QString& key, const QString& name) {
    return key + QLatin1Char('\\') + name;
}

QString typeLibKey(const Guid& lib) {
    return classesRoot + QStringLiteral("\\TypeLib\\") + lib.toString();
}

QString interfaceKey(const Iid& iid) {
    return classesRoot + QStringLiteral("\\Interface\\") + iid.toString();
}

} // namespace

QString clsidKey(const Clsid& clsid) {
    return classesRoot + QStringLiteral("\\CLSID\\") + clsid.toString();
}

void registerControlClass(RegistryTree& tree, const ControlClassInfo& info,
                          const QString& modulePath) {
    const QString key = clsidKey(info.clsid);
    const QString status = QString::number(info.miscStatus);
    tree.deleteKey(key); // registering again leaves exactly one consistent set
    tree.setValue(key, {}, info.typeName);
    tree.setValue(sub(key, QStringLiteral("InprocServer32")), {}, modulePath);
    tree.setValue(sub(key, QStringLiteral("InprocServer32")), QStringLiteral("ThreadingModel"),
                  QStringLiteral("Apartment"));
    tree.createKey(sub(key, QStringLiteral("Insertable")));
    tree.setValue(sub(key, QStringLiteral("MiscStatus")), {}, status);
    tree.setValue(sub(key, QStringLiteral("MiscStatus\\1")), {}, status);
    tree.setValue(sub(key, QStringLiteral("ToolboxBitmap32")), {},
                  QStringLiteral("%1, %2").arg(modulePath).arg(info.toolboxBitmap));
    tree.setValue(sub(key, QStringLiteral("TypeLib")), {}, info.typeLib.toString());
    tree.setValue(sub(key, QStringLiteral("Version")), {}, info.typeLibVersion);
    if (!info.progId.isEmpty()) {
        tree.setValue(sub(key, QStringLiteral("ProgID")), {}, info.progId);
        const QString progKey = sub(classesRoot, info.progId);
        tree.deleteKey(progKey);
        tree.setValue(progKey, {}, info.typeName);
        tree.setValue(sub(progKey, QStringLiteral("CLSID")), {}, info.clsid.toString());
        tree.createKey(sub(progKey, QStringLiteral("Insertable")));
    }
}

void registerPropertyPageClass(RegistryTree& tree, const Clsid& clsid, const QString& typeName,
                               const QString& modulePath) {
    const QString key = clsidKey(clsid);
    tree.deleteKey(key);
    tree.setValue(key, {}, typeName);
    tree.setValue(sub(key, QStringLiteral("InprocServer32")), {}, modulePath);
}

void unregisterClass(RegistryTree& tree, const Clsid& clsid, const QString& progId) {
    const QString key = clsidKey(clsid);
    QString prog = progId;
    if (prog.isEmpty())
        prog = tree.stringValue(sub(key, QStringLiteral("ProgID")));
    tree.deleteKey(key);
    if (!prog.isEmpty()) {
        const QString progKey = sub(classesRoot, prog);
        // Only a ProgID that still names this class is removed.
        const QString named = tree.stringValue(sub(progKey, QStringLiteral("CLSID")));
        if (named.isEmpty() || Guid::fromString(named) == clsid)
            tree.deleteKey(progKey);
    }
}

std::function<void(RegistryTree&, const QString&, bool)>
controlClassRegistrar(ControlClassInfo info) {
    return [info = std::move(info)](RegistryTree& tree, const QString& path, bool install) {
        if (install)
            registerControlClass(tree, info, path);
        else
            unregisterClass(tree, info.clsid, info.progId);
    };
}

void registerTypeLibrary(RegistryTree& tree, const TypeLibraryDescription& lib,
                         const QString& modulePath) {
    const QString version = lib.versionString();
    const QString verKey = sub(typeLibKey(lib.libId), version);
    tree.deleteKey(verKey);
    tree.setValue(verKey, {}, lib.helpString);
    tree.setValue(sub(verKey, QStringLiteral("0\\linux")), {}, modulePath);
    tree.setValue(sub(verKey, QStringLiteral("FLAGS")), {}, QStringLiteral("0"));
    tree.setValue(sub(verKey, QStringLiteral("HELPDIR")), {}, QFileInfo(modulePath).absolutePath());
    for (const InterfaceDescription& i : lib.interfaces) {
        const QString key = interfaceKey(i.iid);
        tree.deleteKey(key);
        tree.setValue(key, {}, i.name);
        tree.setValue(sub(key, QStringLiteral("TypeLib")), {}, lib.libId.toString());
        tree.setValue(sub(key, QStringLiteral("TypeLib")), QStringLiteral("Version"), version);
    }
}

void unregisterTypeLibrary(RegistryTree& tree, const TypeLibraryDescription& lib) {
    const QString libKey = typeLibKey(lib.libId);
    tree.deleteKey(sub(libKey, lib.versionString()));
    if (tree.subKeys(libKey).isEmpty())
        tree.deleteKey(libKey);
    for (const InterfaceDescription& i : lib.interfaces)
        tree.deleteKey(interfaceKey(i.iid));
}

HRESULT clsidFromProgId(const RegistryTree& tree, const QString& progId, Clsid* clsid) {
    if (!clsid)
        return E_POINTER;
    if (progId.isEmpty())
        return CO_E_CLASSSTRING;
    const auto v = tree.value(sub(sub(classesRoot, progId), QStringLiteral("CLSID")));
    Clsid parsed;
    if (!v || !Guid::parse(v->toString(), parsed))
        return REGDB_E_CLASSNOTREG;
    *clsid = parsed;
    return S_OK;
}

HRESULT inprocServerPath(const RegistryTree& tree, const Clsid& clsid, QString* path) {
    if (!path)
        return E_POINTER;
    const QString p = tree.stringValue(sub(clsidKey(clsid), QStringLiteral("InprocServer32")));
    if (p.isEmpty())
        return REGDB_E_CLASSNOTREG;
    *path = p;
    return S_OK;
}

} // namespace com::registration
