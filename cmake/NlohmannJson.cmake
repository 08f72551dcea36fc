# Provides the target velk_json: nlohmann-json, header-only.
#
# Host build: Debian's package, found through its CMake files.
# Windows build: the same headers, given to the cross compiler through a folder
# that holds nothing but a link to /usr/include/nlohmann (giving it /usr/include
# itself would mix glibc headers in).
add_library(velk_json INTERFACE)
if(NOT WIN32)
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(velk_json INTERFACE nlohmann_json::nlohmann_json)
  return()
endif()

set(VELK_JSON_INCLUDE ${CMAKE_BINARY_DIR}/_deps/nlohmann/include)
if(NOT EXISTS /usr/include/nlohmann/json.hpp)
  message(FATAL_ERROR "nlohmann-json is missing: tools/setup installs nlohmann-json3-dev")
endif()
if(NOT EXISTS ${VELK_JSON_INCLUDE}/nlohmann)
  file(MAKE_DIRECTORY ${VELK_JSON_INCLUDE})
  file(CREATE_LINK /usr/include/nlohmann ${VELK_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()
target_include_directories(velk_json SYSTEM INTERFACE ${VELK_JSON_INCLUDE})
