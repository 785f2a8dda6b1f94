#pragma once

#include <QDialog>
#include <QPointer>

#include <utility>

namespace forms {

// A modal dialog made on the heap and watched. Deleting the dialog's parent while it is open
// (a timer, a slot or the dialog's own work can close the window under it) deletes the dialog
// with it; a dialog on the caller's stack would then be freed twice. After exec() the caller
// asks whether the dialog is still there before reading it or touching what it edited.
template <typename Dialog>
class GuardedDialog {
public:
    template <typename... Args>
    explicit GuardedDialog(Args&&... args)
        : m_dialog(new Dialog(std::forward<Args>(args)...)) {}
    ~GuardedDialog() { delete m_dialog.data(); }
    GuardedDialog(const GuardedDialog&) = delete;
    GuardedDialog& operator=(const GuardedDialog&) = delete;

    // Runs the dialog; true when it was accepted and is still there.
    bool exec() {
        const int result = m_dialog->exec();
        return m_dialog && result == QDialog::Accepted;
    }
    // False once the dialog went with its parent.
    bool alive() const { return !m_dialog.isNull(); }
    Dialog* get() const { return m_dialog.data(); }
    Dialog* operator->() const { return m_dialog.data(); }

private:
    QPointer<Dialog> m_dialog;
};

} // namespace forms
