# The main window, its start-up and the game view.
target_sources(bw_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tmain.cpp ${CMAKE_CURRENT_LIST_DIR}/tmain.h
  ${CMAKE_CURRENT_LIST_DIR}/pictures.cpp ${CMAKE_CURRENT_LIST_DIR}/pictures.h
  ${CMAKE_CURRENT_LIST_DIR}/instancemutex.cpp ${CMAKE_CURRENT_LIST_DIR}/instancemutex.h
  ${CMAKE_CURRENT_LIST_DIR}/tmain_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmain_online.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmain_update.cpp)
target_link_libraries(bw_app PUBLIC bw_game bw_widgets)
# The pictures' resource objects go on the link line of whatever links bw_app
# (the program, the tests): inside the static library nothing would pull in
# their initialiser.
if(TARGET bw_res_images)
  target_link_libraries(bw_app INTERFACE $<TARGET_OBJECTS:bw_res_images>)
  add_dependencies(bw_app bw_res_images)
endif()
