# The element list and the document windows, driven as a user drives them: one
# binary (one wine process) for all of them. The program's own resources give
# the row icons, the document menu and its title string.
add_executable(velk_documents_tests
  view_test_support.cpp
  view_list_test.cpp
  view_files_test.cpp
  view_exceptions_test.cpp
  documents_open_test.cpp
  documents_process_test.cpp
)
target_include_directories(velk_documents_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velk_documents_tests PRIVATE velk_app velk_resources)
# velk.exe, started as its own process, is found from the test program's folder.
file(RELATIVE_PATH velk_documents_app_folder ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_BINARY_DIR}/app)
string(REPLACE "/" "\\\\" velk_documents_app_folder "${velk_documents_app_folder}\\\\")
target_compile_definitions(velk_documents_tests PRIVATE
  "VELK_APP_FOLDER_FROM_TESTS=L\"${velk_documents_app_folder}\"")
add_dependencies(velk_documents_tests velk)
velk_add_gtest(velk_documents_tests)

# The list window's speed under wine (not a test: it prints figures).
add_executable(velk_view_bench ${PROJECT_SOURCE_DIR}/bench/view_bench_win.cpp)
target_include_directories(velk_view_bench PRIVATE ${PROJECT_SOURCE_DIR}/bench ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(velk_view_bench PRIVATE velk_app velk_resources)
velk_warnings(velk_view_bench)
velk_windows_executable(velk_view_bench)

# Clicks a row's icon in a running velk, for tools/screenshot's picture of the
# list with a container collapsed (not a test).
add_executable(velk_documents_click documents_click.cpp)
target_link_options(velk_documents_click PRIVATE -municode)
velk_warnings(velk_documents_click)
velk_windows_executable(velk_documents_click)
