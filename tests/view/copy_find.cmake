# Copy Rows text and Find Next, from stand-ins for the list.
add_executable(velk_copy_find_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/copy_rows_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_test.cpp)
target_include_directories(velk_copy_find_unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(velk_copy_find_unit_tests PRIVATE velk_view_text)
velk_add_gtest(velk_copy_find_unit_tests)
