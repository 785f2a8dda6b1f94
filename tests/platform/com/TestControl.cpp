#include "TestControl.h"

#include "com/Archive.h"
#include "com/PropExchange.h"

#include <QPainter>

using namespace com;

const Clsid TestControl::clsid = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B20}");
const Iid TestControl::dispatchIid = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B21}");
const Iid TestControl::eventIid = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B22}");

ControlIdentity TestControl::makeIdentity(ServerModule* module) {
    ControlIdentity id;
    id.clsid = clsid;
    id.dispatchIid = dispatchIid;
    id.dispatchName = QStringLiteral("_DTest");
    id.dispatchHelp = QStringLiteral("Dispatch interface for the test control");
    id.eventInterface = {eventIid,
                         QStringLiteral("_DTestEvents"),
                         {},
                         true,
                         {{QStringLiteral("Fired"),
                           kFiredEvent,
                           MemberKind::Method,
                           {{QStringLiteral("n"), VarType::I4}},
                           VarType::Empty,
                           {}}}};
    id.miscStatus = 0x20191;
    id.module = module;
    return id;
}

TestControl::TestControl(ServerModule* module)
    : ControlImpl(makeIdentity(module)) {}

const DispatchTable<TestControl>& TestControl::dispatchTable() {
    static const DispatchTable<TestControl> table = [] {
        DispatchTable<TestControl> t;
        t.property(QStringLiteral("Number"), 1, &TestControl::number, &TestControl::setNumber);
        t.property(QStringLiteral("Ratio"), 2, &TestControl::ratio, &TestControl::setRatio);
        t.property(QStringLiteral("Enabled"), 3, &TestControl::enabled, &TestControl::setEnabled);
        t.property(QStringLiteral("Caption"), 4, &TestControl::caption, &TestControl::setCaption);
        t.indexedProperty(QStringLiteral("Item"), 5, QStringLiteral("index"), &TestControl::item,
                          &TestControl::setItem);
        // Sums the first `count` doubles of the caller's array, within what it holds.
        t.method(
            QStringLiteral("Sum"), 6,
            {{QStringLiteral("values"), VarType::R8Ref}, {QStringLiteral("count"), VarType::I4}},
            VarType::R8, [](TestControl&, const VariantList& a, Variant& r) {
                const qsizetype n = a.at(1).i4Value();
                if (n < 0 || n > a.at(0).r8RefCount())
                    return DISP_E_BADINDEX;
                double sum = 0;
                for (qsizetype i = 0; i < n; ++i)
                    sum += a.at(0).r8RefPointer()[i];
                r = Variant(sum);
                return S_OK;
            });
        t.method(QStringLiteral("Fire"), 7, {{QStringLiteral("n"), VarType::I4}}, VarType::Empty,
                 [](TestControl& c, const VariantList& a, Variant&) {
                     c.fireEvent(kFiredEvent, {a.at(0)});
                     return S_OK;
                 });
        return t;
    }();
    return table;
}

HRESULT TestControl::item(std::int32_t index, std::int32_t* out) const {
    if (index < 0 || index >= m_items.size())
        return DISP_E_BADINDEX;
    *out = m_items.at(index);
    return S_OK;
}

HRESULT TestControl::setItem(std::int32_t index, std::int32_t value) {
    if (index < 0 || index >= m_items.size())
        return DISP_E_BADINDEX;
    m_items[index] = value;
    return S_OK;
}

void TestControl::doPropExchange(PropExchange& px) {
    px.exchangeLong(QStringLiteral("Number"), m_number, 7);
    px.exchangeDouble(QStringLiteral("Ratio"), m_ratio, 0.5);
    px.exchangeBool(QStringLiteral("Enabled"), m_enabled, true);
    px.exchangeString(QStringLiteral("Caption"), m_caption, QStringLiteral("Hola"));
    QByteArray blob;
    if (!px.isLoading()) {
        MemoryArchive store;
        store.exchangeLongArray(m_items);
        blob = store.data();
    }
    if (px.exchangeBlob(QStringLiteral("Items"), blob) && px.isLoading() && !px.isResetting() &&
        !blob.isNull()) {
        MemoryArchive load(blob);
        load.exchangeLongArray(m_items);
        if (!load.ok())
            px.setError(load.status());
    }
    if (px.version() > 0x00010000)
        px.exchangeDouble(QStringLiteral("Extra"), m_extra, 2.5);
}

void TestControl::onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) {
    ++drawCount;
    lastBounds = bounds;
    lastInvalid = invalid;
    dc.fillRect(bounds, Qt::darkBlue);
}

void TestControl::onClick() {
    ++clicks;
    ControlBase::onClick();
}
