// The rows of meterlab's property grid, from the control's type information: every property
// with its name, type and value, each indexed property with its entries. Edits go through the
// dispatch interface as text, so that the control's own coercion decides, and a refused value
// comes back as its error.
#pragma once

#include <com/MemberDescription.h>

#include <QList>
#include <QString>

namespace com {
class ControlSite;
}

class PropertyGridModel {
public:
    // Indexed properties are read up to this many entries (until the control refuses one).
    static constexpr int kMaxEntries = 16;

    struct Row {
        QString name;
        com::DispId id = com::DISPID_UNKNOWN;
        QString type; // "I4", "R8", "Bool", "BStr"
        bool indexed = false;
        QStringList values; // one for a property, one per entry for an indexed property
    };

    // Reads the rows of the control in `site` (empty without a control).
    void load(com::ControlSite& site);
    const QList<Row>& rows() const { return m_rows; }
    int propertyCount() const;
    int indexedCount() const;

    // Writes `text` to property `row` (entry `index` of an indexed one); on failure returns
    // the error and leaves `*error` saying what the control refused.
    [[nodiscard]] com::HRESULT edit(com::ControlSite& site, int row, int index, const QString& text,
                                    QString* error);

    static QString valueText(const com::Variant& v);

private:
    void readValues(com::ControlSite& site, Row& row) const;
    static com::Variant typed(const Row& row, const QString& text);

    QList<Row> m_rows;
};
