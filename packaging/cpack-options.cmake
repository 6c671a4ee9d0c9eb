# Read by cpack for each kind of package it makes. A Debian package installs
# under /usr, and the paths the manual page names are those of the build.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_ASSISTANT_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "A Debian package installs under /usr: configure the build with "
                        "-DCMAKE_INSTALL_PREFIX=/usr (it has ${CPACK_ASSISTANT_INSTALL_PREFIX})")
endif()
