# Settings file and sound cues.
target_sources(bw_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/profile.h ${CMAKE_CURRENT_LIST_DIR}/profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inisettings.h ${CMAKE_CURRENT_LIST_DIR}/inisettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sounds.h ${CMAKE_CURRENT_LIST_DIR}/sounds.cpp)
target_link_libraries(bw_app PUBLIC bw_res_sounds Qt6::Multimedia)
