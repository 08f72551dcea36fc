# Provides the target velk_mapped_file: Boost.Iostreams' memory-mapped file.
#
# Host build: Debian's compiled library.
# Windows build: Debian ships no MinGW Boost, so mapped_file.cpp is compiled from
# the boost1.74 source package, fetched once into the build folder by
# tools/fetch-boost-source. The headers are platform-neutral and are taken from
# /usr/include/boost through a folder that holds nothing but a link to them (giving
# the cross compiler /usr/include itself would mix glibc headers in).
if(NOT WIN32)
  # The static archive, so that velkdump can be linked whole: its start-up is
  # most of its time on small files.
  set(Boost_USE_STATIC_LIBS ON)
  find_package(Boost 1.74 REQUIRED COMPONENTS iostreams)
  add_library(velk_mapped_file INTERFACE)
  target_link_libraries(velk_mapped_file INTERFACE Boost::iostreams)
  return()
endif()

set(VELK_BOOST_CACHE ${CMAKE_BINARY_DIR}/_deps/boost)
set(VELK_BOOST_SOURCE ${VELK_BOOST_CACHE}/iostreams-src/mapped_file.cpp)
if(NOT EXISTS ${VELK_BOOST_SOURCE})
  message(STATUS "Fetching Boost.Iostreams sources (boost1.74 source package)")
  execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tools/fetch-boost-source ${VELK_BOOST_CACHE}
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS ${VELK_BOOST_SOURCE})
    message(FATAL_ERROR "Could not fetch Boost.Iostreams sources (see above)")
  endif()
endif()

set(VELK_BOOST_INCLUDE ${VELK_BOOST_CACHE}/include)
if(NOT EXISTS ${VELK_BOOST_INCLUDE}/boost)
  file(MAKE_DIRECTORY ${VELK_BOOST_INCLUDE})
  file(CREATE_LINK /usr/include/boost ${VELK_BOOST_INCLUDE}/boost SYMBOLIC)
endif()

add_library(velk_mapped_file STATIC ${VELK_BOOST_SOURCE})
target_include_directories(velk_mapped_file SYSTEM PUBLIC ${VELK_BOOST_INCLUDE})
target_compile_definitions(velk_mapped_file PUBLIC BOOST_ALL_NO_LIB)
