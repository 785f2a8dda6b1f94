// Hands what an editor outside the form changed on one of its widgets to the form, as one
// undoable step that the form also saves.
#pragma once

#include <QStringList>

class PropertySnapshot;
class QDesignerFormWindowInterface;
class QWidget;

// The form's property commands take their old values from the widget when they are made, and
// the editor has already written the new ones into it: the widget first gets the values of
// `before` back, then each value of `after` that differs goes through the form's cursor. Names
// the properties handed over; none when nothing changed.
QStringList commitPropertyEdit(QDesignerFormWindowInterface& form, QWidget& widget,
                               const PropertySnapshot& before, const PropertySnapshot& after,
                               const QString& description);
