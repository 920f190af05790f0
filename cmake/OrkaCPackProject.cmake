# Read by cpack for each generator it runs (CPACK_PROJECT_CONFIG_FILE).
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_ORKA_PACKAGE_LAYOUT)
  message(FATAL_ERROR "The Debian package is built from a tree configured with "
    "-DORKA_PACKAGE=ON (prefix /usr, private libraries); this one is not (scripts/orka package builds one).")
endif()
