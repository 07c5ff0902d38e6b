# Reads the lists of functions (src/exporte.h, src/umFish40_funktionen.h,
# simulator/sim_steuerung.h) at configure time and writes what is made from
# them outside C++: .def files and the table check's expected names. A change
# to a list reconfigures the build.

# Entries of `header` as "name|ordinal|bytes" (ordinal empty where the list
# has none), each name with `praefix` in front.
function(liste_lesen header praefix ergebnis)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
  # Read whole: a list element ending in the macro's backslash would swallow
  # the separator after it.
  file(READ ${header} text)
  string(REPLACE "\\\n" "\n" text "${text}")
  string(REGEX MATCHALL "\n *X\\([^\n]*" zeilen "${text}")
  set(eintraege)
  foreach(zeile IN LISTS zeilen)
    if(NOT zeile MATCHES "^\n *X\\(([A-Za-z_0-9]+), (([0-9]+), )?.*, ([0-9]+)\\)")
      message(FATAL_ERROR "${header}: Eintrag nicht lesbar: ${zeile}")
    endif()
    list(APPEND eintraege "${praefix}${CMAKE_MATCH_1}|${CMAKE_MATCH_3}|${CMAKE_MATCH_4}")
  endforeach()
  set(${ergebnis} ${eintraege} PARENT_SCOPE)
endfunction()

# Writes a .def for `bibliothek` from entries of liste_lesen. FORM export:
# "name = name@N @ordinal"; stdcall: "name = name@N"; import: "name@N" (for
# dlltool --kill-at; with the ordinal where the list has one). 64-bit names carry no "@N": there is one convention.
function(def_schreiben datei bibliothek form)
  set(text "; The functions ${bibliothek} exports.\nLIBRARY ${bibliothek}\nEXPORTS\n")
  foreach(eintrag IN LISTS ARGN)
    string(REPLACE "|" ";" teile "${eintrag}")
    list(GET teile 0 name)
    list(GET teile 1 ordinal)
    list(GET teile 2 bytes)
    set(symbol ${name})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(symbol ${name}@${bytes})
    endif()
    if(form STREQUAL export)
      string(APPEND text "  ${name} = ${symbol} @${ordinal}\n")
    elseif(form STREQUAL stdcall)
      string(APPEND text "  ${name} = ${symbol}\n")
    else()
      set(zusatz)
      if(NOT ordinal STREQUAL "")
        set(zusatz " @${ordinal}")
      endif()
      string(APPEND text "  ${symbol}${zusatz}\n")
    endif()
  endforeach()
  # Written only when it changed, so that nothing relinks for nothing.
  file(WRITE ${datei}.neu "${text}")
  configure_file(${datei}.neu ${datei} COPYONLY)
endfunction()

set(LUMBRIK_LISTE_EXPORTE ${CMAKE_CURRENT_LIST_DIR}/../src/exporte.h)
set(LUMBRIK_LISTE_UMFISH ${CMAKE_CURRENT_LIST_DIR}/../src/umFish40_funktionen.h)
set(LUMBRIK_LISTE_SIMULATOR ${CMAKE_CURRENT_LIST_DIR}/../simulator/sim_steuerung.h)
liste_lesen(${LUMBRIK_LISTE_EXPORTE} "" LUMBRIK_EXPORTE)
liste_lesen(${LUMBRIK_LISTE_UMFISH} "" LUMBRIK_UMFISH)
liste_lesen(${LUMBRIK_LISTE_SIMULATOR} "sim_" LUMBRIK_SIMULATOR)
