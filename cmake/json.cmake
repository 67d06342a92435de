# nlohmann_json::nlohmann_json: Debian's header-only JSON library. Cross
# builds can't search the host's include tree, so they get a copy of just
# that library's headers in the build tree.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3 REQUIRED)
elseif(NOT TARGET nlohmann_json::nlohmann_json)
  set(TELO_JSON_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann/json headers for cross builds")
  file(COPY ${TELO_JSON_HEADERS} DESTINATION ${CMAKE_BINARY_DIR}/json-include)
  add_library(nlohmann_json INTERFACE)
  target_include_directories(nlohmann_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)
  add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)
endif()
