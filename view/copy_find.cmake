# Copying, selection and find. The Copy Rows text and the search over the row
# model are portable and tested natively; their side on the list window, with the
# display adapter, is Windows only. Included from view/CMakeLists.txt, after the
# list view's own targets.
add_library(velk_view_text STATIC ${CMAKE_CURRENT_LIST_DIR}/find.cpp)
target_include_directories(velk_view_text PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(velk_view_text PUBLIC velk_present)
velk_warnings(velk_view_text)

if(WIN32)
  add_library(velk_view_commands STATIC
    ${CMAKE_CURRENT_LIST_DIR}/clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/context_menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/copy_rows_list.cpp
    ${CMAKE_CURRENT_LIST_DIR}/find_list.cpp
    ${CMAKE_CURRENT_LIST_DIR}/row_text_win.cpp)
  target_link_libraries(velk_view_commands PUBLIC velk_view_text velk_framework comctl32 comdlg32)
  velk_warnings(velk_view_commands)
endif()

# The list view's own handlers of these commands and its find dialog.
if(TARGET velk_view)
  target_sources(velk_view PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/find_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/list_commands.cpp)
  target_link_libraries(velk_view PUBLIC velk_view_commands)
endif()
