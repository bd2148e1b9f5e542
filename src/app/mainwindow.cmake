# The main window, its start-up and the game view.
target_sources(bw_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tmain.cpp ${CMAKE_CURRENT_LIST_DIR}/tmain.h
  ${CMAKE_CURRENT_LIST_DIR}/pictures.cpp ${CMAKE_CURRENT_LIST_DIR}/pictures.h
  ${CMAKE_CURRENT_LIST_DIR}/instancemutex.cpp ${CMAKE_CURRENT_LIST_DIR}/instancemutex.h
  ${CMAKE_CURRENT_LIST_DIR}/tmain_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmain_online.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmain_update.cpp)
target_link_libraries(bw_app PUBLIC bw_game bw_widgets)
if(TARGET bw_res_images)
  target_link_libraries(bw_app PUBLIC bw_res_images)
endif()
