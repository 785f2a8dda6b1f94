#include "Assignment.h"

#include <QRegularExpression>

std::optional<Assignment> Assignment::parse(const QString& argument) {
    static const QRegularExpression form(
        QStringLiteral(R"(^([A-Za-z_][A-Za-z0-9_]*)(?:\[\s*(-?\d{1,10})\s*\])?=(.*)$)"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = form.match(argument);
    if (!m.hasMatch())
        return std::nullopt;
    Assignment a;
    a.name = m.captured(1);
    if (m.hasCaptured(2) && !m.captured(2).isEmpty()) {
        bool ok = false;
        const qlonglong index = m.captured(2).toLongLong(&ok);
        if (!ok || index < INT32_MIN || index > INT32_MAX)
            return std::nullopt;
        a.index = std::int32_t(index);
    }
    a.text = m.captured(3);
    return a;
}

std::optional<com::Variant> Assignment::value(com::VarType type) const {
    if (type == com::VarType::BStr)
        return com::Variant(text);
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qulonglong v = t.mid(2).toULongLong(&ok, 16);
        if (!ok || v > 0xFFFFFFFFull)
            return std::nullopt;
        return com::Variant(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    }
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return com::Variant(true);
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return com::Variant(false);
    return com::Variant(t);
}
