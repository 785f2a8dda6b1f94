#include "forms/MessageBox.h"

#include "forms/GuardedDialog.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

namespace forms {

namespace {

MessageBox::Handler& handler() {
    static MessageBox::Handler current;
    return current;
}

QMessageBox::StandardButtons standardButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon standardIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer answerOf(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Abort:
        return MsgAnswer::Abort;
    case QMessageBox::Retry:
        return MsgAnswer::Retry;
    case QMessageBox::Ignore:
        return MsgAnswer::Ignore;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

bool showsOnScreen(const QWidget* window) {
    return window != nullptr && window->isVisible() && !window->isMinimized();
}

// The window a box stands over, centred: the caller's own window when it is on screen, else
// the active window, else the program's main window. A box whose owner is minimized (or who
// has none) would otherwise sit in a corner of the screen.
QWidget* ownerFor(QWidget* parent) {
    QWidget* window = parent != nullptr ? parent->window() : nullptr;
    if (showsOnScreen(window))
        return window;
    if (QWidget* active = QApplication::activeWindow(); showsOnScreen(active))
        return active;
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(topLevel) != nullptr && showsOnScreen(topLevel))
            return topLevel;
    }
    return parent;
}

MsgAnswer showReal(const MessageRequest& request, QWidget* parent) {
    GuardedDialog<QMessageBox> box(standardIcon(request.icon), request.caption, request.text,
                                   standardButtons(request.buttons), ownerFor(parent));
    const int answer = box->exec();
    // A box that went with its window answers as if closed.
    return box.alive() ? answerOf(answer) : answerOf(QMessageBox::Cancel);
}

} // namespace

MsgAnswer MessageBox::show(const QString& text, MsgButtons buttons, MsgIcon icon,
                           const QString& caption, QWidget* parent) {
    MessageRequest request{text, buttons, icon,
                           caption.isEmpty() ? QCoreApplication::applicationName() : caption};
    if (handler()) {
        return handler()(request);
    }
    return showReal(request, parent);
}

MessageBox::Handler MessageBox::setHandler(Handler newHandler) {
    Handler previous = std::move(handler());
    handler() = std::move(newHandler);
    return previous;
}

MessageBoxRecorder::MessageBoxRecorder(MsgAnswer defaultAnswer)
    : m_default(defaultAnswer) {
    m_previous = MessageBox::setHandler([this](const MessageRequest& request) {
        m_requests.append(request);
        return m_answers.isEmpty() ? m_default : m_answers.takeFirst();
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    MessageBox::setHandler(std::move(m_previous));
}

} // namespace forms
