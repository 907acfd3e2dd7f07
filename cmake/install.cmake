# What `cmake --install` puts where, and the packages CPack makes from it:
# on Linux bin/gridsaw, its man page, the README, the copyright and the
# changelog, as a .deb and a .tar.gz; on Windows gridsaw.exe, the user's
# README and the licence with CR LF line ends and the example map, as a .zip.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/app/gridsaw.1.in ${CMAKE_CURRENT_BINARY_DIR}/gridsaw.1
               @ONLY)

set(CPACK_PACKAGE_NAME gridsaw)
set(CPACK_PACKAGE_VENDOR Gridsaw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cuts a 16-colour BMP map into 304 x 300 tiles")
set(CPACK_PACKAGE_CONTACT "Gridsaw developers <developers@gridsaw.invalid>")

if(WIN32)
  install(TARGETS gridsaw RUNTIME DESTINATION .)
  # Notepad on older Windows shows LF-only text as one long line.
  foreach(text README LICENSE)
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
    if(text STREQUAL README)
      set(source ${CMAKE_CURRENT_SOURCE_DIR}/doc/README.txt)
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(READ ${source} content)
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${text}.txt "${content}")
  endforeach()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt
                ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
                ${CMAKE_CURRENT_SOURCE_DIR}/example/island.bmp
                ${CMAKE_CURRENT_SOURCE_DIR}/example/island.map
          DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME gridsaw-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/gridsaw)
  install(TARGETS gridsaw RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md DESTINATION ${doc})
  # Debian's copyright file, machine-readable, with the licence's text.
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE licence)
  string(FIND "${licence}" "Permission" grant)
  string(SUBSTRING "${licence}" ${grant} -1 licence)
  string(STRIP "${licence}" licence)
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/copyright.in copyright)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright "${copyright}\nLicense: Expat\n ${licence}\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/copyright.in)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${doc})
  # The man page and the changelog go compressed, as Debian keeps them, with
  # no name or time in the header so that every build is the same.
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/changelog.in
                 ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
  find_program(GZIP gzip REQUIRED)
  foreach(file gridsaw.1 changelog)
    add_custom_command(OUTPUT ${file}.gz COMMAND ${GZIP} -9nkf ${file}
                       DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${file}
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS gridsaw.1.gz changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gridsaw.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${doc})
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME gridsaw-${PROJECT_VERSION}-Linux)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dependencies from the binary, by dpkg-shlibdeps
  set(CPACK_PACKAGE_DESCRIPTION
      "Gridsaw reads a map description that names a 16-colour (4-bit) BMP map
and a region of it, and writes the region as a grid of 304 x 300 tile
bitmaps beside the map, named after it with the column and row of each
tile.")
endif()
include(CPack)
