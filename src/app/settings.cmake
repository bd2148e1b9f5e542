# Settings file and sound cues.
target_sources(bw_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/profile.h ${CMAKE_CURRENT_LIST_DIR}/profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inisettings.h ${CMAKE_CURRENT_LIST_DIR}/inisettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sounds.h ${CMAKE_CURRENT_LIST_DIR}/sounds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audiomodule.h)
target_link_libraries(bw_app PUBLIC bw_res_sounds)

# The cue player with Qt Multimedia, a module of its own that the program
# carries inside (modules.cmake) and loads while its windows are built: the
# program starts without the audio libraries.
add_library(ballwick-audio MODULE ${CMAKE_CURRENT_LIST_DIR}/audiomodule.cpp)
target_link_libraries(ballwick-audio PRIVATE Qt6::Multimedia Qt6::Widgets)
# Carried in the program's data and copied to memory when loaded: no debug
# information in it.
target_link_options(ballwick-audio PRIVATE -s)
target_include_directories(ballwick-audio PRIVATE ${PROJECT_SOURCE_DIR}/src)
set_target_properties(ballwick-audio PROPERTIES
  PREFIX "" SUFFIX ".so"
  CXX_VISIBILITY_PRESET hidden
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/modules)
