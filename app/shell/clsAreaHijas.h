#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;

// The main window's workspace: it frames each child window in an MDI subwindow and keeps the
// subwindow in step with the child. A child that hides (unloads) takes its frame away and
// hands the activation to the child used before it; a child that shows itself again comes
// back in its frame, active. Frames are never deleted while the workspace lives, so the main
// window can keep calling a child that was closed.
class clsAreaHijas : public QObject {
    Q_OBJECT

public:
    explicit clsAreaHijas(QMdiArea& mdiArea);

    // Frames `frmHija` (which must have no parent) in the workspace, at the place the child
    // gave itself; it stays hidden until it is shown.
    void subAgrega(QWidget* frmHija);
    // Shows the child in its frame and makes it the active one.
    void subMuestra(QWidget* frmHija);

    // The active child: the visible child last activated, or null when none is open.
    QWidget* frmfntActiva() const;
    // The open children, in the order they were added.
    QList<QWidget*> frmsfntAbiertas() const;

    // Rebuilds the window list below the first item of `menu`: one entry per open child,
    // numbered with access keys, the active one checked.
    void subListaVentanas(QMenu* menu);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QMdiSubWindow* subfntMarco(const QWidget* frmHija) const;
    void subOculta(QMdiSubWindow* marco);
    void subMuestraMarco(QMdiSubWindow* marco);
    void subActivaSiguiente();
    void subActivado(QMdiSubWindow* marco);

    QMdiArea& m_mdiArea;
    QList<QPointer<QMdiSubWindow>> m_marcos;
    // Frames from least to most recently activated.
    QList<QPointer<QMdiSubWindow>> m_historia;
};
