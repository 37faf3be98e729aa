// Automation call costs through the registry-created VorsanCOM server.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/LateBinding.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;

namespace {

ComPtr<IVorsanAPI> newApi() {
    ComPtr<IVorsanAPI> api;
    if (createInstance(u"VorsanCOM.VorsanAPI", IID_IVorsanAPI, api) != S_OK) std::abort();
    return api;
}

void BM_EarlyBoundQuery(benchmark::State& state) {
    auto api = newApi();
    Bstr name(u"English (United States)");
    for (auto _ : state) {
        LONG yes = 0;
        api->get_LanguageSupported(name.get(), &yes);
        benchmark::DoNotOptimize(yes);
    }
}
BENCHMARK(BM_EarlyBoundQuery);

void BM_LateBoundQueryByName(benchmark::State& state) {
    auto api = newApi();
    ComPtr<IDispatch> d;
    api.as(IID_IDispatch, d);
    for (auto _ : state) {
        LateCall c = callByName(d.get(), u"LanguageSupported", DISPATCH_PROPERTYGET,
                                {Variant::str(u"English (United States)")});
        benchmark::DoNotOptimize(c.value.lVal);
    }
}
BENCHMARK(BM_LateBoundQueryByName);

void BM_LateBoundQueryById(benchmark::State& state) {
    auto api = newApi();
    ComPtr<IDispatch> d;
    api.as(IID_IDispatch, d);
    for (auto _ : state) {
        LateCall c = callById(d.get(), 3, DISPATCH_PROPERTYGET, {Variant::str(u"English (United States)")});
        benchmark::DoNotOptimize(c.value.lVal);
    }
}
BENCHMARK(BM_LateBoundQueryById);

// A list result of N names, then enumerated to the end.
void BM_ListResultEnumerated(benchmark::State& state) {
    auto api = newApi();
    for (auto _ : state) {
        ComPtr<IMStringList> list;
        api->get_AllSupportedLanguages(list.put());
        ComPtr<IUnknown> unk;
        list->get__NewEnum(unk.put());
        ComPtr<IEnumVARIANT> e;
        unk.as(IID_IEnumVARIANT, e);
        Variant v;
        while (e->Next(1, &v, nullptr) == S_OK) VariantClear(&v);
    }
}
BENCHMARK(BM_ListResultEnumerated);

void BM_CreateVorsanApiThroughRegistry(benchmark::State& state) {
    for (auto _ : state) {
        auto api = newApi();
        benchmark::DoNotOptimize(api.get());
    }
}
BENCHMARK(BM_CreateVorsanApiThroughRegistry)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    vorsan::testing::TempProfile profile;
    setenv("VORSAN_SYSTEM_REGISTRY", (profile.path() / "system-registry").c_str(), 1);
    void* server = ::dlopen(VORSAN_COM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    auto reg = server ? reinterpret_cast<VorsanDllRegisterFn>(::dlsym(server, "DllRegisterServer")) : nullptr;
    if (!reg || reg() != S_OK) {
        std::fprintf(stderr, "cannot register %s\n", VORSAN_COM_LIBRARY);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
