# The update check and the self-update (tmain_update.cpp) over the HTTP client.
target_link_libraries(bw_app PUBLIC bw_selfupdate bw_net)
