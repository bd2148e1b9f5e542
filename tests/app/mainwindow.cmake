# The main window, clicked with the mouse on the offscreen platform.
add_executable(test_tmain ${CMAKE_CURRENT_LIST_DIR}/test_tmain.cpp ${PROJECT_SOURCE_DIR}/tests/common/qt_test_main.cpp)
target_link_libraries(test_tmain PRIVATE bw_app GTest::gtest Qt6::Test)
gtest_discover_tests(test_tmain DISCOVERY_MODE PRE_TEST)

# The main window played by keys alone and read by a screen reader.
foreach(bw_kb_test test_keyboard test_accessibility)
  add_executable(${bw_kb_test} ${CMAKE_CURRENT_LIST_DIR}/${bw_kb_test}.cpp ${PROJECT_SOURCE_DIR}/tests/common/qt_test_main.cpp)
  target_link_libraries(${bw_kb_test} PRIVATE bw_app GTest::gtest Qt6::Test)
  gtest_discover_tests(${bw_kb_test} DISCOVERY_MODE PRE_TEST)
endforeach()
