// Dispatch through a control's member table, and event connections.
#include "TestControl.h"
#include "com/EventConnections.h"

#include <QTest>

using namespace com;

namespace {

// Holds a control for the test's duration.
struct Held {
    const ComPtr<TestControl> held = ComPtr<TestControl>::adopt(new TestControl);
    TestControl* control = held.get();
    HRESULT invoke(DispId id, std::uint16_t flags, const VariantList& args, Variant* r = nullptr) {
        return control->Invoke(id, flags, args, r);
    }
};

// A sink that records events and can run an action inside its call.
class RecordingSink : public IEventSink {
public:
    HRESULT QueryInterface(const Iid&, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; } // lives on the test's stack
    HRESULT OnEvent(DispId id, const VariantList& args) override {
        seen.append(id);
        lastArgs = args;
        if (during)
            during();
        return S_OK;
    }
    std::uint32_t refs = 1;
    QList<DispId> seen;
    VariantList lastArgs;
    std::function<void()> during;
};

} // namespace

class TestDispatch : public QObject {
    Q_OBJECT
private slots:
    void errors_data();
    void errors();
    void putCoercesThenGetReads();
    void namesIgnoreCase();
    void badIndexFromAccessorChangesNothing();
    void byReferenceArgumentIsBoundsChecked();
    void descriptionsComeFromTheTable();
    void sinkMayDisconnectItselfWhileCalled();
    void sinkMayDisconnectALaterSink();
};

void TestDispatch::errors_data() {
    QTest::addColumn<DispId>("id");
    QTest::addColumn<int>("flags");
    QTest::addColumn<VariantList>("args");
    QTest::addColumn<HRESULT>("hr");
    const int get = DISPATCH_PROPERTYGET, put = DISPATCH_PROPERTYPUT, call = DISPATCH_METHOD;
    QTest::newRow("unknown member") << 99 << get << VariantList{} << DISP_E_MEMBERNOTFOUND;
    QTest::newRow("put without value") << 1 << put << VariantList{} << DISP_E_BADPARAMCOUNT;
    QTest::newRow("get with argument") << 1 << get << VariantList{1} << DISP_E_BADPARAMCOUNT;
    QTest::newRow("put text in long") << 1 << put << VariantList{"x"} << DISP_E_TYPEMISMATCH;
    QTest::newRow("put overflow") << 1 << put << VariantList{1e10} << DISP_E_OVERFLOW;
    QTest::newRow("indexed get without index") << 5 << get << VariantList{} << DISP_E_BADPARAMCOUNT;
    QTest::newRow("indexed put without value")
        << 5 << put << VariantList{0} << DISP_E_BADPARAMCOUNT;
    QTest::newRow("indexed bad index") << 5 << get << VariantList{3} << DISP_E_BADINDEX;
    QTest::newRow("indexed negative index") << 5 << put << VariantList{-1, 4} << DISP_E_BADINDEX;
    QTest::newRow("index not a number") << 5 << get << VariantList{"a"} << DISP_E_TYPEMISMATCH;
    QTest::newRow("method too few") << 7 << call << VariantList{} << DISP_E_BADPARAMCOUNT;
    QTest::newRow("method too many") << 7 << call << VariantList{1, 2} << DISP_E_BADPARAMCOUNT;
    QTest::newRow("method as put") << 7 << put << VariantList{1} << DISP_E_MEMBERNOTFOUND;
    QTest::newRow("double where reference expected")
        << 6 << call << VariantList{1.0, 1} << DISP_E_TYPEMISMATCH;
    QTest::newRow("property get") << 1 << get << VariantList{} << S_OK;
    QTest::newRow("property read as method") << 1 << (call | get) << VariantList{} << S_OK;
}

void TestDispatch::errors() {
    QFETCH(DispId, id);
    QFETCH(int, flags);
    QFETCH(VariantList, args);
    QFETCH(HRESULT, hr);
    Held h;
    Variant r;
    QCOMPARE(hresultName(h.invoke(id, std::uint16_t(flags), args, &r)), hresultName(hr));
}

void TestDispatch::putCoercesThenGetReads() {
    Held h;
    QCOMPARE(h.invoke(1, DISPATCH_PROPERTYPUT, {std::int16_t(12)}), S_OK); // I2 into a long
    QCOMPARE(h.control->number(), 12);
    QCOMPARE(h.invoke(1, DISPATCH_PROPERTYPUT, {2.5}), S_OK); // half to even
    QCOMPARE(h.control->number(), 2);
    QCOMPARE(h.invoke(2, DISPATCH_PROPERTYPUT, {"0.25"}), S_OK);
    QCOMPARE(h.control->ratio(), 0.25);
    QCOMPARE(h.invoke(3, DISPATCH_PROPERTYPUT, {std::int16_t(0)}), S_OK);
    QCOMPARE(h.control->enabled(), false);
    QCOMPARE(h.invoke(4, DISPATCH_PROPERTYPUT, {42}), S_OK);
    QCOMPARE(h.control->caption(), QStringLiteral("42"));
    Variant r;
    QCOMPARE(h.invoke(3, DISPATCH_PROPERTYGET, {}, &r), S_OK);
    QCOMPARE(r.type(), VarType::Bool);
    QCOMPARE(h.invoke(5, DISPATCH_PROPERTYPUT, {2.0, "77"}), S_OK);
    QCOMPARE(h.invoke(5, DISPATCH_PROPERTYGET, {std::int16_t(2)}, &r), S_OK);
    QCOMPARE(r, Variant(77));
}

