// One start of a program as a user's would be: load the configuration,
// speak a text to a file. Exits 0 when the speech was written without the
// XML library ever being set up, 2 when it was set up, 1 on failure.
// Used by the configuration tests, which need a fresh process.
#include <cstdio>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/engine/SpeechEngine.h"

int main(int argc, char** argv) {
    if (argc != 3) return 1;
    try {
        vorsan::SpeechEngine engine;
        engine.loadConfiguration();
        if (!engine.convertTextToNamedFile(vorsan::utf8ToUtf16(argv[1]), true, true, vorsan::kSoundWAVE, argv[2]))
            return 1;
    } catch (const vorsan::MException& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 1;
    }
    return vorsan::xml::initialised() ? 2 : 0;
}
