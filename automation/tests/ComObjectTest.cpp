// The one reference-counted object base and the server book-keeping over
// it: each interface of an object shares its count and its IUnknown, a
// server unloads only when every object, factory and lock is gone, and a
// constructor that throws leaves nothing counted.
#include <stdexcept>
#include <utility>
#include <vector>

#include "AutomationFixture.h"
#include "vorsan/automation/ServerSupport.h"
#include "vorsan/automation/SpeechStream.h"

namespace vorsan {
namespace {

using serversupport::ServerObject;
using testing::AutomationTest;

// A counted object with two interfaces; it records its own destruction.
class Probe final : public ServerObject<Implements<IClassFactory, IID_IClassFactory>,
                                        Implements<ISupportErrorInfo, IID_ISupportErrorInfo>> {
public:
    explicit Probe(bool* destroyed) : destroyed_(destroyed) {}
    ~Probe() override { *destroyed_ = true; }

    HRESULT CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT LockServer(BOOL) override { return E_NOTIMPL; }
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }

private:
    bool* destroyed_;
};

class Throwing final : public ServerObject<Implements<ISupportErrorInfo, IID_ISupportErrorInfo>> {
public:
    Throwing() { throw std::runtime_error("no engine"); }
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }
};

long liveObjects() { return serversupport::moduleCounters().objects.load(); }

IUnknown* identity(IUnknown* p) {
    IUnknown* u = nullptr;
    if (FAILED(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u)))) return nullptr;
    u->Release();
    return u;
}

TEST(ComObject, InterfacesShareOneCountAndOneIdentityUntilTheLastRelease) {
    bool destroyed = false;
    ISupportErrorInfo* info = nullptr;
    ASSERT_EQ(createObject<Probe>(IID_ISupportErrorInfo, reinterpret_cast<void**>(&info), &destroyed), S_OK);
    EXPECT_EQ(liveObjects(), 1);
    EXPECT_EQ(info->AddRef(), 2u);
    EXPECT_EQ(info->Release(), 1u);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(info->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->AddRef(), 3u);  // the count is the object's, not the interface's
    EXPECT_EQ(info->Release(), 2u);
    EXPECT_EQ(identity(factory), identity(info));
    EXPECT_EQ(identity(info), static_cast<IUnknown*>(factory));

    void* p = &destroyed;
    EXPECT_EQ(factory->QueryInterface(IID_IDispatch, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);

    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(serversupport::canUnloadNow(), S_FALSE);
    EXPECT_EQ(info->Release(), 0u);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(liveObjects(), 0);
    EXPECT_EQ(serversupport::canUnloadNow(), S_OK);

    // Asking for an interface the class lacks deletes the new object.
    destroyed = false;
    EXPECT_EQ(createObject<Probe>(IID_IDispatch, &p, &destroyed), E_NOINTERFACE);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(liveObjects(), 0);

    EXPECT_THROW(createObject<Throwing>(IID_ISupportErrorInfo, &p), std::runtime_error);
    EXPECT_EQ(liveObjects(), 0);
}

bool probeDestroyed = false;
HRESULT createProbe(REFIID iid, void** ppv) { return createObject<Probe>(iid, ppv, &probeDestroyed); }

const CLSID kProbeClass{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
const serversupport::ServerClass kProbeClasses[] = {{kProbeClass, &createProbe, "Test.Probe", 1, "Probe", "Both"}};

TEST(ComObject, FactoriesAndLocksKeepTheServerLoaded) {
    void* p = &p;
    EXPECT_EQ(serversupport::getClassObject(kProbeClasses, CLSID_MString, IID_IClassFactory, &p),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(serversupport::getClassObject(kProbeClasses, kProbeClass, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(liveObjects(), 1);
    ComPtr<IUnknown> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ISupportErrorInfo, object.putVoid()), S_OK);
    EXPECT_EQ(liveObjects(), 2);
    factory->LockServer(true);
    factory.reset();
    object.reset();
    EXPECT_TRUE(probeDestroyed);
    EXPECT_EQ(liveObjects(), 0);
    EXPECT_EQ(serversupport::canUnloadNow(), S_FALSE);  // still locked

    ASSERT_EQ(serversupport::getClassObject(kProbeClasses, kProbeClass, IID_IUnknown, factory.putVoid()), S_OK);
    factory->LockServer(false);
    factory.reset();
    EXPECT_EQ(serversupport::canUnloadNow(), S_OK);
}

// Every class of the server, through each interface it answers: one count
// and one IUnknown, and the library can unload once all are released.
TEST_F(AutomationTest, EveryServerClassAnswersItsInterfacesOnOneCount) {
    const std::vector<std::pair<const char16_t*, std::vector<const IID*>>> classes = {
        {u"VorsanCOM.MString", {&IID_IMString, &IID_IDispatch}},
        {u"VorsanCOM.Phoneme", {&IID_IPhoneme, &IID_IDispatch}},
        {u"VorsanCOM.MStringList", {&IID_IMStringList, &IID_IDispatch, &IID_IEnumVARIANT}},
        {u"VorsanCOM.PhonemeList", {&IID_IPhonemeList, &IID_IDispatch, &IID_IEnumVARIANT}},
        {u"VorsanCOM.VorsanAPI",
         {&IID_IVorsanAPI, &IID_IDispatch, &IID_ISupportErrorInfo, &IID_IVorsanSpeechStream}},
    };
    for (const auto& [progId, iids] : classes) {
        SCOPED_TRACE(std::string(progId, progId + std::char_traits<char16_t>::length(progId)));
        ComPtr<IUnknown> object = create<IUnknown>(progId, IID_IUnknown);
        ASSERT_TRUE(object);
        std::vector<ComPtr<IUnknown>> held;
        for (const IID* iid : iids) {
            ComPtr<IUnknown> p;
            ASSERT_EQ(object->QueryInterface(*iid, p.putVoid()), S_OK) << guidToString(*iid);
            EXPECT_EQ(identity(p.get()), object.get());
            const ULONG expected = static_cast<ULONG>(held.size()) + 2;  // `object`, `held` and `p`
            EXPECT_EQ(p->AddRef(), expected + 1);
            EXPECT_EQ(p->Release(), expected);
            held.push_back(std::move(p));
        }
        ComPtr<IUnknown> none;
        EXPECT_EQ(object->QueryInterface(IID_IClassFactory, none.putVoid()), E_NOINTERFACE);
        EXPECT_EQ(testing::serverCanUnloadNow(), S_FALSE);
        held.clear();
        EXPECT_EQ(object->AddRef(), 2u);
        EXPECT_EQ(object->Release(), 1u);
        object.reset();
        EXPECT_EQ(testing::serverCanUnloadNow(), S_OK);
    }
}

} // namespace
} // namespace vorsan
