# The tally list window and its tally file (offscreen). The binary is also the
# child process of the crash test (--tally-save-child).
add_executable(test_ttallylist tallylist_test_main.cpp tallylisttest.h test_ttallylist.cpp test_tallyfile.cpp)
target_link_libraries(test_ttallylist PRIVATE bw_tally bw_game GTest::gtest Qt6::Widgets)
target_compile_definitions(test_ttallylist PRIVATE BALLWICK_PACK_TOOL="$<TARGET_FILE:ballwick-pack>")
add_dependencies(test_ttallylist ballwick-pack)
if(TARGET bw_res_images)
  target_link_libraries(test_ttallylist PRIVATE bw_res_images)
endif()
gtest_discover_tests(test_ttallylist DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The tally list inside the program, with the real main window.
if(TARGET bw_app)
  add_executable(test_tallylist_app test_tallylist_app.cpp ${PROJECT_SOURCE_DIR}/tests/common/qt_test_main.cpp)
  target_link_libraries(test_tallylist_app PRIVATE bw_app bw_tally GTest::gtest Qt6::Widgets)
  gtest_discover_tests(test_tallylist_app DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
