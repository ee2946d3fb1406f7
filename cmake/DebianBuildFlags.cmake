# C3_DEBIAN_BUILDFLAGS=ON compiles and links with the flags Debian builds its
# own packages with (dpkg-buildflags, every hardening feature on: stack
# protector, _FORTIFY_SOURCE, format checks, PIE, full RELRO and -z now).
# `make package` and `make lint-package` build in a folder of their own with
# it; the everyday build and the tests keep the plain flags.
option(C3_DEBIAN_BUILDFLAGS "Compile and link with Debian's hardening flags (dpkg-buildflags)" OFF)
if(C3_DEBIAN_BUILDFLAGS)
    find_program(C3_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${C3_DPKG_BUILDFLAGS} --get ${kind}
            OUTPUT_VARIABLE c3_deb_${kind}
            OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    string(APPEND CMAKE_C_FLAGS " ${c3_deb_CPPFLAGS}")
    string(APPEND CMAKE_CXX_FLAGS " ${c3_deb_CPPFLAGS} ${c3_deb_CXXFLAGS}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${c3_deb_LDFLAGS}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${c3_deb_LDFLAGS}")
    message(STATUS "Debian build flags: ${c3_deb_CPPFLAGS} ${c3_deb_CXXFLAGS} ${c3_deb_LDFLAGS}")
endif()
