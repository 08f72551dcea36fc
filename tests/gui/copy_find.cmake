# Copying, selection and find under wine. Included from tests/gui/CMakeLists.txt.

# The commands in real document windows, driven as a user drives them.
add_executable(velk_copy_find_view_tests
  ${CMAKE_CURRENT_LIST_DIR}/view_test_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/copy_view_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_view_test.cpp)
target_include_directories(velk_copy_find_view_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velk_copy_find_view_tests PRIVATE velk_app velk_dump velk_resources)
velk_add_gtest(velk_copy_find_view_tests)

# velk.exe as its own process against velkdump, over pydicom's files and the
# bad-input catalogue.
file(RELATIVE_PATH velk_copy_app_folder ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_BINARY_DIR}/app)
string(REPLACE "/" "\\\\" velk_copy_app_folder "${velk_copy_app_folder}\\\\")
add_executable(velk_e2e_copy_tests
  ${CMAKE_CURRENT_LIST_DIR}/e2e_copy_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/listing_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewer_process.cpp)
target_link_libraries(velk_e2e_copy_tests PRIVATE velk_dump velk_catalogue)
target_compile_definitions(velk_e2e_copy_tests PRIVATE "VELK_APP_FOLDER_FROM_TESTS=L\"${velk_copy_app_folder}\"")
add_dependencies(velk_e2e_copy_tests velk)
target_link_libraries(velk_e2e_copy_tests PRIVATE GTest::gtest_main velk_test_support)
velk_warnings(velk_e2e_copy_tests)
velk_windows_executable(velk_e2e_copy_tests)
# Each viewer process costs wine seconds: the files are split over tests, each
# with a time budget of its own.
foreach(shard 0 1)
  add_test(NAME velk_e2e_copy_tests_${shard}
           COMMAND velk_e2e_copy_tests --gtest_filter=EndToEndCopy.*)
  set_tests_properties(velk_e2e_copy_tests_${shard} PROPERTIES
    FIXTURES_REQUIRED wine_prefix
    ENVIRONMENT "${VELK_WINE_ENVIRONMENT};VELK_E2E_SHARD=${shard}/2")
endforeach()
add_test(NAME velk_e2e_catalogue_tests COMMAND velk_e2e_copy_tests --gtest_filter=EndToEndCatalogue.*)
set_tests_properties(velk_e2e_catalogue_tests PROPERTIES
  FIXTURES_REQUIRED wine_prefix
  ENVIRONMENT "${VELK_WINE_ENVIRONMENT}")

# Select All, Copy Rows and Find Next under wine beside velkdump (not a test: it
# prints figures). usage: velk_copy_find_bench FILE [REPEATS]
add_executable(velk_copy_find_bench ${PROJECT_SOURCE_DIR}/bench/copy_find_bench.cpp)
target_link_libraries(velk_copy_find_bench PRIVATE velk_app velk_dump velk_resources)
target_link_options(velk_copy_find_bench PRIVATE -municode)
velk_warnings(velk_copy_find_bench)
velk_windows_executable(velk_copy_find_bench)
