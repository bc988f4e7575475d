# The Debian package: cpack -G DEB in a build configured for /usr
# (scripts/package.sh does all of it).
set(CPACK_PACKAGE_NAME infil)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Infil developers <infil@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design facilities that let rainwater soak into the ground")
set(CPACK_PACKAGE_DESCRIPTION
  "Infil is a Czech desktop calculator for facilities that let rainwater soak into the
ground: surface infiltration, swales, a swale over a trench, trenches, shafts and
basins. It sizes the facility for the governing design rain, judges the design and
writes a report to view, print and save as HTML or PDF.

The package also holds the library libVeer12, a Qt Widgets control that draws a
caption of one or more lines turned by any angle, with its Qt Designer plugin,
headers, CMake and pkg-config files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # infil_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link, as dpkg-shlibdeps finds them (dpkg-dev);
# libVeer12 is the package's own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# What the binaries do not link but load: Qt's platform plugins (without them
# no window opens) and Qt's Czech texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
