# The Debian package, built by CPack from a tree configured with
# ORKA_PACKAGE=ON (see cmake/OrkaInstallLayout.cmake):
#   cmake -S . -B build-deb -DORKA_PACKAGE=ON -DORKA_BUILD_TESTS=OFF -DORKA_BUILD_BENCH=OFF
#   cmake --build build-deb -j2 && (cd build-deb && cpack -G DEB)
# Included last, once every install rule is known.

set(CPACK_PACKAGE_NAME pcorka)
set(CPACK_PACKAGE_VENDOR "The PCOrka developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tethered shooting with the Orka camera")
set(CPACK_PACKAGE_DESCRIPTION
  "PCOrka drives the Orka digital still camera from the computer over USB: a\n"
  "live preview fills the window, every shooting setting can be changed,\n"
  "resting the mouse on the shutter button half-presses it and a click shoots,\n"
  "and the pictures land in a chosen folder under running numbers. On top:\n"
  "exposure bracketing, self-timer, intervalometer, capture on motion inside a\n"
  "rectangle of the preview with a date and time schedule, recording the\n"
  "preview as AVI video, and camera set-ups saved as templates. The window is\n"
  "in French.\n"
  "\n"
  "The orkactl tool drives the camera from scripts. A udev rule gives the user\n"
  "at the seat access to the camera without root.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "PCOrka maintainers <maintainers@users.noreply.c-seed-f807693a.example>"
  CACHE STRING "Maintainer of the Debian package")
mark_as_advanced(CPACK_PACKAGE_CONTACT)

# Everything but the developer's files, in one package.
get_cmake_property(components COMPONENTS)
list(REMOVE_ITEM components ${ORKA_DEV_COMPONENT})
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_PACKAGE_NAME pcorka)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps, which finds the private
# libraries in the package through their run paths ($ORIGIN). Qt loads the
# window system's platform plugin at run time, so no library names it: it is a
# dependency of its own. Qt's French texts for its own dialogs are welcome, not
# needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(ORKA_BUILD_APP)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A tree in the source-install layout would give a package with public
# libraries and no Debian documents: cpack -G DEB refuses it.
set(CPACK_ORKA_PACKAGE_LAYOUT ${ORKA_PACKAGE})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/OrkaCPackProject.cmake)

include(CPack)