void TestDispatch::namesIgnoreCase() {
    Held h;
    DispId id = 0;
    QCOMPARE(h.control->GetIDOfName(QStringLiteral("rAtIo"), &id), S_OK);
    QCOMPARE(id, 2);
    QCOMPARE(h.control->GetIDOfName(QStringLiteral("Ratios"), &id), DISP_E_UNKNOWNNAME);
    QCOMPARE(id, DISPID_UNKNOWN);
}

void TestDispatch::badIndexFromAccessorChangesNothing() {
    Held h;
    QCOMPARE(h.invoke(5, DISPATCH_PROPERTYPUT, {3, 9}), DISP_E_BADINDEX);
    Variant r(123);
    QCOMPARE(h.invoke(5, DISPATCH_PROPERTYGET, {7}, &r), DISP_E_BADINDEX);
    QCOMPARE(r, Variant(123)); // the result slot is untouched on failure
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(h.invoke(5, DISPATCH_PROPERTYGET, {i}, &r), S_OK);
        QCOMPARE(r, Variant(i + 1));
    }
}

void TestDispatch::byReferenceArgumentIsBoundsChecked() {
    Held h;
    double values[2] = {1.5, 2.0};
    Variant r;
    QCOMPARE(h.invoke(6, DISPATCH_METHOD, {Variant::r8Ref(values, 2), 2}, &r), S_OK);
    QCOMPARE(r, Variant(3.5));
    QCOMPARE(h.invoke(6, DISPATCH_METHOD, {Variant::r8Ref(values, 2), 3}, &r), DISP_E_BADINDEX);
}

void TestDispatch::descriptionsComeFromTheTable() {
    Held h;
    InterfaceDescription d;
    QCOMPARE(h.control->GetTypeInfo(&d), S_OK);
    QCOMPARE(d.iid, TestControl::dispatchIid);
    QCOMPARE(d.members.size(), 7);
    QCOMPARE(d.members.at(4).name, QStringLiteral("Item"));
    QCOMPARE(d.members.at(4).kind, MemberKind::IndexedProperty);
    QCOMPARE(d.members.at(4).args.at(0).type, VarType::I4);
    QCOMPARE(d.members.at(5).args.at(0).type, VarType::R8Ref);
    QCOMPARE(d.members.at(5).resultType, VarType::R8);
    // The dispatch interface answers under the control's own interface id too.
    ComPtr<IDispatch> dispatch;
    QCOMPARE(h.control->QueryInterface(TestControl::dispatchIid, dispatch.put()), S_OK);
    QVERIFY(dispatch);
    ComPtr<IUnknown> events;
    QCOMPARE(h.control->QueryInterface(TestControl::eventIid, events.put()), E_NOINTERFACE);
    QVERIFY(!events);
}

void TestDispatch::sinkMayDisconnectItselfWhileCalled() {
    RecordingSink a, b;
    Held h;
    std::uint32_t ca = 0, cb = 0;
    QCOMPARE(h.control->Advise(&a, &ca), S_OK);
    QCOMPARE(h.control->Advise(&b, &cb), S_OK);
    a.during = [&] { QCOMPARE(h.control->Unadvise(ca), S_OK); };
    QCOMPARE(h.invoke(7, DISPATCH_METHOD, {5}), S_OK);
    QCOMPARE(a.seen, QList<DispId>{TestControl::kFiredEvent});
    QCOMPARE(b.seen, QList<DispId>{TestControl::kFiredEvent});
    QCOMPARE(b.lastArgs, VariantList{5});
    QCOMPARE(a.refs, 1u); // the connection's reference was given back
    QCOMPARE(h.invoke(7, DISPATCH_METHOD, {6}), S_OK);
    QCOMPARE(a.seen.size(), 1);
    QCOMPARE(b.seen.size(), 2);
    QCOMPARE(h.control->Unadvise(ca), E_INVALIDARG);
    QVERIFY(com::succeeded(h.control->Close()));
    QCOMPARE(b.refs, 1u);
}

void TestDispatch::sinkMayDisconnectALaterSink() {
    RecordingSink a, b; // outlive the connections
    EventConnections events;
    std::uint32_t ca = 0, cb = 0;
    QVERIFY(com::succeeded(events.advise(&a, &ca)));
    QVERIFY(com::succeeded(events.advise(&b, &cb)));
    a.during = [&] { QCOMPARE(events.unadvise(cb), S_OK); };
    events.fire(1, {});
    QCOMPARE(a.seen.size(), 1);
    QCOMPARE(b.seen.size(), 0); // disconnected before its turn
    QCOMPARE(b.refs, 1u);
}

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
