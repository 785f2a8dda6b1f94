// The value sets the meter's property pages edit, one per page, and the direction of an
// exchange between a page and the meter. Check states are 0 or 1, colours 0x00BBGGRR, and each
// array takes the meter's size (3 titles, 5 channels). Which scalar properties a page edits
// is the property table's to say.
#pragma once

#include "PropertyTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <variant>

namespace gaugekit {

// Store: page to meter. Load: meter to page.
enum class ExchangeDirection { Store, Load };

// The scalar values one page edits, by dispatch identifier: the properties the table puts on
// the page, each as the page holds it (a check state 0 or 1 for a boolean property, the
// number for a long one, the value for a double or a string one).
class PageValues {
public:
    explicit PageValues(PageKind kind);

    PageKind kind() const { return m_kind; }
    // The page's value of a property on the page. Asking for a property of another page, or
    // for the wrong type, is a mistake in the page: it asserts, and gets a value that is
    // never exchanged.
    std::int32_t& integer(std::int32_t dispid) { return value<std::int32_t>(dispid); }
    double& real(std::int32_t dispid) { return value<double>(dispid); }
    QString& text(std::int32_t dispid) { return value<QString>(dispid); }

    using Value = std::variant<std::int32_t, double, QString>;
    // The page's properties and their values, in dispatch order.
    std::map<std::int32_t, Value>& entries() { return m_values; }

private:
    template <class T>
    T& value(std::int32_t dispid);

    PageKind m_kind;
    std::map<std::int32_t, Value> m_values;
    std::map<std::int32_t, Value> m_strays;
};

struct GeneralPageValues : PageValues {
    GeneralPageValues()
        : PageValues(PageKind::General) {}
    QStringList titleString;
    QStringList titleFont;
    QList<std::int32_t> titleColor;
    QList<std::int32_t> titleFontStyle;
    QList<std::int32_t> titleFontSize;
};

struct LookPageValues : PageValues {
    LookPageValues()
        : PageValues(PageKind::Look) {}
    QList<std::int32_t> channelColor;
    QStringList channelTagName;
};

struct ScalePageValues : PageValues {
    ScalePageValues()
        : PageValues(PageKind::Scale) {}
};

struct AlarmPageValues : PageValues {
    AlarmPageValues()
        : PageValues(PageKind::Alarm) {}
};

struct TimerPageValues : PageValues {
    TimerPageValues()
        : PageValues(PageKind::Timer) {}
};

// A page the meter remembers as the last of its kind to exchange with it, so that it can
// bring the page up to date after the meter has loaded a settings file.
class RememberedPage {
public:
    // Whether the page's dialog exists (only such pages are refreshed).
    virtual bool dialogOpen() const = 0;
    // A load exchange with the meter, after which the fields show the new values.
    virtual void refreshFromMeter() = 0;

protected:
    ~RememberedPage() = default;
};

} // namespace gaugekit
