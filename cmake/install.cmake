# What `make install` and the Debian package put on a machine: the program,
# its three tools, their manual pages and bash completions, the README and
# the example units of a nightly backup. The tools are installed
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
# kova-config(1)): not enabled by installing. With them the user it runs
# as, a module list and Prometheus alerts on its metrics.
set(KOVA_EXAMPLES_DIR ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/systemd/kova-backup.timer
              ${CMAKE_SOURCE_DIR}/systemd/kova-backup.default
              ${CMAKE_SOURCE_DIR}/systemd/kova-backup.sysusers
              ${CMAKE_SOURCE_DIR}/systemd/kova-backup.rules.yml
              ${CMAKE_SOURCE_DIR}/systemd/plant.list
        DESTINATION ${KOVA_EXAMPLES_DIR})
# The service names kova-config where this install puts it. The prefix is
# known only when installing (`cmake --install --prefix`, the package's
# /usr), so the unit is written then, from the installing prefix.
install(CODE "
  set(KOVA_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/systemd/kova-backup.service.in\"
                 \"${CMAKE_BINARY_DIR}/installing/kova-backup.service\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${KOVA_EXAMPLES_DIR}\" TYPE FILE
       FILES \"${CMAKE_BINARY_DIR}/installing/kova-backup.service\")
")
# Bash completion for the program and its tools, where bash-completion looks
# for a command's completion (PREFIX/share/bash-completion/completions): one
# script, under each name it completes.
foreach(program ${KOVA_INSTALLED_PROGRAMS})
  if(TARGET ${program})
    install(FILES ${CMAKE_SOURCE_DIR}/completions/kova.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
  endif()
endforeach()

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
