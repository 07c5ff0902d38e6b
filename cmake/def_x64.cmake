# Turns a .def of stdcall names into the one for 64-bit Windows, where there
# is a single calling convention and names carry no "@N" byte count:
# "name = name@N @ordinal" becomes "name = name @ordinal", "name@N" "name".
# The 32-bit .def stays the one list of names and ordinals.
#   cmake -DEIN=lumbrik.def -DAUS=lumbrik_x64.def -P def_x64.cmake
file(READ ${EIN} text)
string(REGEX REPLACE "([A-Za-z_0-9]+)@[0-9]+" "\\1" text "${text}")
file(WRITE ${AUS} "${text}")
