# The Debian package zenkel-html: both programs, the shipped data, the desktop entry, the icon
# and the manual page, installed below /usr. Its dependencies on the Qt 6 and QScintilla
# runtime packages are computed from the programs by dpkg-shlibdeps (package dpkg-dev).
set(ZENKEL_PACKAGE_MAINTAINER "Zenkel HTML maintainers <zenkel-html@localhost>"
    CACHE STRING "Maintainer line of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zenkel-html)
# The version the programs show ("Zenkel HTML v3.5d").
set(CPACK_PACKAGE_VERSION 3.5d)
set(CPACK_PACKAGE_VENDOR "Zenkel HTML")
set(CPACK_PACKAGE_CONTACT "${ZENKEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "formatter, compressor and trimmer for HTML source files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZENKEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
Zenkel HTML rewrites HTML files in one of three ways: Format puts one tag per
line, indents by nesting depth and wraps running text as a style says;
Compress removes the layout whitespace; Trim removes the whitespace just
inside chosen tags. Before a file changes a backup is kept, and runs over
many files write a protocol.
.
zenkel-html is the window program with an editor with syntax colouring and
an options window for styles; zenkel is the command-line tool on the same
engine. Settings and saved styles live in ~/.config/zenkel-html.")

include(CPack)
