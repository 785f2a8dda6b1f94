// Costs of the component layer on the paths a container drives every second: a late-bound
// property put and method call with argument coercion, name lookup, and a settings stream of
// about the meter's size saved and loaded.
#include "com/Archive.h"
#include "com/DispatchTable.h"
#include "com/PropExchange.h"

#include <benchmark/benchmark.h>

using namespace com;

namespace {

struct Target {
    std::int32_t count = 0;
    double values[5] = {};
    std::int32_t getCount() const { return count; }
    void setCount(std::int32_t v) { count = v; }
};

const DispatchTable<Target>& table() {
    static const DispatchTable<Target> t = [] {
        DispatchTable<Target> t;
        for (int i = 1; i <= 53; ++i)
            t.property(QStringLiteral("Property%1").arg(i), i, &Target::getCount,
                       &Target::setCount);
        t.method(QStringLiteral("UpdateDynData"), 59, {{QStringLiteral("v"), VarType::R8Ref}},
                 VarType::Empty, [](Target& o, const VariantList& a, Variant&) {
                     const qsizetype n = std::min<qsizetype>(a.at(0).r8RefCount(), 5);
                     std::copy_n(a.at(0).r8RefPointer(), n, o.values);
                     return S_OK;
                 });
        return t;
    }();
    return t;
}

void putWithCoercion(benchmark::State& state) {
    Target o;
    const VariantList args{Variant(std::int16_t(4))};
    for (auto _ : state)
        benchmark::DoNotOptimize(table().invoke(o, 15, DISPATCH_PROPERTYPUT, args, nullptr));
}
BENCHMARK(putWithCoercion);

void methodByReference(benchmark::State& state) {
    Target o;
    double values[2] = {55.0, 0.0};
    const VariantList args{Variant::r8Ref(values, 2)};
    for (auto _ : state)
        benchmark::DoNotOptimize(table().invoke(o, 59, DISPATCH_METHOD, args, nullptr));
}
BENCHMARK(methodByReference);

void nameLookup(benchmark::State& state) {
    const QString name = QStringLiteral("property48");
    DispId id = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(table().idOfName(name, &id));
}
BENCHMARK(nameLookup);

// 52 scalars (longs, doubles, booleans and two strings) and eight small blobs.
void exchangeSettings(PropExchange& px, std::int32_t& l, double& d, bool& b, QString& s,
                      QByteArray& blob) {
    for (int i = 0; i < 16; ++i) {
        px.exchangeLong({}, l, 0);
        px.exchangeDouble({}, d, 0.0);
        px.exchangeBool({}, b, false);
    }
    for (int i = 0; i < 4; ++i)
        px.exchangeString({}, s, {});
    for (int i = 0; i < 8; ++i)
        px.exchangeBlob({}, blob);
}

void saveSettingsStream(benchmark::State& state) {
    std::int32_t l = 0xC0C0C0;
    double d = 0.5;
    bool b = true;
    QString s = QStringLiteral("Arial");
    QByteArray blob(40, 'x');
    for (auto _ : state) {
        MemoryArchive a;
        PropExchange px(a);
        exchangeSettings(px, l, d, b, s, blob);
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(saveSettingsStream);

void loadSettingsStream(benchmark::State& state) {
    std::int32_t l = 1;
    double d = 0.5;
    bool b = true;
    QString s = QStringLiteral("Arial");
    QByteArray blob(40, 'x');
    MemoryArchive out;
    {
        PropExchange px(out);
        exchangeSettings(px, l, d, b, s, blob);
    }
    const QByteArray bytes = out.data();
    for (auto _ : state) {
        MemoryArchive a(bytes);
        PropExchange px(a);
        exchangeSettings(px, l, d, b, s, blob);
        benchmark::DoNotOptimize(px.status());
    }
}
BENCHMARK(loadSettingsStream);

} // namespace

BENCHMARK_MAIN();
