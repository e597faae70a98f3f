# The Debian package (./run package: cpack -G DEB). Files go under /usr whatever prefix the
# build was configured for; the programs find their modules and read-me relative to
# themselves, so the package also runs unpacked anywhere (dpkg -x).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rate the agreement of data sets (Feature Selective Validation)")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(ORVANE_PACKAGE_MAINTAINER "Orvane developers <orvane@packages.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Below the summary line; CPack indents it, and an empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvane compares 2 to 8 data sets, such as a measurement and several simulations,
with the Feature Selective Validation method (IEEE Std 1597.1). It rates their
agreement in amplitude and in features (ADM, FDM, GDM, six confidence classes,
grade and spread), draws plots and colour code charts, and saves reports,
pictures and Level-5 MAT-files.

orvane is the desktop program; orvane-batch runs the same analysis from the
command line.")
# Dependencies from the libraries the programs and modules actually link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The read-me opener hands files to the desktop's default program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

# The licence as Debian looks for it: /usr/share/doc/<package>/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/share/copyright DESTINATION ${ORVANE_DOC_DIR})

include(CPack)
