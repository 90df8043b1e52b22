# Where an installed TAVIRON Scope keeps its files (the usual places of a Linux program), and
# the Debian package built from them with CPack:
#   bin/TavironScope, bin/taviron-sim                 the program and the simulated sensor
#   bin/taviron                                       the sensor from the command line
#   share/taviron-scope/                              panels, logo, language files, window icon
#   share/applications/taviron-scope.desktop          the desktop menu entry
#   share/icons/hicolor/*/apps/taviron-scope.*        the menu icon
#   share/man/man1/TavironScope.1.gz, taviron-sim.1.gz, taviron.1.gz  the manual pages
#   lib/systemd/system/taviron-publish@.service       the plant link, one service per press
#   lib/sysusers.d/taviron-scope.conf                 the user those services run as
#   share/doc/taviron-scope/examples/publish.conf     a press's settings for that service
include(GNUInstallDirs)

set(TAVIRON_DATA_DIR_NAME taviron-scope)

install(TARGETS TavironScope taviron-sim taviron RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
  ${CMAKE_SOURCE_DIR}/resources/Tavironv10.uir
  ${CMAKE_SOURCE_DIR}/resources/logoHV.bmp
  ${CMAKE_SOURCE_DIR}/resources/language_eng.lwl
  ${CMAKE_SOURCE_DIR}/resources/language_ger.lwl
  ${CMAKE_SOURCE_DIR}/resources/taviron-scope.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/${TAVIRON_DATA_DIR_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/resources/taviron-scope.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/taviron-scope-48.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME taviron-scope.png)
install(FILES ${CMAKE_SOURCE_DIR}/resources/taviron-scope.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${CMAKE_SOURCE_DIR}/resources/taviron-scope.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/taviron-scope)

# The plant link as a service: the unit starts the installed taviron, under the prefix given
# when installing (cmake --install --prefix, or the package's /usr); the package's postinst
# makes its user.
install(CODE "
  set(TAVIRON_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/resources/systemd/taviron-publish@.service.in\"
                 \"${CMAKE_BINARY_DIR}/systemd/taviron-publish@.service\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/systemd/taviron-publish@.service
  DESTINATION lib/systemd/system)
install(FILES ${CMAKE_SOURCE_DIR}/resources/systemd/taviron-scope.sysusers
  DESTINATION lib/sysusers.d RENAME taviron-scope.conf)
install(FILES ${CMAKE_SOURCE_DIR}/resources/systemd/publish.conf
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/taviron-scope/examples)

# The manual pages, compressed as Debian keeps them (gzip -n: the same bytes on every build).
set(TAVIRON_MAN_PAGES)
foreach(page TavironScope.1 taviron-sim.1 taviron.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/resources/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/man/${page} VERBATIM)
  list(APPEND TAVIRON_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(taviron_man_pages DEPENDS ${TAVIRON_MAN_PAGES})
add_dependencies(taviron_resources taviron_man_pages) # built with what an install needs
install(FILES ${TAVIRON_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh builds and checks
# it). Depends comes from the libraries the two programs link (dpkg-shlibdeps): the Qt 6
# modules (the serial line is the program's own, on the terminal devices). What Qt loads at
# run time rather than links comes with them on Debian 12 and 13: the CUPS print plugin ships
# in libqt6printsupport6, the X11 platform plugin in libqt6gui6 (scripts/package.sh checks
# that Depends names their packages).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taviron-scope)
set(CPACK_PACKAGE_VENDOR "TAVIRON")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PC front end of the TAVIRON stamping-press sensor")
set(CPACK_PACKAGE_DESCRIPTION
  "Connects to one TAVIRON optical sensor over RS232 or TCP, reads and writes\n\
its parameters, shows its live counters and outputs, records its triggered\n\
data recorder and prints it. Includes taviron, the sensor from the command\n\
line (identify, back up, write with verification, compare, log one sensor or\n\
a list of them, and publish it on an MQTT broker with a shift log on disk, one\n\
systemd service taviron-publish@PRESS per press), and taviron-sim, a simulated\n\
sensor for trying the program without hardware.")
set(CPACK_PACKAGE_CONTACT "TAVIRON Scope maintainers <maintainers@taviron.invalid>")
# The package holds what the build was configured for (scripts/package.sh: prefix /usr); the
# program finds its data folder from its own place (bin/../share/taviron-scope).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, cups-client")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/resources/systemd/postinst)
include(CPack)
