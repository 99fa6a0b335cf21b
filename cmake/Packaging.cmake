# The Debian package, made by CPack from what `cmake --install` installs (tools/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${MDIRESIZE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
    "A main window holds four child windows and lays them out to fill its client
area. With naive fractional arithmetic two halves of an odd number of pixels
both round up: the right form overhangs by one pixel, the client area shows a
horizontal scroll bar and the vertical one follows. Two menu switches choose
corrected whole-unit arithmetic, and the bars never come.

Sessions of commands play in the window or on a window system held in memory,
with a trace of every operation; a sweep through every client width counts
gaps, overhangs and scroll bars.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links come from dpkg-shlibdeps; the font the forms were made to fit is no
# library, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
set(CPACK_STRIP_FILES ON)
include(CPack)
