# Installation: the program with its two pointer files in a private folder, a launcher on the
# PATH, the desktop entry, the icon in the hicolor theme and the AppStream metainfo.
#
# The program looks for HAND-M.CUR and drag.ico in the folder that holds its executable, as
# resolved through /proc/self/exe. So the three files are installed together in
# <libexecdir>/scanvale/, and <bindir>/scanvale is a relative symbolic link to the program:
# starting the link still finds the pointer files, under any prefix and any DESTDIR.
include(GNUInstallDirs)

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

# The manual page, the licence and the change log, compressed as Debian's policy asks (gzip -9n:
# best compression, no name or time stamp in the file, so each build writes the same bytes).
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/scanvale)
set(man_page ${CMAKE_BINARY_DIR}/install/scanvale.1.gz)
set(change_log ${CMAKE_BINARY_DIR}/install/changelog.gz)
foreach(pair "${packaging_dir}/scanvale.1|${man_page}" "${packaging_dir}/changelog|${change_log}")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 compressed)
    add_custom_command(
        OUTPUT ${compressed}
        COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${source} ${compressed}
        DEPENDS ${source}
        VERBATIM)
endforeach()
add_custom_target(scanvale_docs ALL DEPENDS ${man_page} ${change_log})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${change_log} DESTINATION ${doc_dir})

# The copyright file in Debian's machine-readable format, its licence text taken from LICENSE
# (without its heading and copyright line, each line indented, empty lines as " .").
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" license_text "${license_text}")
string(STRIP "${license_text}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text "${license_text}")
set(license_text " ${license_text}\n")
set(copyright ${CMAKE_BINARY_DIR}/install/copyright)
file(WRITE ${copyright}
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Scanvale
Source: ${SCANVALE_HOME_PAGE}

Files: *
Copyright: 2026 The Scanvale developers
License: Expat
${license_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${copyright} DESTINATION ${doc_dir})
