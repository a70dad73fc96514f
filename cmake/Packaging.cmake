# The Debian package: `cpack -G DEB` in the build directory (or the target `package_deb`) makes
# zerlivan_<version>_<arch>.deb of today's install, with the dependencies read from the
# program's shared libraries.  Only the default component goes in (the tests' and the
# benchmarks' programs are not installed).
include(GNUInstallDirs)

# What Debian asks of every package beside the program: the copyright and the changelog, in
# the package's documentation folder.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/packaging/changelog
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zerlivan COMPONENT Unspecified)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerlivan)
set(CPACK_PACKAGE_VENDOR "Nivoleth")
set(CPACK_PACKAGE_CONTACT "Zerlivan maintainers <maintainers@users.noreply.c-seed-38f1f661.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "eye exercises for speed reading")
# The long description, as the package manager shows it: lines of at most 80 characters.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Zerlivan is a trainer for the eye exercises of speed reading. In one small\n"
       "settings window you pick an exercise (a jumping dot, a pyramid of letter\n"
       "blocks or a grid of blocks), set its colours, pace, duration and layout, and\n"
       "start it; the exercise then takes the whole screen until Escape or the chosen\n"
       "duration ends it. Every run is kept in a training journal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Unspecified)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.nivoleth.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, not linked: the database driver and the Wayland platform.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-wayland | qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Compresses the manual page and the changelog as Debian keeps them.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/compress.cmake)
include(CPack)

add_custom_target(package_deb COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -C $<CONFIG>
                  WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL VERBATIM)
add_dependencies(package_deb zerlivan)
