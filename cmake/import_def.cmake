# Turns the export .def of lumbrik.dll ("name = name@N @ordinal") into the
# .def dlltool makes the hosts' import library from ("name@N @ordinal", used
# with --kill-at): hosts then link the stdcall symbols to the plain names.
#   cmake -DEIN=lumbrik.def -DAUS=import.def -P import_def.cmake
file(READ ${EIN} text)
string(REGEX REPLACE "([A-Za-z_0-9]+) = ([A-Za-z_0-9]+@[0-9]+)" "\\2" text "${text}")
file(WRITE ${AUS} "${text}")
