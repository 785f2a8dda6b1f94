#pragma once

#include "clsInfoSistema.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The about box: the program's title and version, two portraits, a credits line, and a
// button that starts the system-information tool found through the registry.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Starts the program at a path as a separate process; false when it could not be started.
    using ArrancaPrograma = std::function<bool(const QString& strRuta)>;

    explicit frmAbout(QWidget* parent = nullptr, clsInfoSistema objInfo = clsInfoSistema());

    void setArrancaPrograma(ArrancaPrograma evArranca) { m_evArranca = std::move(evArranca); }

    void cmdOK_Click();
    void cmdSysInfo_Click() { StartSysInfo(); }
    void StartSysInfo();

    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdSysInfo() const { return m_cmdSysInfo; }
    QLabel* lblVersion() const { return m_lblVersion; }

private:
    void Form_Load();
    QLabel* lblfntEtiqueta(const char* strNombre, const QString& strTexto, double dPuntos,
                           const QRect& rTwips);
    QLabel* picfntImagen(const char* strNombre, const QString& strImagen, const QRect& rTwips);
    QPushButton* cmdfntBoton(const char* strNombre, const QString& strTexto, const QRect& rTwips);

    clsInfoSistema m_objInfo;
    ArrancaPrograma m_evArranca;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdSysInfo = nullptr;
    QLabel* m_lblVersion = nullptr;
};
