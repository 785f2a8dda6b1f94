// Deleting a page or plot widget safely, even from inside its own paint.
#pragma once

namespace lum {

/// Deletes the widget at once unless it is inside its own paint (a first-paint callback
/// destroying its own window): then it is hidden now and deleted once the event loop runs.
template <typename W>
void destroyWidget(W* widget) {
    if (widget->isPainting()) {
        widget->hide();
        widget->deleteLater();
    } else {
        delete widget;
    }
}

} // namespace lum
