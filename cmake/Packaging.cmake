# Installation of everything but the program itself (src/CMakeLists.txt
# installs that), and the Debian package built by CPack:
#   cmake --install build --prefix /usr/local     # or a staging folder
#   scripts/package.sh                            # build/ecu-vantor_<version>_<arch>.deb
include(GNUInstallDirs)

set(VANTOR_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(VANTOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/ecu-vantor)

# The simulator is built as ecu-sim (its name in the build tree, in the
# scripts and in the tests) and installed under the package's name.
install(PROGRAMS $<TARGET_FILE:ecu-sim> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ecu-vantor-sim)
# install(PROGRAMS) is not stripped with the targets: strip it alike.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP AND NOT \"${CMAKE_STRIP}\" STREQUAL \"\")
    execute_process(COMMAND \"${CMAKE_STRIP}\"
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/ecu-vantor-sim\")
  endif()")

install(FILES ${VANTOR_PACKAGING}/ecu-vantor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VANTOR_PACKAGING}/example.ecuvantor.EcuVantor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
  install(FILES ${VANTOR_PACKAGING}/icons/hicolor/${size}x${size}/apps/ecu-vantor.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/tools/artwork/motorcycle.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ecu-vantor.svg)
# Under the prefix /usr (the package's) this is where udev reads it; under
# another prefix, copy it to /etc/udev/rules.d by hand.
install(FILES ${VANTOR_PACKAGING}/70-ecu-vantor.rules DESTINATION lib/udev/rules.d)

# Manual pages and the changelog go in compressed (gzip -n: no time stamp, so
# the same sources give the same bytes).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(vantor_gzipped)
foreach(source ecu-vantor.1 ecu-vantor-sim.1 ecu-vantor-cli.1 changelog)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${VANTOR_PACKAGING}/${source} > ${output}
    DEPENDS ${VANTOR_PACKAGING}/${source}
    VERBATIM)
  list(APPEND vantor_gzipped ${output})
endforeach()
add_custom_target(vantor_packaging_files ALL DEPENDS ${vantor_gzipped})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/ecu-vantor.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/ecu-vantor-sim.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/ecu-vantor-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Where Debian's bash-completion loads it when the command is first completed.
install(FILES ${VANTOR_PACKAGING}/ecu-vantor-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ecu-vantor-cli)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz ${VANTOR_PACKAGING}/copyright
        DESTINATION ${VANTOR_DOC_DIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ecu-vantor)
set(CPACK_PACKAGE_VENDOR "The ECU Vantor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tuning tool for the ECU Vantor motorcycle injection unit")
set(CPACK_PACKAGE_DESCRIPTION
"ECU Vantor finds the ECU Vantor fuel-injection unit of two- and four-cylinder
motorcycles on USB (as a HID device or behind a serial adapter), reads its
injection profile (41 values over engine speed and the factor K), lets the
user edit the curve on a plot, saves and loads profile files, writes the
profile back into the unit's flash and shows the live engine speed on a dial
gauge. The interface is Italian, with English selectable at run time.

ecu-vantor-cli reads, writes, checks and compares profiles from the command
line, for scripts and machines without a display.

The package also installs ecu-vantor-sim, a simulator of the unit on a
pseudo-terminal, to try the tool without a unit, and a udev rule that lets
the members of the plugdev group reach the unit on USB.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME ecu-vantor)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The ECU Vantor developers <info@ecuvantor.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ecuvantor.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VANTOR_PACKAGING}/postinst ${VANTOR_PACKAGING}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
