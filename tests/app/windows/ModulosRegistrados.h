// The meter and strip-chart modules registered in a registry file of the test's own, for as
// long as the object lives; also a stand-in main window that records what children ask of it.
#pragma once

#include "clsVentanaPrincipal.h"

#include "com/ObjectLoader.h"
#include "link/modGlobal.h"

#include <QDir>
#include <QList>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class ModulosRegistrados {
public:
    ModulosRegistrados() {
        qputenv("BRISORA_REGISTRY", m_dir.filePath(QStringLiteral("registry.json")).toLocal8Bit());
        for (const char* modulo : kModulos)
            m_hr.append(com::loader::registerModule(ruta(modulo)));
    }
    ~ModulosRegistrados() {
        for (const char* modulo : kModulos)
            com::loader::unregisterModule(ruta(modulo));
        qunsetenv("BRISORA_REGISTRY");
    }
    bool bRegistrados() const {
        return m_dir.isValid() && m_hr == QList<com::HRESULT>{com::S_OK, com::S_OK};
    }

private:
    static constexpr const char* kModulos[] = {"GAUGEKIT.so", "TRAZOPLOT.so"};
    static QString ruta(const char* modulo) {
        return QDir(qEnvironmentVariable("BRISORA_BIN_DIR")).filePath(QString::fromLatin1(modulo));
    }
    QTemporaryDir m_dir;
    QList<com::HRESULT> m_hr;
};

class VentanaPrincipalFalsa : public clsVentanaPrincipal {
public:
    VentanaPrincipalFalsa() { setInstancia(this); }
    ~VentanaPrincipalFalsa() override { setInstancia(nullptr); }
    void subHabilitaAcciones(bool bHabilitado) override { llamadas.append(bHabilitado); }
    void subAviso(const QString& strClave, const QString& strTexto) override {
        avisos[strClave] = strTexto;
    }
    QList<bool> llamadas;
    QMap<QString, QString> avisos;
};

// The shared values as the main window's load leaves them.
inline void subValoresIniciales() {
    modGlobal::lNumeroMuestras = 0;
    modGlobal::dInicioHumedad = 0.0;
    modGlobal::dFinHumedad = 100.0;
    modGlobal::dInicioPresion = 15.0;
    modGlobal::dFinPresion = 115.0;
}

// Saves a picture of the widget when BRISORA_CAPTURAS names a folder (to look at by eye).
inline void subCaptura(QWidget& w, const QString& nombre) {
    const QString carpeta = qEnvironmentVariable("BRISORA_CAPTURAS");
    if (!carpeta.isEmpty())
        w.grab().save(QDir(carpeta).filePath(nombre + QStringLiteral(".png")));
}
