# `cpack -G DEB` in the build folder makes a Debian package from the install rules: the
# programs and libraries, the station service's unit (installed disabled) and its example
# configuration under /etc/brisora, with maintainer scripts that create the service's user.
# Configure with -DCMAKE_INSTALL_PREFIX=/usr for a package (the unit names the installed
# program by its full path).

set(CPACK_PACKAGE_NAME brisora)
set(CPACK_PACKAGE_VENDOR "Brisora")
set(CPACK_PACKAGE_CONTACT "Brisora developers <brisora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Weather-station console, meter control and headless station service")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

# The maintainer scripts; /etc files are the administrator's (conffiles).
set(_debian ${CMAKE_BINARY_DIR}/debian)
file(MAKE_DIRECTORY ${_debian})
foreach(script postinst prerm postrm)
    file(COPY ${CMAKE_SOURCE_DIR}/cmake/debian/${script} DESTINATION ${_debian}
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                          WORLD_READ WORLD_EXECUTE)
endforeach()
file(WRITE ${_debian}/conffiles "${CMAKE_INSTALL_FULL_SYSCONFDIR}/brisora/station.conf\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${_debian}/postinst ${_debian}/prerm ${_debian}/postrm ${_debian}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
include(CPack)
