// One bound dialog field of a page: the control, how its text converts, the page value it
// fills and the allowed range. A page lists its bindings in exchange order; a field that shows
// a property takes its kind and range from the property table.
#pragma once

#include "PageValues.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <variant>

class QWidget;

namespace gaugekit::pages {

struct FieldRange {
    double minimum;
    double maximum;
    int decimals; // how the bounds are written in the message
};

struct FieldBinding {
    enum class Kind { Check, Integer, Double, Text };

    int id;
    Kind kind;
    QString name; // the field as the user knows it, for the messages
    std::variant<std::int32_t*, double*, QString*> value;
    std::optional<FieldRange> range;

    // The field of property `dispid` in the page's `values`: a check box for a boolean, an edit
    // for a number (with the property's range) or a text.
    static FieldBinding of(int id, PageValues& values, std::int32_t dispid, const QString& name);
    // A text the page keeps itself.
    static FieldBinding text(int id, QString* value, const QString& name);

    // Reads the field into the page value; false (and the message to show) when refused.
    bool read(const QWidget* field, QString* message) const;
    // Shows the page value in the field.
    void show(QWidget* field) const;

private:
    bool readNumber(const QString& text, QString* message) const;
    QString rangeMessage() const;
};

} // namespace gaugekit::pages
