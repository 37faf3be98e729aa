#include "vorsan/engine/Version.h"

namespace vorsan {

const char* libraryVersion() { return VORSAN_VERSION; }

} // namespace vorsan
