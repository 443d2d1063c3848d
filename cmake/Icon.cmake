# The application icon: resources/icons/sortie.svg is the source; the PNG sizes are rendered
# from it with rsvg-convert (librsvg2-bin, installed by scripts/setup) while configuring,
# again whenever the SVG changes. The editor embeds them (the main window and the dialogs
# show them) and the installation puts them in the hicolor theme beside the SVG.
set(SORTIE_ICON_SVG ${CMAKE_SOURCE_DIR}/resources/icons/sortie.svg)
set(SORTIE_ICON_SIZES 16 22 24 32 48 64 128 256)
set(SORTIE_ICON_OUT ${CMAKE_BINARY_DIR}/icons)

find_program(SORTIE_RSVG_CONVERT rsvg-convert)
if(NOT SORTIE_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert (package librsvg2-bin) renders the application icon: run scripts/setup")
endif()
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SORTIE_ICON_SVG})
file(MAKE_DIRECTORY ${SORTIE_ICON_OUT})

set(SORTIE_ICON_PNGS)
foreach(size ${SORTIE_ICON_SIZES})
  set(png ${SORTIE_ICON_OUT}/sortie-${size}.png)
  if(NOT EXISTS ${png} OR ${SORTIE_ICON_SVG} IS_NEWER_THAN ${png})
    execute_process(COMMAND ${SORTIE_RSVG_CONVERT} -w ${size} -h ${size} ${SORTIE_ICON_SVG} -o ${png}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "rsvg-convert could not render ${SORTIE_ICON_SVG} at ${size} pixels: ${err}")
    endif()
  endif()
  list(APPEND SORTIE_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${SORTIE_ICON_NAME}.png)
endforeach()
install(FILES ${SORTIE_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${SORTIE_ICON_NAME}.svg)

# Embedded in the Qt layer, where the main window picks them up (qt/app_icon.cpp),
# so the editor and its UI tests show the icon wherever they run from.
if(TARGET sortie_ui)
  qt_add_resources(sortie_ui sortie_icons PREFIX /sortie/icons BASE ${SORTIE_ICON_OUT} FILES ${SORTIE_ICON_PNGS})
endif()
