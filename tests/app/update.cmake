# The update check and the self-update through the main window, against a local server.
add_executable(test_tmain_update ${CMAKE_CURRENT_LIST_DIR}/test_tmain_update.cpp
  ${PROJECT_SOURCE_DIR}/tests/common/http_test_main.cpp)
target_include_directories(test_tmain_update PRIVATE ${CMAKE_SOURCE_DIR}/tests/net)
target_link_libraries(test_tmain_update PRIVATE bw_app GTest::gtest Qt6::Test Qt6::Network)
gtest_discover_tests(test_tmain_update DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
