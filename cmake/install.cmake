# `cmake --install build [--prefix P]` after the play or the test command: the
# three programs, their man pages and the licence. The desktop entry, icons and
# AppStream metainfo come from assets/desktop. scripts/play.sh builds every
# program installed here.
set(bw_installed_programs)
foreach(program IN ITEMS ballwick ballwick-pack ballwick-server)
  if(TARGET ${program})
    list(APPEND bw_installed_programs ${program})
    if(EXISTS ${CMAKE_SOURCE_DIR}/docs/man/${program}.6)
      install(FILES ${CMAKE_SOURCE_DIR}/docs/man/${program}.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    elseif(EXISTS ${CMAKE_SOURCE_DIR}/docs/man/${program}.1)
      install(FILES ${CMAKE_SOURCE_DIR}/docs/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endif()
endforeach()
install(TARGETS ${bw_installed_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ballwick)
