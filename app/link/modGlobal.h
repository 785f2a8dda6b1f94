#pragma once

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
inline constexpr int iVersionMayor = 2;
inline constexpr int iVersionMenor = 0;
inline constexpr int iVersionRevision = 0;

} // namespace modGlobal
