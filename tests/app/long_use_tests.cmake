# Long use: the soak, files changed under a shown document and odd paths, in one
# running shell per test (one binary, one wine process).
add_executable(velk_long_use_tests soak_test.cpp odd_path_test.cpp)
target_include_directories(velk_long_use_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velk_long_use_tests PRIVATE velk_app velk_resources velk_catalogue velk_win_test_support psapi)
velk_add_gtest(velk_long_use_tests)
# The soak's short run (100 cycles) runs here; its long run by hand (docs/reliability.md, "Long use").
