# How this build's Windows programs run under Wine. A test starts one plainly
# through Wine (CMAKE_CROSSCOMPILING_EMULATOR); the build's Wine environment
# below is the one list of what Wine needs here. wine_tests() gives it to
# each test that runs a Windows program, <build>/wine.env to
# scripts/wine-run.sh. Those tests share one session (tests/wine/sitzung.sh):
# a virtual display of their own, one persistent wineserver, the prefix made
# once.

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Each build runs in a prefix of its own, so the tests never touch the user's.
set(LUMBRIK_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
# No Mono or Gecko installers, no menu entries, no Wine chatter.
set(wine_umgebung WINEPREFIX=${LUMBRIK_WINEPREFIX} WINEDEBUG=-all
                  WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d)

# Where 32-bit Wine runs under qemu-user, its processes get the mmap fix that
# scripts/setup.sh builds; without it each start takes about 50 seconds.
# $LIB picks the i386 library for 32-bit processes and an empty one for the
# rest.
set(mmap_fix ${PROJECT_SOURCE_DIR}/build/qemu-i386)
set(qemu_i386 "")
if(EXISTS /proc/sys/fs/binfmt_misc/qemu-i386)
  file(STRINGS /proc/sys/fs/binfmt_misc/qemu-i386 qemu_i386 LIMIT_COUNT 1)
endif()
if(qemu_i386 STREQUAL "enabled")
  if(EXISTS ${mmap_fix}/lib/i386-linux-gnu/wine-mmap.so)
    list(APPEND wine_umgebung "LD_PRELOAD=${mmap_fix}/$LIB/wine-mmap.so")
  else()
    message(WARNING "Ohne die mmap-Korrektur startet 32-Bit-Wine hier langsam; scripts/setup.sh baut sie.")
  endif()
endif()

# The simulated umFish40.DLL is found on the Windows path, ahead of any
# folder a test puts there.
set(wine_simulator Z:${PROJECT_BINARY_DIR}/simulator)

# For a shell to source, each value quoted as it stands ($LIB and all).
set(wine_env "")
foreach(eintrag IN LISTS wine_umgebung ITEMS LUMBRIK_WINEPATH=${wine_simulator})
  string(REGEX REPLACE "^([A-Z_]+)=(.*)$" "\\1='\\2'\n" eintrag "${eintrag}")
  string(APPEND wine_env "${eintrag}")
endforeach()
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/wine.env CONTENT "${wine_env}")

# The tests' display: a number of this build's own, so that the tests of two
# builds may run at the same time.
string(MD5 anzeige ${PROJECT_BINARY_DIR})
string(SUBSTRING ${anzeige} 0 3 anzeige)
math(EXPR anzeige "0x${anzeige} % 900 + 100")
set(LUMBRIK_TEST_ANZEIGE :${anzeige})

# What a test that runs a Windows program gets on top of its own environment.
set(wine_aenderungen DISPLAY=set:${LUMBRIK_TEST_ANZEIGE}
                     WINEPATH=cmake_list_prepend:${wine_simulator})
foreach(eintrag IN LISTS wine_umgebung)
  string(REGEX REPLACE "^([A-Z_]+)=" "\\1=set:" eintrag "${eintrag}")
  list(APPEND wine_aenderungen "${eintrag}")
endforeach()

set(wine_sitzung ${PROJECT_SOURCE_DIR}/tests/wine/sitzung.sh)
add_test(NAME wine_sitzung_anfang COMMAND ${wine_sitzung} anfang ${PROJECT_SOURCE_DIR})
add_test(NAME wine_sitzung_ende COMMAND ${wine_sitzung} ende ${PROJECT_SOURCE_DIR})
set_tests_properties(wine_sitzung_anfang PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_sitzung_ende PROPERTIES FIXTURES_CLEANUP wine)
set_property(TEST wine_sitzung_anfang wine_sitzung_ende PROPERTY ENVIRONMENT_MODIFICATION
             ${wine_aenderungen})

# The named tests (of the calling folder) run Windows programs: they get the
# Wine environment and the session, and run one at a time.
function(wine_tests)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT_MODIFICATION ${wine_aenderungen})
  set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED wine)
  set_property(TEST ${ARGN} APPEND PROPERTY RESOURCE_LOCK wine)
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS wine)
endfunction()

# A command with the tests' Wine session around it, for build targets that
# run Windows programs on a display (the pictures of the docs).
set(LUMBRIK_MIT_WINE ${CMAKE_COMMAND} -E env ${wine_umgebung} DISPLAY=${LUMBRIK_TEST_ANZEIGE}
                     "WINEPATH=${wine_simulator}")
