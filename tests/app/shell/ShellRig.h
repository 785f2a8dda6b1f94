#pragma once

#include "StationFrames.h"
#include "clsAreaHijas.h"
#include "clsVentanaHija.h"
#include "clsVentanaPrincipal.h"
#include "frmMDIPrincipal.h"

#include "archive/ArchiveWriter.h"
#include "link/frmServidorTramas.h"
#include "link/modGlobal.h"

#include "comm/FakeSerialBackend.h"
#include "forms/Form.h"
#include "forms/MessageBox.h"
#include "forms/VirtualScheduler.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <memory>

// A child window that records what the main window asks of it. It guards its unload like the
// real children; the temporal-evolution kind comes back when called after it was closed.
class HijaDoble : public forms::Form, public clsVentanaHija {
public:
    HijaDoble(const QString& strNombre, const QString& strTitulo, QStringList& log, bool bVuelve)
        : m_strNombre(strNombre)
        , m_log(log)
        , m_bVuelve(bVuelve) {
        setWindowTitle(strTitulo);
        setClientSizeTwips(4000, 3000);
    }

    QWidget* frmVentana() override { return this; }
    void subCerrarVentana() override {
        anota(u"subCerrarVentana");
        if (bSeQueda) {
            return;
        }
        m_bImpideCierre = false;
        if (auto* objPrincipal = clsVentanaPrincipal::objInstancia()) {
            objPrincipal->subHabilitaAcciones(false);
        }
        unload();
    }
    void evPreparaImpresora() override { anota(u"evPreparaImpresora"); }
    void evImprimeMuñeco() override { anota(u"evImprimeMuñeco"); }
    void evPropiedadesMuñeco() override { anota(u"evPropiedadesMuñeco"); }
    void evPintaMuñeco() override { anota(u"evPintaMuñeco"); }
    void evValoresDefecto() override { anota(u"evValoresDefecto"); }
    void evPintaValores(double& dHumedad, double& dPresion) override {
        vuelveSiCerrada();
        valores.append({dHumedad, dPresion});
        muestras.append(modGlobal::lNumeroMuestras);
    }

    QList<QPair<double, double>> valores;
    QList<qint32> muestras; // the counter each reading saw
    bool bSeQueda = false;  // a faulty child that stays open when told to close

protected:
    void queryUnload(bool& cancel) override { cancel = m_bImpideCierre; }

private:
    void anota(QStringView strOperacion) {
        vuelveSiCerrada();
        m_log << m_strNombre + u'.' + strOperacion.toString();
    }
    void vuelveSiCerrada() {
        if (m_bVuelve && isHidden()) {
            m_bImpideCierre = true;
            show();
        }
    }

    QString m_strNombre;
    QStringList& m_log;
    bool m_bVuelve;
    bool m_bImpideCierre = true;
};

// Frames as they travel on the line.
inline QByteArray respuesta(int iLectura) {
    return testsupport::reply(iLectura);
}
inline QByteArray tramaError() {
    return testsupport::errorFrame();
}

// A station on the fake device: it answers each request after `iDemoraMs` unless it is silent,
// or by its next planned step.
struct EstacionDoble {
    enum class Paso { Responde, Calla, TrabaYError, SumaErronea };
    QList<Paso> plan;
    int iLectura = 512;
    int iDemoraMs = 10;
    bool bCallada = false;
    QByteArray pendiente;
    bool bTrabada = false;
    int iPeticiones = 0; // requests heard (the fake device goes away with the frame server)

    void escucha(comm::FakeSerialBackend& fake, const QByteArray& bytes) {
        if (pendiente.isEmpty() && bytes == "\x01") {
            if (bTrabada) {
                bTrabada = false;
                fake.deliverAfter(5, tramaError());
            }
            return;
        }
        pendiente += bytes;
        if (pendiente.size() < 8) {
            return;
        }
        pendiente.clear();
        ++iPeticiones;
        const Paso paso =
            plan.isEmpty() ? (bCallada ? Paso::Calla : Paso::Responde) : plan.takeFirst();
        if (paso == Paso::Responde) {
            fake.deliverAfter(iDemoraMs, respuesta(iLectura));
        } else if (paso == Paso::SumaErronea) {
            QByteArray estropeada = respuesta(iLectura + 1000);
            estropeada[7] = static_cast<char>(estropeada[7] + 1);
            fake.deliverAfter(iDemoraMs, estropeada);
        } else if (paso == Paso::TrabaYError) {
            fake.deliverAfter(iDemoraMs, respuesta(iLectura).left(3));
            bTrabada = true;
        }
    }
};

// The main window on a fake station in virtual time, with two recording children and, when
// given a way to make one, a readings archive on the same clock.
struct ShellRig {
    using FabricaArchivo =
        std::function<std::unique_ptr<archive::ArchiveWriter>(forms::Scheduler& reloj)>;

    forms::VirtualScheduler reloj;
    comm::FakeSerialBackend* fake = nullptr;
    EstacionDoble estacion;
    QStringList log;
    HijaDoble* valores = nullptr;
    HijaDoble* simulacion = nullptr;
    std::unique_ptr<frmMDIPrincipal> principal;

    explicit ShellRig(const FabricaArchivo& fabricaArchivo = {}) {
        qunsetenv("BRISORA_COM2");
        forms::Scheduler::setInstance(&reloj);
        frmMDIPrincipal::stFabricas f;
        f.frmServidorTramas = [this] {
            fake = new comm::FakeSerialBackend(reloj);
            fake->setResponder([this](comm::FakeSerialBackend& d, const QByteArray& b) {
                estacion.escucha(d, b);
            });
            return std::make_unique<frmServidorTramas>(std::unique_ptr<comm::SerialBackend>(fake),
                                                       reloj);
        };
        f.frmHijoValoresInstantaneos = [this] {
            auto hija = std::make_unique<HijaDoble>(
                QStringLiteral("VI"), QStringLiteral("Valores Instantáneos"), log, false);
            valores = hija.get();
            return hija;
        };
        f.frmHijoSimulacion = [this] {
            auto hija = std::make_unique<HijaDoble>(
                QStringLiteral("SIM"), QStringLiteral("Evolución Temporal"), log, true);
            simulacion = hija.get();
            return hija;
        };
        if (fabricaArchivo) {
            f.archivo = [this, fabricaArchivo] { return fabricaArchivo(reloj); };
        }
        principal = std::make_unique<frmMDIPrincipal>(std::move(f), reloj);
        principal->setMuestraAcercaDe([this](QWidget*) { log << QStringLiteral("frmAbout"); });
        principal->show();
    }
    ~ShellRig() {
        principal.reset();
        forms::Scheduler::setInstance(nullptr);
    }
    ShellRig(const ShellRig&) = delete;
    ShellRig& operator=(const ShellRig&) = delete;

    void activa(HijaDoble* hija) const { principal->areaHijas().subMuestra(hija); }
    void inicia() const { principal->menuAccionesOpciones_Click(0); }
    void detiene() const { principal->menuAccionesOpciones_Click(1); }
    // Requests written to the station: the reading each asked for and when it went out. Unlock
    // bytes between them are skipped.
    QList<QPair<int, qint64>> peticiones() const {
        QList<QPair<int, qint64>> lista;
        const auto& w = fake->writes();
        for (qsizetype i = 0; i < w.size();) {
            if (w[i].bytes == QByteArray(1, '\x40') && i + 8 <= w.size()) {
                lista.append({static_cast<quint8>(w[i + 5].bytes.at(0)), w[i].atMs});
                i += 8;
            } else {
                ++i;
            }
        }
        return lista;
    }
};
