#include "FieldBinding.h"

#include "PageText.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gaugekit::pages {

namespace {

QString bound(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// The fewest decimals, one at least, that write both bounds of a real range exactly.
int decimalsOf(const PropertyRange& r) {
    constexpr int kMostDecimals = 6;
    for (int d = 1; d < kMostDecimals; ++d) {
        if (bound(r.minimum, d).toDouble() == r.minimum &&
            bound(r.maximum, d).toDouble() == r.maximum)
            return d;
    }
    return kMostDecimals;
}

} // namespace

FieldBinding FieldBinding::of(int id, PageValues& values, std::int32_t dispid,
                              const QString& name) {
    const PropertyInfo* p = PropertyTable::byDispid(dispid);
    Q_ASSERT(p);
    switch (p->kind()) {
    case PropertyKind::Bool:
        return {id, Kind::Check, name, &values.integer(dispid), std::nullopt};
    case PropertyKind::Long: {
        std::optional<FieldRange> range;
        if (p->range)
            range = FieldRange{p->range->minimum, p->range->maximum, 0};
        return {id, Kind::Integer, name, &values.integer(dispid), range};
    }
    case PropertyKind::Double: {
        std::optional<FieldRange> range;
        if (p->range)
            range = FieldRange{p->range->minimum, p->range->maximum, decimalsOf(*p->range)};
        return {id, Kind::Double, name, &values.real(dispid), range};
    }
    case PropertyKind::String:
        break;
    }
    return text(id, &values.text(dispid), name);
}

FieldBinding FieldBinding::text(int id, QString* value, const QString& name) {
    return {id, Kind::Text, name, value, std::nullopt};
}

QString FieldBinding::rangeMessage() const {
    const QString what =
        kind == Kind::Integer ? QStringLiteral("an integer") : QStringLiteral("a number");
    if (!range)
        return QStringLiteral("%1: please enter %2.").arg(name, what);
    return QStringLiteral("%1: please enter %2 from %3 to %4.")
        .arg(name, what, bound(range->minimum, range->decimals),
             bound(range->maximum, range->decimals));
}

bool FieldBinding::readNumber(const QString& text, QString* message) const {
    double read = 0;
    if (kind == Kind::Integer) {
        const auto v = PageText::parseInteger(text);
        if (!v) {
            *message = rangeMessage();
            return false;
        }
        read = *v;
        *std::get<std::int32_t*>(value) = *v;
    } else {
        const auto v = PageText::parseDouble(text);
        if (!v) {
            *message = rangeMessage();
            return false;
        }
        read = *v;
        *std::get<double*>(value) = *v;
    }
    if (range && (read < range->minimum || read > range->maximum)) {
        *message = rangeMessage();
        return false;
    }
    return true;
}

bool FieldBinding::read(const QWidget* field, QString* message) const {
    if (kind == Kind::Check) {
        const auto* box = qobject_cast<const QCheckBox*>(field);
        *std::get<std::int32_t*>(value) = box && box->isChecked() ? 1 : 0;
        return true;
    }
    const auto* edit = qobject_cast<const QLineEdit*>(field);
    const QString text = edit ? edit->text() : QString();
    if (kind == Kind::Text) {
        *std::get<QString*>(value) = text;
        return true;
    }
    return readNumber(text, message);
}

void FieldBinding::show(QWidget* field) const {
    if (kind == Kind::Check) {
        if (auto* box = qobject_cast<QCheckBox*>(field))
            box->setChecked(*std::get<std::int32_t*>(value) != 0);
        return;
    }
    auto* edit = qobject_cast<QLineEdit*>(field);
    if (!edit)
        return;
    switch (kind) {
    case Kind::Integer:
        edit->setText(PageText::formatInteger(*std::get<std::int32_t*>(value)));
        break;
    case Kind::Double:
        edit->setText(PageText::formatDouble(*std::get<double*>(value)));
        break;
    case Kind::Text:
        edit->setText(*std::get<QString*>(value));
        break;
    case Kind::Check:
        break;
    }
}

} // namespace gaugekit::pages
