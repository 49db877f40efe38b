// Libraries loaded by name and their functions resolved at first use, as the program takes
// functions from Windows libraries.
#pragma once

#include <string_view>

// Loads a library by bare file name: the program's folder is searched first, then the mapped
// Windows folder (paths.h). The first file found is the one loaded, as on Windows; when it
// cannot be loaded the result is null. A loaded library stays for the life of the process and
// holds its file shared, so that WriteFileBytes cannot change it underneath.
void* LoadLibraryByName(std::string_view name);

// The function `function` exported by library `library` (bare name): loaded and resolved at
// the first call for that pair, remembered after. Null when the library or the export is
// missing; a failed resolution is tried again at the next call.
void* ImportFunction(std::string_view library, std::string_view function);

// ImportFunction cast to the function type F, e.g. ImportFunction<int(const char*)>(...).
template <typename F>
F* ImportFunction(std::string_view library, std::string_view function) {
  return reinterpret_cast<F*>(ImportFunction(library, function));
}
