#pragma once

#include <QWidget>

namespace forms {

// Base of the program's windows. An unload request, from the close box or from unload(),
// first asks queryUnload(); a form that sets cancel stays loaded.
class Form : public QWidget {
    Q_OBJECT

public:
    explicit Form(QWidget* parent = nullptr);

    // Asks the form to unload. Returns true when it did (it is then hidden).
    bool unload();

    // Sizes the client area, given in twips.
    void setClientSizeTwips(int width, int height);
    // Places a child widget, in twips of this form.
    void placeTwips(QWidget* child, int left, int top, int width, int height) const;

signals:
    void unloaded();

protected:
    // Called for every unload request; set cancel to refuse it.
    virtual void queryUnload(bool& cancel);
    // Called once an unload request has been accepted.
    virtual void formUnload() {}

    void closeEvent(QCloseEvent* event) override;
};

} // namespace forms
