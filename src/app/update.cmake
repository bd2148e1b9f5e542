# The update check and the self-update (tmain_update.cpp). The self-update's
# HTTP client comes from the network module (modules.cmake).
target_link_libraries(bw_app PUBLIC bw_selfupdate)
