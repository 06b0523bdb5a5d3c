# Installation: the program with its two pointer files in a private folder, a launcher on the
# PATH, the desktop entry, the icon in the hicolor theme and the AppStream metainfo.
#
# The program looks for HAND-M.CUR and drag.ico in the folder that holds its executable, as
# resolved through /proc/self/exe. So the three files are installed together in
# <libexecdir>/scanvale/, and <bindir>/scanvale is a relative symbolic link to the program:
# starting the link still finds the pointer files, under any prefix and any DESTDIR.
include(GNUInstallDirs)

set(SCANVALE_APP_ID org.example.scanvale)
set(SCANVALE_PRIVATE_DIR ${CMAKE_INSTALL_LIBEXECDIR}/scanvale)
set(SCANVALE_ICON_SIZES 16 22 24 32 48 64 128 256)

# The program links only to system libraries, so the installed binary carries no run path.
set_property(TARGET scanvale PROPERTY INSTALL_RPATH "")
install(TARGETS scanvale RUNTIME DESTINATION ${SCANVALE_PRIVATE_DIR})
install(FILES ${SCANVALE_RUNTIME_DIR}/HAND-M.CUR ${SCANVALE_RUNTIME_DIR}/drag.ico
        DESTINATION ${SCANVALE_PRIVATE_DIR})

# The launcher link, made in the build tree and installed as a link.
file(RELATIVE_PATH launcher_target ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/scanvale/scanvale)
set(launcher ${CMAKE_BINARY_DIR}/install/scanvale)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ${launcher_target} ${launcher} SYMBOLIC)
install(FILES ${launcher} DESTINATION ${CMAKE_INSTALL_BINDIR})

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging_dir}/${SCANVALE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${SCANVALE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the SVG source for the scalable size, and PNGs rendered from it at build time.
set(icon_source ${PROJECT_SOURCE_DIR}/assets/pictures/scanvale.svg)
set(icon_theme_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${icon_source} DESTINATION ${icon_theme_dir}/scalable/apps
        RENAME ${SCANVALE_APP_ID}.svg)
set(icon_pngs)
foreach(side IN LISTS SCANVALE_ICON_SIZES)
    set(png ${CMAKE_BINARY_DIR}/icons/${side}x${side}/${SCANVALE_APP_ID}.png)
    add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${side}x${side}
        COMMAND picture_png_writer ${icon_source} ${png} ${side}
        DEPENDS picture_png_writer ${icon_source}
        COMMENT "Rendering the ${side} px program icon"
        VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${icon_theme_dir}/${side}x${side}/apps)
endforeach()
add_custom_target(scanvale_icons ALL DEPENDS ${icon_pngs})
