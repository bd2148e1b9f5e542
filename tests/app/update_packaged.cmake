# The update offer of a packaged build (-DBALLWICK_SELF_UPDATE=OFF); skipped otherwise.
add_executable(test_update_packaged ${CMAKE_CURRENT_LIST_DIR}/test_update_packaged.cpp
  ${PROJECT_SOURCE_DIR}/tests/common/http_test_main.cpp)
target_include_directories(test_update_packaged PRIVATE ${CMAKE_SOURCE_DIR}/tests/net)
target_link_libraries(test_update_packaged PRIVATE bw_app GTest::gtest Qt6::Test Qt6::Network)
gtest_discover_tests(test_update_packaged DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
