// The same C example, compiled as C++.
#include "tests/wine/beispiele/c_pruefen.c" // NOLINT(bugprone-suspicious-include): the same file
