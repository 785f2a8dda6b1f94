// The meter's property list holds what dispatch, persistence, the pages and the widget rely
// on: one entry per identifier and name, defaults the property accepts, stored positions
// without gaps, page values that hold exactly the page's properties, and for every designable
// entry a widget property of the same name and type.
#include "GaugeKitIds.h"
#include "PageValues.h"
#include "PropertyTable.h"
#include "WidgetSurface.h"

#include <GaugeKit/MeterWidget.h>

#include <QMetaProperty>
#include <QSet>
#include <QTest>

using namespace gaugekit;

Q_DECLARE_METATYPE(const gaugekit::PropertyInfo*)

class TestPropertyList : public QObject {
    Q_OBJECT
private slots:
    void identifiersAndNamesAreUnique();
    void defaultsAreAccepted();
    void storedOrderHasNoGaps();
    void pageValuesHoldThePagesProperties();
    void widgetPropertyMatches_data();
    void widgetPropertyMatches();
};

void TestPropertyList::identifiersAndNamesAreUnique() {
    const auto all = PropertyTable::all();
    QCOMPARE(all.size(), std::size_t(53));
    QSet<QString> names;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const PropertyInfo& p = all[i];
        // Lookup by identifier indexes the table: entry i has DISPID i + 1.
        QCOMPARE(p.dispid, std::int32_t(i + 1));
        QCOMPARE(PropertyTable::byDispid(p.dispid), &p);
        const QString lower = QString::fromLatin1(p.name).toLower();
        QVERIFY2(!names.contains(lower), p.name);
        names.insert(lower);
        QCOMPARE(PropertyTable::byName(QString::fromLatin1(p.name)), &p);
    }
    // The identifiers after the scalar properties are not taken by the list.
    QCOMPARE(PropertyTable::byDispid(dispid::UpdateDataValue), nullptr);
    QCOMPARE(PropertyTable::byDispid(0), nullptr);
}

void TestPropertyList::defaultsAreAccepted() {
    for (const PropertyInfo& p : PropertyTable::all()) {
        // The default is of the member's type.
        QVERIFY2(p.defaultValue.index() == p.member.index(), p.name);
        if (p.choices != 0) {
            QVERIFY2(p.kind() == PropertyKind::Long, p.name);
            QVERIFY2(PropertyTable::isChoice(p, std::get<std::int32_t>(p.defaultValue)), p.name);
        }
        if (!p.range)
            continue;
        QVERIFY2(p.range->minimum <= p.range->maximum, p.name);
        double def = 0;
        if (p.kind() == PropertyKind::Long)
            def = std::get<std::int32_t>(p.defaultValue);
        else if (p.kind() == PropertyKind::Double)
            def = std::get<double>(p.defaultValue);
        else
            QFAIL(p.name); // a range is for numbers only
        QVERIFY2(p.range->contains(def), p.name);
    }
}

void TestPropertyList::storedOrderHasNoGaps() {
    const auto persisted = PropertyTable::persisted();
    QCOMPARE(persisted.size(), std::size_t(52));
    QSet<QString> keys;
    for (std::size_t i = 0; i < persisted.size(); ++i) {
        const PropertyInfo* p = persisted[i];
        QVERIFY(p);
        QCOMPARE(p->stored, int(i + 1));
        QVERIFY2(p->bagKey, p->name);
        QVERIFY2(!keys.contains(QLatin1String(p->bagKey)), p->bagKey);
        keys.insert(QLatin1String(p->bagKey));
    }
    for (const PropertyInfo& p : PropertyTable::all())
        QVERIFY2((p.stored > 0) == (p.bagKey != nullptr), p.name);
    // The one property that is not stored, and the one key that is not its name.
    QCOMPARE(PropertyTable::byDispid(dispid::WindowResizeMode)->stored, 0);
    QCOMPARE(PropertyTable::byDispid(dispid::MeterTickRelLength)->bagKey, "MeteTickRelLength");
}

void TestPropertyList::pageValuesHoldThePagesProperties() {
    int onPages = 0;
    for (const PageKind kind :
         {PageKind::General, PageKind::Look, PageKind::Scale, PageKind::Alarm, PageKind::Timer}) {
        PageValues values(kind);
        for (const auto& [id, value] : values.entries()) {
            const PropertyInfo* p = PropertyTable::byDispid(id);
            QVERIFY(p && p->page == kind);
            // A check state is held as a number, as the page shows it.
            const bool asNumber =
                p->kind() == PropertyKind::Long || p->kind() == PropertyKind::Bool;
            QCOMPARE(std::holds_alternative<std::int32_t>(value), asNumber);
            ++onPages;
        }
    }
    int listed = 0;
    for (const PropertyInfo& p : PropertyTable::all())
        listed += p.page ? 1 : 0;
    QCOMPARE(onPages, listed);
    QCOMPARE(listed, 51); // MeterUnitsStringEnable and MeterScaleCenter are on no page
}

void TestPropertyList::widgetPropertyMatches_data() {
    QTest::addColumn<const PropertyInfo*>("property");
    for (const PropertyInfo& p : PropertyTable::all())
        QTest::newRow(p.name) << &p;
}

void TestPropertyList::widgetPropertyMatches() {
    QFETCH(const PropertyInfo*, property);
    const PropertyInfo& p = *property;
    // The widget's names follow one rule from the control's.
    QCOMPARE(QString::fromLatin1(p.widgetName),
             WidgetSurface::propertyName(QString::fromLatin1(p.name)));
    if (!p.designable)
        return;
    const QMetaObject& meta = GaugeKit::MeterWidget::staticMetaObject;
    const int index = meta.indexOfProperty(p.widgetName);
    QVERIFY2(index >= 0, p.widgetName);
    const QMetaProperty q = meta.property(index);
    QVERIFY(q.isReadable() && q.isWritable() && q.isDesignable());
    const QByteArray type = q.metaType().name();
    const QByteArray listed = p.widgetType;
    QVERIFY2(type == listed || type.endsWith("::" + listed), type.constData());
    // Colours are QColor on the widget; enumerations are the properties with choices.
    QCOMPARE(listed == "QColor", WidgetSurface::isColor(p));
    QCOMPARE(q.isEnumType(), p.choices != 0);
}

QTEST_MAIN(TestPropertyList)
#include "tst_propertylist.moc"
