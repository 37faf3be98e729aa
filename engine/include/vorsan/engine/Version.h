#pragma once
// The engine library's version, as the library a program runs with was
// built (which may differ from the headers the program was built against).
namespace vorsan {

// "major.minor.patch".
const char* libraryVersion();

} // namespace vorsan
