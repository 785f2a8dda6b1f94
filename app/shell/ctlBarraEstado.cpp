#include "ctlBarraEstado.h"

#include <QLabel>

ctlBarraEstado::ctlBarraEstado(QWidget* parent)
    : QStatusBar(parent)
    , m_lblAvisos(new QLabel(this))
    , m_lblEnlace(new QLabel(this))
    , m_lblContadores(new QLabel(this)) {
    setObjectName(QStringLiteral("ctlBarraEstado"));
    setSizeGripEnabled(false);
    m_lblAvisos->setObjectName(QStringLiteral("lblAvisos"));
    m_lblEnlace->setObjectName(QStringLiteral("lblEnlace"));
    m_lblContadores->setObjectName(QStringLiteral("lblContadores"));
    // A long notice (a file's path) gives way to the window's width rather than widen it.
    m_lblAvisos->setMinimumWidth(0);
    m_lblAvisos->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_lblAvisos, 1);
    addPermanentWidget(m_lblEnlace);
    addPermanentWidget(m_lblContadores);
    m_objEstado.setCambio([this] { subMuestra(); });
    subMuestra();
}

void ctlBarraEstado::subMuestra() {
    m_lblAvisos->setText(m_objEstado.strfntAvisos());
    m_lblAvisos->setToolTip(m_objEstado.strfntAvisos());
    m_lblEnlace->setText(m_objEstado.strfntEnlace());
    m_lblContadores->setText(m_objEstado.strfntContadores());
}
