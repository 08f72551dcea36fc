# Copy Rows text and Find Next through the row model, and on Windows the list's
# display adapter.
add_executable(velk_copy_find_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/copy_rows_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_test.cpp)
target_include_directories(velk_copy_find_unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(velk_copy_find_unit_tests PRIVATE velk_view_text)
if(WIN32)
  target_sources(velk_copy_find_unit_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/row_text_test.cpp)
  target_link_libraries(velk_copy_find_unit_tests PRIVATE velk_view_commands)
endif()
velk_add_gtest(velk_copy_find_unit_tests)
