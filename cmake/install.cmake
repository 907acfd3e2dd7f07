# What `cmake --install` puts where, and the packages CPack makes from it:
# on Linux bin/gridsaw, its man page and the README, as a .deb and a .tar.gz;
# on Windows gridsaw.exe, the README with CR LF line ends and the example
# map, as a .zip.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/app/gridsaw.1.in ${CMAKE_CURRENT_BINARY_DIR}/gridsaw.1
               @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/README.md)

set(CPACK_PACKAGE_NAME gridsaw)
set(CPACK_PACKAGE_VENDOR Gridsaw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cuts a 16-colour BMP map into 304 x 300 tiles")
set(CPACK_PACKAGE_CONTACT "Gridsaw developers <developers@gridsaw.invalid>")

if(WIN32)
  install(TARGETS gridsaw RUNTIME DESTINATION .)
  # Notepad on older Windows shows LF-only text as one long line.
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/README.md readme)
  string(REPLACE "\r\n" "\n" readme "${readme}")
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/README.txt "${readme}")
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt
                ${CMAKE_CURRENT_SOURCE_DIR}/example/island.bmp
                ${CMAKE_CURRENT_SOURCE_DIR}/example/island.map
          DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME gridsaw-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  install(TARGETS gridsaw RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gridsaw.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gridsaw)
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME gridsaw-${PROJECT_VERSION}-Linux)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dependencies from the binary, by dpkg-shlibdeps
  set(CPACK_PACKAGE_DESCRIPTION
      "Gridsaw reads a map description that names a 16-colour (4-bit) BMP map and a region of it, and writes the region as a grid of 304 x 300 tile bitmaps beside the map, named after it with the column and row of each tile.")
endif()
include(CPack)
