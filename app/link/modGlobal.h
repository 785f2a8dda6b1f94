#pragma once

#include <BrisoraVersion.h>

#include <QString>
#include <QtGlobal>

// Application-wide values that several windows must agree on. All start zeroed; the main
// window's load gives them their working values.
namespace modGlobal {

// Readings taken since acquisition was last started (one per complete tick, so also seconds).
extern qint32 lNumeroMuestras;
// Scale limits of the temporal-evolution chart: humidity in %, pressure in kPa.
extern double dInicioHumedad;
extern double dFinHumedad;
extern double dInicioPresion;
extern double dFinPresion;
// Number handed to the next child window.
extern qint16 iNumeroVentanaSiguiente;

// The application's title: caption of every message box that names none of its own.
inline const QString strTituloAplicacion = QStringLiteral("Brisora");
// The version of project() in CMakeLists.txt, shown by the about box.
inline constexpr int iVersionMayor = brisora::version::kMajor;
inline constexpr int iVersionMenor = brisora::version::kMinor;
inline constexpr int iVersionRevision = brisora::version::kPatch;

} // namespace modGlobal
