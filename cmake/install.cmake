# What `make install` and the Debian package put on a machine: the program,
# its three tools, their manual pages, the README and the example units of a
# nightly backup. The tools are installed
# only where the build made them (kova-config comes with its own folder).
include(GNUInstallDirs)

set(KOVA_INSTALLED_PROGRAMS kovasw kova-link kova-sim kova-config)
foreach(program ${KOVA_INSTALLED_PROGRAMS})
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(EXISTS ${CMAKE_SOURCE_DIR}/man/${program}.1)
      install(FILES ${CMAKE_SOURCE_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endif()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The nightly backup as systemd units, examples to copy into /etc (see
# kova-config(1)): not enabled by installing.
install(FILES ${CMAKE_SOURCE_DIR}/systemd/kova-backup.service
              ${CMAKE_SOURCE_DIR}/systemd/kova-backup.timer
              ${CMAKE_SOURCE_DIR}/systemd/kova-backup.default
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# Debian package: `make deb`. The shared-library dependencies (ncurses, the
# C++ runtime) are read off the binaries by dpkg-shlibdeps; the print spooler
# is only a suggestion, since printing to a file needs none.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovasw)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT "KOVASW developers <kovasw@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure, test and emulate the KOVA ASCII input module")
set(CPACK_PACKAGE_DESCRIPTION
    "A full-screen text-mode program for the KOVA ASCII input module of a Sy/Max
controller rack: configurations edited offline, loaded and saved as .KOV
files, printed and emulated; online over Sy/Max, Net-to-Net, Gateway, Modbus
RTU/ASCII or Modbus TCP: identification, transfer, live editing, a register
viewer and a serial terminal. With kova-link, kova-config and kova-sim.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups-client")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
