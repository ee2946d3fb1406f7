# Installation and the Debian package: the four programs, their manual
# pages, the desktop entry and icon, the user's guide, the copyright file
# and the changelog in their standard places under the prefix. `make
# package` (cpack) builds the Debian package from the same rules.
include(GNUInstallDirs)
# Installing and packaging take the programs as built; they need not build
# the tests and benchmarks first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(C3_PACKAGE_MAINTAINER "CHROMIK3 Scope developers <chromik3-scope@korvath-sensorik.example>"
    CACHE STRING "Name and e-mail address of the Debian package's maintainer")
set(c3_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/chromik3-scope)

install(TARGETS chromik3-scope chromik3-sim chromik3-cli chromik3-gateway RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/chromik3-scope.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/chromik3-scope.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES README.md packaging/copyright DESTINATION ${c3_doc_dir})
install(FILES sim/README.md DESTINATION ${c3_doc_dir} RENAME README.sim.md)
# The gateway as a service per line, the account it runs under, and an
# example of a line's configuration.
install(FILES packaging/chromik3-gateway@.service DESTINATION lib/systemd/system)
install(FILES packaging/chromik3-gateway.sysusers DESTINATION lib/sysusers.d RENAME chromik3.conf)
install(FILES packaging/line.conf.example DESTINATION ${c3_doc_dir}/examples RENAME line.conf)

# The manual pages, made by help2man from each program's --help and
# --version with the DESCRIPTION and FILES of packaging/man/, so they never
# drift from the programs; compressed as Debian ships them.
set(c3_man_name_chromik3-scope "operating program for the CHROMIK3 colour sensor")
set(c3_man_name_chromik3-cli "CHROMIK3 colour sensors from the command line")
set(c3_man_name_chromik3-sim "simulated CHROMIK3 colour sensor")
set(c3_man_name_chromik3-gateway "a line's CHROMIK3 colour sensors on an MQTT broker")
find_program(C3_HELP2MAN help2man)
if(C3_HELP2MAN)
    set(c3_man_pages)
    foreach(program chromik3-scope chromik3-cli chromik3-sim chromik3-gateway)
        set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
        set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
        add_custom_command(
            OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
            COMMAND ${C3_HELP2MAN} --no-info "--name=${c3_man_name_${program}}"
                    "--source=CHROMIK3 Scope ${PROJECT_VERSION}.0"
                    --include=${include} --output=${page} $<TARGET_FILE:${program}>
            COMMAND gzip -9nf ${page}
            DEPENDS ${program} ${include}
            COMMENT "Manual page ${program}(1)"
            VERBATIM)
        list(APPEND c3_man_pages ${page}.gz)
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${c3_man_pages})
    install(FILES ${c3_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "help2man not found: the manual pages are not made (make deps installs it)")
endif()

# The changelog, compressed as Debian ships it.
set(c3_changelog ${PROJECT_BINARY_DIR}/doc/changelog)
add_custom_command(
    OUTPUT ${c3_changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${c3_changelog}
    COMMAND gzip -9nf ${c3_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${c3_changelog}.gz)
install(FILES ${c3_changelog}.gz DESTINATION ${c3_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chromik3-scope)
set(CPACK_PACKAGE_VENDOR "Korvath")
set(CPACK_PACKAGE_CONTACT "${C3_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${C3_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operating program for the CHROMIK3 colour sensor")
# The long description as Debian shows it: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "CHROMIK3 Scope connects to a CHROMIK3 colour sensor over RS-232 or TCP/IP,
reads, edits and writes its parameter set and teach table, shows, records
and calibrates its measurements and captures scope traces.

The package also holds chromik3-cli, the same operations from scripts for
one sensor or a whole line of them, chromik3-gateway, a service that
publishes a line's sensors on an MQTT broker, and chromik3-sim, a simulated
sensor for trying them without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs load, with their versions, as dpkg-shlibdeps
# finds them; qt6-qpa-plugins holds the X11 and Wayland platform plugins,
# which Qt loads at run time and so no loader sees, and without which no
# window opens.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The command line's completion is read by bash-completion where it is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
# The broker and its clients for a local set-up of the gateway.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
# The gateway service's account is made at installation (systemd-sysusers).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
include(CPack)
