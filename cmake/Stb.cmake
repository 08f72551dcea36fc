# Provides the target velk_stb: stb_image and stb_image_write (Debian's
# libstb-dev), header-only, included as <stb/stb_image.h>.
#
# Host build: /usr/include holds them. Windows build: the cross compiler is given
# a folder that holds nothing but a link to /usr/include/stb (giving it
# /usr/include itself would mix glibc headers in).
add_library(velk_stb INTERFACE)
if(NOT EXISTS /usr/include/stb/stb_image.h)
  message(FATAL_ERROR "stb is missing: tools/setup installs libstb-dev")
endif()
if(NOT WIN32)
  return()
endif()
set(VELK_STB_INCLUDE ${CMAKE_BINARY_DIR}/_deps/stb/include)
if(NOT EXISTS ${VELK_STB_INCLUDE}/stb)
  file(MAKE_DIRECTORY ${VELK_STB_INCLUDE})
  file(CREATE_LINK /usr/include/stb ${VELK_STB_INCLUDE}/stb SYMBOLIC)
endif()
target_include_directories(velk_stb SYSTEM INTERFACE ${VELK_STB_INCLUDE})
