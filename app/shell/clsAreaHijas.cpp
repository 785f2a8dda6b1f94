#include "clsAreaHijas.h"

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

clsAreaHijas::clsAreaHijas(QMdiArea& mdiArea)
    : QObject(&mdiArea)
    , m_mdiArea(mdiArea) {
    connect(&m_mdiArea, &QMdiArea::subWindowActivated, this, &clsAreaHijas::subActivado);
}

void clsAreaHijas::subAgrega(QWidget* frmHija) {
    // The child places itself where it was designed; its frame takes that place. Children
    // have a fixed size: the frame offers neither minimize nor maximize.
    const QPoint posicion = frmHija->pos();
    const QSize tamano = frmHija->size();
    QMdiSubWindow* marco =
        m_mdiArea.addSubWindow(frmHija, Qt::SubWindow | Qt::WindowTitleHint |
                                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    marco->setAttribute(Qt::WA_DeleteOnClose, false);
    marco->move(posicion);
    // Sized before it is first shown, so the child never passes through a smaller size.
    marco->resize(tamano.grownBy(marco->contentsMargins()));
    marco->setWindowIcon(frmHija->windowIcon());
    m_marcos.append(marco);
    marco->hide();
    frmHija->installEventFilter(this);
}

void clsAreaHijas::subMuestra(QWidget* frmHija) {
    QMdiSubWindow* marco = subfntMarco(frmHija);
    if (marco == nullptr) {
        return;
    }
    frmHija->show();
    subMuestraMarco(marco);
}

void clsAreaHijas::subMuestraMarco(QMdiSubWindow* marco) {
    // The frame wraps the size the child gave itself, whether or not it fixed that size.
    const QSize tamano = marco->widget()->size();
    marco->show();
    if (!tamano.isEmpty()) {
        marco->resize(tamano + (marco->size() - marco->widget()->size()));
    }
    m_mdiArea.setActiveSubWindow(marco);
    subActivado(marco);
}

QMdiSubWindow* clsAreaHijas::subfntMarco(const QWidget* frmHija) const {
    for (const auto& marco : m_marcos) {
        if (marco && marco->widget() == frmHija) {
            return marco;
        }
    }
    return nullptr;
}

QWidget* clsAreaHijas::frmfntActiva() const {
    for (auto it = m_historia.crbegin(); it != m_historia.crend(); ++it) {
        if (*it && (*it)->isVisibleTo(&m_mdiArea) && (*it)->widget() != nullptr) {
            return (*it)->widget();
        }
    }
    return nullptr;
}

QList<QWidget*> clsAreaHijas::frmsfntAbiertas() const {
    QList<QWidget*> abiertas;
    for (const auto& marco : m_marcos) {
        if (marco && marco->isVisibleTo(&m_mdiArea) && marco->widget() != nullptr) {
            abiertas.append(marco->widget());
        }
    }
    return abiertas;
}

void clsAreaHijas::subActivado(QMdiSubWindow* marco) {
    if (marco == nullptr || !m_marcos.contains(marco)) {
        return;
    }
    m_historia.removeAll(marco);
    m_historia.append(marco);
}

void clsAreaHijas::subOculta(QMdiSubWindow* marco) {
    const bool bEraActiva = frmfntActiva() == marco->widget();
    marco->hide();
    if (bEraActiva) {
        subActivaSiguiente();
    }
}

void clsAreaHijas::subActivaSiguiente() {
    QWidget* frmSiguiente = frmfntActiva();
    if (frmSiguiente != nullptr) {
        m_mdiArea.setActiveSubWindow(subfntMarco(frmSiguiente));
    }
}

bool clsAreaHijas::eventFilter(QObject* objeto, QEvent* evento) {
    const auto tipo = evento->type();
    if (tipo != QEvent::HideToParent && tipo != QEvent::ShowToParent) {
        return false;
    }
    QMdiSubWindow* marco = subfntMarco(qobject_cast<QWidget*>(objeto));
    if (marco == nullptr) {
        return false;
    }
    if (tipo == QEvent::HideToParent && !marco->isMinimized() && !marco->isHidden()) {
        subOculta(marco);
    } else if (tipo == QEvent::ShowToParent && marco->isHidden()) {
        subMuestraMarco(marco);
    }
    return false;
}

void clsAreaHijas::subListaVentanas(QMenu* menu) {
    const auto acciones = menu->actions();
    for (qsizetype i = 1; i < acciones.size(); ++i) {
        menu->removeAction(acciones[i]);
        acciones[i]->deleteLater();
    }
    const QList<QWidget*> abiertas = frmsfntAbiertas();
    if (abiertas.isEmpty()) {
        return;
    }
    menu->addSeparator();
    QWidget* frmActiva = frmfntActiva();
    int iNumero = 1;
    for (QWidget* frmHija : abiertas) {
        QAction* entrada =
            menu->addAction(QStringLiteral("&%1 %2").arg(iNumero++).arg(frmHija->windowTitle()));
        entrada->setCheckable(true);
        entrada->setChecked(frmHija == frmActiva);
        connect(entrada, &QAction::triggered, this, [this, frmHija] { subMuestra(frmHija); });
    }
}
