# Installation layout and the Debian package (cpack -G DEB; scripts/package).
#
#   bin/drqscope, bin/drqctl, bin/drqsim
#   share/drqscope/logoKD.bmp                  the header's logo (found beside bin/)
#   share/applications/drqscope.desktop
#   share/icons/hicolor/{scalable,NxN}/apps/   the program's icon
#   share/man/man1/*.1.gz
#   lib/systemd/system/drqctl-publish@.service   the publisher as a service
#   share/doc/drqscope/examples/publish.env.example
#   share/doc/drqscope/copyright, changelog.gz   (machine-readable copyright)

include(GNUInstallDirs)

install(TARGETS drqscope drqctl drqsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/gui/resources/logoKD.bmp
        DESTINATION ${CMAKE_INSTALL_DATADIR}/drqscope)

set(drq_packaging ${CMAKE_SOURCE_DIR}/packaging)
install(FILES ${drq_packaging}/drqscope.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${drq_packaging}/icons/drqscope.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${drq_packaging}/icons/drqscope-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME drqscope.png)
endforeach()

install(FILES ${drq_packaging}/systemd/drqctl-publish@.service
        DESTINATION lib/systemd/system)  # not the multiarch library folder
install(FILES ${drq_packaging}/systemd/publish.env.example
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/drqscope/examples)

# The copyright and the changelog, where Debian looks for them. The changelog's
# newest entry must name the project's version (the package test checks it).
install(FILES ${drq_packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/drqscope)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
                   COMMAND gzip -9nc ${drq_packaging}/changelog > ${CMAKE_BINARY_DIR}/doc/changelog.gz
                   DEPENDS ${drq_packaging}/changelog
                   COMMENT "Compressing the changelog")
add_custom_target(drq_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/drqscope)

# Manual pages: the version filled in, compressed as Debian installs them.
set(drq_man_pages)
foreach(page drqscope drqctl drqsim)
  set(VERSION ${PROJECT_VERSION})
  configure_file(${drq_packaging}/man/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                     COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/man/${page}.1
                     DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
                     COMMENT "Compressing the manual page ${page}.1")
  list(APPEND drq_man_pages ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(drq_man_pages ALL DEPENDS ${drq_man_pages})
install(FILES ${drq_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME drqscope)
set(CPACK_PACKAGE_VENDOR "DRQ Scope developers")
# The maintainer's address, also the changelog's (packaging/changelog): a
# placeholder on a reserved domain until the project has an address of its own.
set(CPACK_PACKAGE_CONTACT "DRQ Scope developers <drqscope@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator tool for the VELMARON DRQ colour sensor")
set(CPACK_PACKAGE_DESCRIPTION
    "Connects to a VELMARON DRQ colour sensor over RS-232 or TCP/IP, identifies
it, edits and transfers its parameter sets (RAM, EEPROM, file), shows live
values and colour graphs, teaches colours, records measurements, calibrates
and captures scope traces. Includes drqctl, the command-line tool, and
drqsim, a virtual sensor.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils")
include(CPack)
