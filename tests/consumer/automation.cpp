// vorsan-automation-client: creates the VorsanAPI object of the registered
// in-process server by its ProgID, as an automation client does, and calls
// ConvertTextToSoundFile("Hello world.") by name; the server writes temp1.wav
// into the profile folder.
#include <cstdio>

#include "vorsan/automation/Bstr.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/LateBinding.h"

int main() {
    using namespace vorsan;
    ComPtr<IDispatch> api;
    const HRESULT created = createInstance(u"VorsanCOM.VorsanAPI", IID_IDispatch, api);
    if (FAILED(created)) {
        std::fprintf(stderr, "vorsan-automation-client: VorsanCOM.VorsanAPI not created (0x%08X)\n",
                     unsigned(created));
        return 1;
    }
    constexpr SHORT kWave = 2;  // the automation's file type of WAVE files
    const LateCall call = callByName(api.get(), u"ConvertTextToSoundFile", DISPATCH_METHOD,
                                     {Variant::str(u"Hello world."), Variant::i4(0), Variant::i4(0), Variant::i2(kWave)});
    if (FAILED(call.result)) {
        std::fprintf(stderr, "vorsan-automation-client: ConvertTextToSoundFile failed (0x%08X): %s\n",
                     unsigned(call.result), Bstr(call.description).utf8().c_str());
        return 1;
    }
    return 0;
}
