#pragma once

#include "clsBarraEstado.h"
#include "clsVentanaHija.h"

#include "archive/ArchiveEntry.h"
#include "remoto/clsFuenteRemota.h"

#include <QObject>

#include <functional>
#include <memory>

// The main window's link when it follows a station service instead of owning the port. The
// service's readings count and go where the local tick's go; its failed ticks count in the
// status bar as local ones do (time-outs and port failures as time-outs, refused check sums,
// a station without readings). The connection is told as a port is: the service's address in
// place of the port and the service's device beside it, "conectando", "abierto", "no se puede
// abrir: <why>" before it was ever reached, and "desconectado" from a loss until it is back.
// The service's own port, while connected and not open, is a notice.
//
// The statistics are the service's: each connection's greeting brings its count, maxima, minima
// and means since it started, which take the place of what was counted here, and the ticks that
// follow add to them. A service started again (another start time) begins new figures, added to
// those of its earlier runs as last seen, so nothing is counted twice or lost.
class clsSeguimientoRemoto : public QObject {
    Q_OBJECT

public:
    using PintaValores = std::function<void(double dHumedad, double dPresion)>;
    using FijaEstadistica = std::function<void(const clsVentanaHija::stCifras& humedad,
                                               const clsVentanaHija::stCifras& presion)>;

    // Key of the status bar's notice about the service's port.
    static inline const QString strCLAVE_AVISO = QStringLiteral("servicio");

    clsSeguimientoRemoto(std::unique_ptr<clsFuenteRemota> objFuente, clsBarraEstado& objEstado,
                         PintaValores evPintaValores, FijaEstadistica evFijaEstadistica = {},
                         QObject* parent = nullptr);

    void subInicia();
    clsFuenteRemota& fuente() const { return *m_objFuente; }

    // The service's port state as the notice tells it ("desconectado" for "lost"...); empty for
    // an open port.
    static QString strfntEstadoPuerto(const QString& strEstado);

private:
    void subSigueConexion(clsFuenteRemota::enEstado enEstado);
    void subSiguePuerto();
    void subTick(const archive::Entry& entrada);
    void subSaludo(const clsMensajeRemoto& saludo);

    // Readings and the figures of each quantity over them.
    struct stResumen {
        qint64 lLecturas = 0;
        clsVentanaHija::stCifras humedad;
        clsVentanaHija::stCifras presion;

        void subAnade(const stResumen& otro);
    };

    std::unique_ptr<clsFuenteRemota> m_objFuente;
    clsBarraEstado& m_objEstado;
    PintaValores m_evPintaValores;
    FijaEstadistica m_evFijaEstadistica;
    qint64 m_lInicioServicioMs = -1; // the start of the run followed; -1 before the first
    stResumen m_resAnteriores;       // the service's earlier runs
    stResumen m_resTotal;            // those and the run followed, up to the last tick
};
