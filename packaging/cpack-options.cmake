# Read by cpack for each kind of package it makes.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "A Debian package installs under /usr: configure the build with "
                        "-DCMAKE_INSTALL_PREFIX=/usr (it has ${CPACK_PACKAGING_INSTALL_PREFIX})")
endif()
