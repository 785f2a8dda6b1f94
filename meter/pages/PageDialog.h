// A page's dialog template and the dialog built from it: controls placed in dialog units of
// the 8-point dialog font, named by their control ids, in tab order; group boxes and labels
// without tab stops beneath them.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace gaugekit::pages {

enum class ControlKind { Button, CheckBox, Edit, ComboBox, GroupBox, Label, UpDown };

struct ControlSpec {
    int id = 0; // 0 for group boxes and labels
    ControlKind kind = ControlKind::Label;
    QString caption;
    QRect units; // x, y, width, height in dialog units
    QStringList entries;
};

// Template entries.
ControlSpec group(const QString& caption, const QRect& units);
ControlSpec label(const QString& caption, const QRect& units);
// A one-line label from x = `left` up to the field at `field`, on the field's text line.
ControlSpec labelBefore(const QString& caption, int left, const QRect& field);
// A one-line label just above the field at `field`.
ControlSpec labelAbove(const QString& caption, const QRect& field, int width);

struct DialogTemplate {
    QSize units;
    QList<ControlSpec> controls; // in tab order
    QList<ControlSpec> statics;  // group boxes and labels
};

class PageDialog {
public:
    // The visible height of a drop-down combo box (its template height includes the list).
    static constexpr int kComboUnitsHeight = 13;

    // Builds the template's controls inside `dialog` and sizes it, at the screen's resolution.
    static void build(QWidget* dialog, const DialogTemplate& t);
    // The control with id `id`, or null.
    static QWidget* control(const QWidget* dialog, int id);
    // The rectangle in pixels a control of the template occupies.
    static QRect pixelRect(const ControlSpec& spec);
    static QSize pixelSize(const QSize& units);
    static double dpiX();
    static double dpiY();

private:
    static QWidget* create(QWidget* dialog, const ControlSpec& spec);
};

} // namespace gaugekit::pages
