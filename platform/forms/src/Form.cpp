#include "forms/Form.h"

#include "forms/Twips.h"

#include <QCloseEvent>

namespace forms {

Form::Form(QWidget* parent)
    : QWidget(parent) {}

bool Form::unload() {
    bool cancel = false;
    queryUnload(cancel);
    if (cancel) {
        return false;
    }
    formUnload();
    hide();
    emit unloaded();
    return true;
}

void Form::setClientSizeTwips(int width, int height) {
    resize(twips::toPixels(width, twips::dpiX(this)), twips::toPixels(height, twips::dpiY(this)));
}

void Form::placeTwips(QWidget* child, int left, int top, int width, int height) const {
    child->setGeometry(twips::toPixels(this, left, top, width, height));
}

void Form::queryUnload(bool& cancel) {
    cancel = false;
}

void Form::closeEvent(QCloseEvent* event) {
    if (unload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace forms
