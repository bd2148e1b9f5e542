add_executable(test_appdirs test_appdirs.cpp ${PROJECT_SOURCE_DIR}/tests/common/core_test_main.cpp)
target_link_libraries(test_appdirs PRIVATE bw_appdirs GTest::gtest Qt6::Core)
gtest_discover_tests(test_appdirs DISCOVERY_MODE PRE_TEST)
