# Debian's cpp-httplib is built as a library: link it and use its compile flags
# (its TLS and compression switches change the class layouts).
if(NOT TARGET PkgConfig::CPPHTTPLIB)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(CPPHTTPLIB REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
endif()
