#pragma once
// What the synthesiser noticed beyond plain success or failure.
#include <string>
#include <vector>

namespace vorsan::synth {

// Diphones ("database: a-b") that work started through the MBR_ calls needed
// but that neither the voice nor any of its fallbacks provides, since the
// last call. Such a pair is spoken with the voice's default diphone (and a
// diagnostic line names it once).
std::vector<std::string> takeMissingDiphones();

} // namespace vorsan::synth
