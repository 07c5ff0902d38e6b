# nlohmann/json is header-only. A cross build gets a folder holding just a
# link to it, not the machine's other headers, as toml++ does.
find_path(NLOHMANN_ORT nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(LUMBRIK_JSON_ORDNER ${PROJECT_BINARY_DIR}/json)
file(MAKE_DIRECTORY ${LUMBRIK_JSON_ORDNER})
file(CREATE_LINK ${NLOHMANN_ORT}/nlohmann ${LUMBRIK_JSON_ORDNER}/nlohmann SYMBOLIC)

# The target reads JSON.
function(json_lesen ziel)
  target_include_directories(${ziel} SYSTEM PRIVATE ${LUMBRIK_JSON_ORDNER})
endfunction()
