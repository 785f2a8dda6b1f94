#pragma once

#include "com/HResult.h"
#include "com/Registry.h"

#include <QString>
#include <QStringList>

#include <functional>

// Finds the system-information tool through the registry, as the about box's button looks for
// it, and records an installed tool there when the program is set up.
class clsInfoSistema {
public:
    // Root keys, as the registry's handles number them.
    static constexpr quint32 HKEY_CLASSES_ROOT = 0x80000000u;
    static constexpr quint32 HKEY_CURRENT_USER = 0x80000001u;
    static constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;
    static constexpr quint32 HKEY_USERS = 0x80000003u;

    static inline const QString gREGKEYSYSINFOLOC =
        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
    static inline const QString gREGVALSYSINFOLOC = QStringLiteral("MSINFO");
    static inline const QString gREGKEYSYSINFO =
        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    static inline const QString gREGVALSYSINFO = QStringLiteral("PATH");
    static inline const QString strPROGRAMA = QStringLiteral("MSINFO32.EXE");
    // Characters a value may take, its terminating NUL included.
    static constexpr int iTAMANO_BUFFER = 1024;

    explicit clsInfoSistema(com::Registry registro = com::Registry());

    // Reads value `SubKeyRef` of key `KeyName` under root `KeyRoot` as text into `KeyVal`.
    // A string comes back as stored, less one terminating NUL; a 32-bit number as hexadecimal
    // text with the prefix "&h"; another type leaves `KeyVal` as it was. A missing key or value,
    // an unknown root or a value longer than the buffer empties `KeyVal` and returns false.
    bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal) const;

    // The tool's full path: the first registry value, else the second value's folder when it
    // holds the tool's file. Empty when neither gives one.
    QString strfntRutaHerramienta() const;

    // Records `strRuta` (an installed system-information program) as the tool's full path.
    [[nodiscard]] com::HRESULT hrRegistraHerramienta(const QString& strRuta);

    // The first of the usual system-information programs found on the search path, or empty.
    static QString strfntBuscaHerramienta(const QStringList& strlCandidatos = {
                                              QStringLiteral("hardinfo"),
                                              QStringLiteral("gnome-system-monitor"),
                                              QStringLiteral("kinfocenter")});

private:
    com::Registry m_registro;
};
