// The meter and strip-chart modules registered in a registry file of the test's own, for as
// long as the object lives; and a way to save pictures of windows to look at by eye.
#pragma once

#include "ScopedEnv.h"
#include "TestFiles.h"
#include "com/ObjectLoader.h"

#include <QDir>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class ModulosRegistrados {
public:
    ModulosRegistrados() {
        for (const char* modulo : kModulos)
            m_hr.append(com::loader::registerModule(testsupport::built(modulo)));
    }
    ~ModulosRegistrados() {
        // Every module is unregistered, even after one fails; any failure fails the test.
        bool bTodos = true;
        for (const char* modulo : kModulos)
            bTodos =
                com::succeeded(com::loader::unregisterModule(testsupport::built(modulo))) && bTodos;
        QVERIFY(bTodos);
    }
    ModulosRegistrados(const ModulosRegistrados&) = delete;
    ModulosRegistrados& operator=(const ModulosRegistrados&) = delete;

    bool bRegistrados() const {
        return m_dir.isValid() && m_hr == QList<com::HRESULT>{com::S_OK, com::S_OK};
    }

private:
    static constexpr const char* kModulos[] = {"GAUGEKIT.so", "TRAZOPLOT.so"};
    QTemporaryDir m_dir;
    testsupport::ScopedEnv m_registro{"BRISORA_REGISTRY",
                                      m_dir.filePath(QStringLiteral("registry.json"))};
    QList<com::HRESULT> m_hr;
};

// Saves a picture of the widget when BRISORA_CAPTURAS names a folder (to look at by eye).
inline void subCaptura(QWidget& w, const QString& nombre) {
    const QString carpeta = qEnvironmentVariable("BRISORA_CAPTURAS");
    if (!carpeta.isEmpty())
        w.grab().save(QDir(carpeta).filePath(nombre + QStringLiteral(".png")));
}
