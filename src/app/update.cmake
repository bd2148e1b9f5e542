# The update check and the self-update (tmain_update.cpp) use the HTTP client.
target_link_libraries(bw_app PUBLIC bw_net)
