# Embeds the built-in model files in the simulated DLL: one table entry per
# VERZEICHNIS/*.toml, named by its file name, its text as a raw string.
#   cmake -DVERZEICHNIS=simulator/modelle -DAUS=eingebaute_modelle.inc -P einbetten.cmake
file(GLOB dateien ${VERZEICHNIS}/*.toml)
list(SORT dateien)
set(text "// Made by einbetten.cmake from the model files; do not edit.\n")
foreach(datei IN LISTS dateien)
  get_filename_component(name ${datei} NAME_WE)
  file(READ ${datei} inhalt)
  string(APPEND text "{\"${name}\", R\"lumbrik_modell(${inhalt})lumbrik_modell\"},\n")
endforeach()
file(WRITE ${AUS}.neu "${text}")
file(COPY_FILE ${AUS}.neu ${AUS} ONLY_IF_DIFFERENT)
