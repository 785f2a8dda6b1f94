// One "Name=Value" or "Name[i]=Value" argument of meterctl, and its value as an automation
// value of the property's type.
#pragma once

#include <com/Variant.h>

#include <QString>
#include <optional>

struct Assignment {
    QString name;
    std::optional<std::int32_t> index;
    QString text;

    // Null when the argument is not of either form.
    static std::optional<Assignment> parse(const QString& argument);

    // The value for a member of type `type`: texts stay texts; "0x..." is a hexadecimal long;
    // "true"/"false" a boolean; anything else is handed over as text for the control to convert
    // as automation does. Null when a hexadecimal or boolean text is malformed.
    std::optional<com::Variant> value(com::VarType type) const;
};
