# The Debian package, built from a configured build folder with `cpack -G DEB` (or `make package`
# at the top of the tree). It installs under /usr whatever CMAKE_INSTALL_PREFIX says; the
# program knows an installed copy by its desktop entry, so either works.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kestrava")
set(CPACK_PACKAGE_VENDOR "${KESTRAVA_COMPANY}")
set(CPACK_PACKAGE_VERSION "${KESTRAVA_PRODUCT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${KESTRAVA_CONTACT}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "loan payment calculator comparing two loans side by side")
# Lines of the package's long description, kept under 80 columns as Debian asks.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Kestrava computes the level payment, the total interest, the total amount"
    "paid and the term in years of a loan, for nine payment frequencies from"
    "daily to annually. Two loan panels side by side let two loans be compared"
    "at a glance. Amounts follow the money format of the user's locale, and the"
    "inputs of both panels come back at the next start.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTRAVA_CONTACT}")
# The Qt libraries come from dpkg-shlibdeps; the plugins that Qt loads at run time do not show
# in the executable, so they are named here: SVG icons and images, the SQLite driver of the help
# engine, and the metric-compatible font of the window's Arial.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libqt6sql6-sqlite, fonts-liberation2")
# Wayland sessions run it natively with the Wayland plugin, otherwise through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
