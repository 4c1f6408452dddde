# Read by cpack for each package it makes, once the generator is known:
# the Debian package installs under /usr, the source archive keeps the
# tree's own layout.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
