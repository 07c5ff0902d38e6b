// The same C example, compiled as C++.
#include "c_pruefen.c"
