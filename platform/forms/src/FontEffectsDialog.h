#pragma once

#include "forms/CommonDialog.h"

#include <QDialog>

class QComboBox;
class QFontDialog;

namespace forms {

// The font chooser with an effects section: the font dialog's face, style, size, underline
// and strikeout, and a colour list of the sixteen standard colours (a colour not in the list
// is added to it as "Custom"). A face that is not installed is shown through the face that
// draws it and given back unchanged unless another face is picked.
class FontEffectsDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontEffectsDialog(const FontEffectsChoice& initial, QWidget* parent = nullptr);

    FontEffectsChoice choice() const;

    QFontDialog* fontPart() const { return m_font; }
    QComboBox* colorList() const { return m_colors; }

private:
    void fillColors(quint32 initial);

    QFontDialog* m_font = nullptr;
    QComboBox* m_colors = nullptr;
    QString m_requestedFace; // the face asked for, when it is not installed
    QString m_shownFace;     // the face shown for it
};

} // namespace forms
