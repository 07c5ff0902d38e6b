// Loads lumbrik.dll the way any host does, LoadLibraryA and GetProcAddress,
// and says precisely what is missing when that fails.
#pragma once

#include "lumbrik_dll.h"

#include <windows.h>

#include <string>

// `wo` is what --dll gave (the DLL itself or its folder), or empty for the
// program's own folder. On failure `meldung` names the missing file and
// where it was looked for (code page 1252).
bool lumbrik_laden(const std::string &wo, lumbrik_exporte &e, std::string &meldung);
