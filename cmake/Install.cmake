# Installing like a desktop program. `cmake --install` puts under the prefix:
#   bin/                           sortie, sortie-cli
#   share/sortie/gamedata/         the sample game data kit the build makes
#   share/sortie/missions/         the sample missions
#   share/applications/            the desktop entry, opening mission metafiles
#   share/icons/hicolor/           the icon: the SVG source and the PNG sizes made from it
#   share/mime/packages/           the MIME type of mission metafiles (*.mis)
#   share/metainfo/                the AppStream metainfo
#   share/man/man1/                sortie(1), sortie-cli(1)
# The installed programs find the kit relative to their own folder, so any prefix works;
# programs run from the build folder keep using the build's kit. cmake/Package.cmake makes
# a Debian package of the same files.
include(GNUInstallDirs)

set(SORTIE_APP_ID "org.sortie_project.sortie" CACHE STRING
    "Reverse-DNS id naming the desktop entry and the AppStream metainfo")
set(SORTIE_ICON_NAME sortie)
set(SORTIE_MISSION_MIME application/x-sortie-mission)
set(SORTIE_KIT_BUILD_DIR ${CMAKE_BINARY_DIR}/gamedata)
set(SORTIE_SHARE_DEST ${CMAKE_INSTALL_DATADIR}/sortie)
set(SORTIE_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(SORTIE_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# The installed kit as seen from the installed programs' folder (../share/sortie/gamedata).
file(RELATIVE_PATH SORTIE_KIT_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/sortie/gamedata)

set(SORTIE_PROGRAMS sortie-cli)
if(TARGET sortie)
  list(APPEND SORTIE_PROGRAMS sortie)
endif()
foreach(program ${SORTIE_PROGRAMS})
  target_compile_definitions(${program} PRIVATE
    SORTIE_BUILD_PROGRAM_DIR="$<TARGET_FILE_DIR:${program}>"
    SORTIE_INSTALLED_DATA_DIR="${SORTIE_KIT_FROM_BIN}"
    SORTIE_VERSION="${PROJECT_VERSION}")
endforeach()
# The title and the About box show the version too.
target_compile_definitions(sortie_shell PRIVATE SORTIE_VERSION="${PROJECT_VERSION}")
if(TARGET sortie)
  target_compile_definitions(sortie PRIVATE SORTIE_APP_ID="${SORTIE_APP_ID}")
endif()

install(TARGETS ${SORTIE_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET gamedata)
  install(DIRECTORY ${SORTIE_KIT_BUILD_DIR}/ DESTINATION ${SORTIE_SHARE_DEST}/gamedata)
endif()
file(GLOB SORTIE_SAMPLE_MISSIONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/missions/*.mis)
install(FILES ${SORTIE_SAMPLE_MISSIONS} DESTINATION ${SORTIE_SHARE_DEST}/missions)

# ---------------------------------------------------------------------------------------
# Manual pages. Their FILES sections name the kit and the missions under the prefix given
# when installing (cmake --install --prefix, /usr for the package), so they are made then.
set(SORTIE_MAN_PAGES sortie-cli)
if(TARGET sortie)
  list(APPEND SORTIE_MAN_PAGES sortie)
endif()
foreach(page ${SORTIE_MAN_PAGES})
  install(CODE "
    set(PROJECT_VERSION \"${PROJECT_VERSION}\")
    set(SORTIE_KIT_FROM_BIN \"${SORTIE_KIT_FROM_BIN}\")
    set(SORTIE_MAN_KIT \"\${CMAKE_INSTALL_PREFIX}/${SORTIE_SHARE_DEST}/gamedata\")
    set(SORTIE_MAN_MISSIONS \"\${CMAKE_INSTALL_PREFIX}/${SORTIE_SHARE_DEST}/missions\")
    configure_file(\"${SORTIE_PACKAGING_DIR}/${page}.1.in\" \"${SORTIE_PACKAGING_OUT}/man/${page}.1\" @ONLY)")
  install(FILES ${SORTIE_PACKAGING_OUT}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

if(TARGET sortie)
  include(${CMAKE_CURRENT_LIST_DIR}/Icon.cmake)

  # Desktop entry, MIME type and metainfo.
  configure_file(${SORTIE_PACKAGING_DIR}/sortie.desktop.in ${SORTIE_PACKAGING_OUT}/${SORTIE_APP_ID}.desktop @ONLY)
  configure_file(${SORTIE_PACKAGING_DIR}/sortie-mission.xml.in ${SORTIE_PACKAGING_OUT}/sortie-mission.xml @ONLY)
  configure_file(${SORTIE_PACKAGING_DIR}/sortie.metainfo.xml.in ${SORTIE_PACKAGING_OUT}/${SORTIE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${SORTIE_PACKAGING_OUT}/${SORTIE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${SORTIE_PACKAGING_OUT}/sortie-mission.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${SORTIE_PACKAGING_OUT}/${SORTIE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# ---------------------------------------------------------------------------------------
# The installed tree works: files in place, the programs run on the installed kit, the
# desktop files pass their validators.
if(SORTIE_TESTS)
  set(SORTIE_INSTALL_TEST_PREFIX ${CMAKE_BINARY_DIR}/install-test)
  add_test(NAME install.tree
    COMMAND ${CMAKE_COMMAND} -E env
            SORTIE_APP_ID=${SORTIE_APP_ID} SORTIE_MISSION_MIME=${SORTIE_MISSION_MIME}
            SORTIE_ICON_NAME=${SORTIE_ICON_NAME} SORTIE_GUI=$<TARGET_EXISTS:sortie>
            bash ${CMAKE_SOURCE_DIR}/tests/install/install_test.sh
            ${CMAKE_BINARY_DIR} ${SORTIE_INSTALL_TEST_PREFIX} ${PROJECT_VERSION})
  set_tests_properties(install.tree PROPERTIES TIMEOUT 120)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
