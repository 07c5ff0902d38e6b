// The same C example, compiled as C++.
#include "c_pruefen.c" // NOLINT(bugprone-suspicious-include): the same file
