# Containment: the bad-input catalogue opened in one running shell beside real
# documents (one binary, one wine process).
add_executable(velk_containment_tests containment_test.cpp listing_support.cpp)
target_link_libraries(velk_containment_tests PRIVATE velk_app velk_resources velk_catalogue velk_dump)
velk_add_gtest(velk_containment_tests)
