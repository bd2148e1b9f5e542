# Settings file and sound cues.
target_sources(bw_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/profile.h ${CMAKE_CURRENT_LIST_DIR}/profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inisettings.h ${CMAKE_CURRENT_LIST_DIR}/inisettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sounds.h ${CMAKE_CURRENT_LIST_DIR}/sounds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audiomodule.h ${CMAKE_CURRENT_LIST_DIR}/audioloader.cpp)
target_link_libraries(bw_app PUBLIC bw_res_sounds bw_res_audio ${CMAKE_DL_LIBS})

# The cue player with Qt Multimedia, a module of its own that the program
# carries inside (bw_res_audio) and loads while its windows are built: the
# program starts without the audio libraries.
add_library(ballwick-audio MODULE ${CMAKE_CURRENT_LIST_DIR}/audiomodule.cpp)
target_link_libraries(ballwick-audio PRIVATE Qt6::Multimedia Qt6::Widgets)
# Carried in the program's data and copied to memory at every start: no debug
# information in it.
target_link_options(ballwick-audio PRIVATE -s)
target_include_directories(ballwick-audio PRIVATE ${PROJECT_SOURCE_DIR}/src)
set_target_properties(ballwick-audio PROPERTIES
  PREFIX "" SUFFIX ".so"
  CXX_VISIBILITY_PRESET hidden
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/modules)
add_library(bw_res_audio STATIC)
qt_add_resources(bw_res_audio ballwick_audio
  PREFIX /modules
  BASE ${CMAKE_CURRENT_BINARY_DIR}/modules
  FILES ${CMAKE_CURRENT_BINARY_DIR}/modules/ballwick-audio.so)
add_dependencies(bw_res_audio ballwick-audio)
target_link_libraries(bw_res_audio PUBLIC Qt6::Core)
