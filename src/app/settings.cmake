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
ballwick_add_embedded_module(ballwick-audio ${CMAKE_CURRENT_LIST_DIR}/audiomodule.cpp)
target_link_libraries(ballwick-audio PRIVATE Qt6::Multimedia Qt6::Widgets)
