#pragma once

#include <QGroupBox>

namespace forms {

// A group box drawn as window designs lay it out: an etched frame whose top line runs through
// the middle of the caption, the caption on that line near its left end. (The widget styles
// put the caption above the frame, a caption's height lower than designs expect, so controls
// placed for the designed frame would cross its line.) The box holds no controls of its own:
// they lie over it as siblings.
class DesignGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit DesignGroupBox(const QString& caption, QWidget* parent = nullptr);

    // The rectangle the frame line is drawn on, in the box's coordinates.
    QRect frameLineRect() const;
    // Where the caption is drawn, with the gap cut into the frame line around it.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace forms
