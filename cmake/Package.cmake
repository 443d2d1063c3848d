# `cpack -G DEB` in the build folder makes a Debian package of what cmake/Install.cmake
# installs, under /usr. Its Depends come from the binaries themselves (dpkg-shlibdeps, in
# dpkg-dev, installed by scripts/setup), so they name the Qt 6, libpng and C++ runtime
# packages the programs were linked with.
set(CPACK_PACKAGE_NAME sortie)
set(CPACK_PACKAGE_VENDOR "The Sortie developers")
set(CPACK_PACKAGE_CONTACT "The Sortie developers <sortie@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mission editor for a squad-level tactical shooter")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Sortie places people, vehicles, buildings and markers on a terrain's top-down"
    "map, writes a mission's logic, saves mission metafiles and exports the game's"
    "binary missions. sortie-cli does the same work without a window. A sample game"
    "data kit and sample missions are included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
