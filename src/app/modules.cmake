# The modules the program carries inside and loads when it needs them (the
# audio player, the HTTP client of the self-update): embedded under /modules.
target_sources(bw_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/modules.h ${CMAKE_CURRENT_LIST_DIR}/modules.cpp)
add_library(bw_res_modules STATIC)
qt_add_resources(bw_res_modules ballwick_modules
  PREFIX /modules
  BASE ${CMAKE_BINARY_DIR}/modules
  FILES ${CMAKE_BINARY_DIR}/modules/ballwick-audio.so ${CMAKE_BINARY_DIR}/modules/ballwick-net.so)
add_dependencies(bw_res_modules ballwick-audio ballwick-net)
target_link_libraries(bw_res_modules PUBLIC Qt6::Core)
target_link_libraries(bw_app PUBLIC bw_res_modules ${CMAKE_DL_LIBS})
