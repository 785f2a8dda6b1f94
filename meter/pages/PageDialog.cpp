#include "PageDialog.h"

#include "UpDownControl.h"

#include <forms/DesignControls.h>
#include <forms/DesignGroupBox.h>
#include <forms/DialogUnits.h>
#include <forms/Twips.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gaugekit::pages {

namespace du = forms::dialogunits;

ControlSpec group(const QString& caption, const QRect& units) {
    return {0, ControlKind::GroupBox, caption, units, {}};
}

ControlSpec label(const QString& caption, const QRect& units) {
    return {0, ControlKind::Label, caption, units, {}};
}

ControlSpec labelBefore(const QString& caption, int left, const QRect& field) {
    return label(caption, QRect(left, field.y() + 3, field.x() - left - 2, 8));
}

ControlSpec labelAbove(const QString& caption, const QRect& field, int width) {
    return label(caption, QRect(field.x(), field.y() - 10, width, 8));
}

double PageDialog::dpiX() {
    return forms::twips::dpiX();
}

double PageDialog::dpiY() {
    return forms::twips::dpiY();
}

QSize PageDialog::pixelSize(const QSize& units) {
    return du::toPixels(units, dpiX(), dpiY());
}

QRect PageDialog::pixelRect(const ControlSpec& spec) {
    QRect units = spec.units;
    if (spec.kind == ControlKind::ComboBox)
        units.setHeight(kComboUnitsHeight);
    return du::toPixels(units, dpiX(), dpiY());
}

QWidget* PageDialog::create(QWidget* dialog, const ControlSpec& spec) {
    switch (spec.kind) {
    case ControlKind::Button: {
        // Return stays with the frame's OK button, also while a page button has the focus.
        auto* button = new QPushButton(spec.caption, dialog);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(spec.caption, dialog);
        // The designed check box: a 13-pixel box with its caption close beside it.
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; } "
                                          "QCheckBox::indicator { width: 13px; height: 13px; }"));
        return box;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(dialog);
        edit->setFrame(true);
        return edit;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(dialog);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(spec.entries);
        combo->setCurrentIndex(-1);
        forms::showTextStartOnFocus(combo);
        return combo;
    }
    case ControlKind::GroupBox:
        return new forms::DesignGroupBox(spec.caption, dialog);
    case ControlKind::UpDown:
        return new UpDownControl(dialog);
    case ControlKind::Label:
        break;
    }
    auto* label = new QLabel(spec.caption, dialog);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(spec.caption.contains(u'\n'));
    return label;
}

void PageDialog::build(QWidget* dialog, const DialogTemplate& t) {
    dialog->setFont(du::dialogFont());
    dialog->resize(pixelSize(t.units));
    // Group boxes and labels first, so that the controls lie above them.
    for (const ControlSpec& spec : t.statics) {
        QWidget* w = create(dialog, spec);
        w->setObjectName(spec.kind == ControlKind::GroupBox ? QStringLiteral("group")
                                                            : QStringLiteral("label"));
        w->setFocusPolicy(Qt::NoFocus);
        w->setGeometry(pixelRect(spec));
    }
    QWidget* previous = nullptr;
    for (const ControlSpec& spec : t.controls) {
        QWidget* w = create(dialog, spec);
        w->setObjectName(QString::number(spec.id));
        w->setGeometry(pixelRect(spec));
        if (spec.kind == ControlKind::UpDown) {
            auto* upDown = static_cast<UpDownControl*>(w);
            upDown->setBuddy(qobject_cast<QLineEdit*>(previous));
            continue;
        }
        w->setFocusPolicy(Qt::StrongFocus);
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

QWidget* PageDialog::control(const QWidget* dialog, int id) {
    return dialog ? dialog->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

} // namespace gaugekit::pages
