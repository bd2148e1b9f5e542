# Settings file and sound cues.
add_executable(test_profile test_profile.cpp ${PROJECT_SOURCE_DIR}/tests/common/core_test_main.cpp)
target_link_libraries(test_profile PRIVATE bw_app GTest::gtest)
gtest_discover_tests(test_profile DISCOVERY_MODE PRE_TEST)

add_executable(test_sounds test_sounds.cpp)
target_link_libraries(test_sounds PRIVATE bw_app GTest::gtest Qt6::Test Qt6::Multimedia)
gtest_discover_tests(test_sounds DISCOVERY_MODE PRE_TEST)

# The main window with its settings file.
if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/tmain.cpp)
  add_executable(test_tmain_settings test_tmain_settings.cpp ${PROJECT_SOURCE_DIR}/tests/common/qt_test_main.cpp)
  target_link_libraries(test_tmain_settings PRIVATE bw_app GTest::gtest)
  gtest_discover_tests(test_tmain_settings DISCOVERY_MODE PRE_TEST)
endif()
