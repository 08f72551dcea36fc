# Copying, selection and find under wine: the commands' walk over a stand-in list.
add_executable(velk_copy_find_list_tests
  ${CMAKE_CURRENT_LIST_DIR}/copy_fake_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/copy_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_list_test.cpp)
target_link_libraries(velk_copy_find_list_tests PRIVATE velk_view_commands velk_resources)
velk_add_gtest(velk_copy_find_list_tests)
