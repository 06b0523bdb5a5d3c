# The Debian package, built by CPack from the install rules (`make package`).
#
# dpkg-shlibdeps derives the dependencies on the shared libraries the program links to (Qt 6
# Core, Gui, Widgets, Svg and whatever else the build links). What it cannot see is added by
# hand: the Qt plugins the program loads at run time (the X11 platform and the ICO image format
# are in libqt6gui6, the Wayland platform in qt6-wayland, the SVG icon engine in libqt6svg6) and
# the Liberation fonts, which stand in for the Arial of the window's captions. Without
# qt6-wayland a Wayland session would show the window through Xwayland at best.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scanvale)
set(CPACK_PACKAGE_VENDOR "The Scanvale developers")
set(CPACK_PACKAGE_CONTACT "The Scanvale developers <scanvale@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of the long description stay within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Scanvale finds the files whose contents hold a phrase. You list the folders
to look in, type the phrase, choose whether case must match and whether
subfolders are searched too, and watch the matching files arrive in the results
list while the search runs.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${SCANVALE_HOME_PAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6 (>= 6.4), qt6-wayland (>= 6.4), libqt6svg6 (>= 6.4), fonts-liberation")
# Opening a result runs xdg-open; without it the toolkit's own fallbacks are tried.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
