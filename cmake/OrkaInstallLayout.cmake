# Where an install puts things. Two layouts:
#  - a source install (the default): the libraries, their headers and
#    fotolien.pc beside the system's, so that other programs can link Fotolien;
#  - the Debian package's (ORKA_PACKAGE=ON): prefix /usr, the two libraries
#    private to the programs in <libdir>/pcorka (no soname in the public
#    library path to clash with, no shlibs or ldconfig), no headers, and the
#    hardening flags Debian builds with.
option(ORKA_PACKAGE "Install as the Debian package lays it out (see cmake/OrkaInstallLayout.cmake)" OFF)
if(ORKA_PACKAGE AND CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install path prefix" FORCE)
endif()

include(GNUInstallDirs)

if(ORKA_PACKAGE)
  set(ORKA_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR}/pcorka)
else()
  set(ORKA_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR})
endif()

# Installed programs find the libraries from where they are; LD_LIBRARY_PATH
# (for example build/sim, the simulated camera) still comes first (RUNPATH).
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${ORKA_INSTALL_LIBDIR}")
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)

# What only a developer needs (headers, fotolien.pc, the unversioned library
# links) is in the Development component, which the package leaves out.
set(ORKA_DEV_COMPONENT Development)

# Everything the package holds reads the camera's bytes and the user's files:
# build it as Debian builds its own (dpkg-buildflags). Fortification needs the
# optimiser, which every build type but Debug runs.
if(ORKA_PACKAGE)
  if(ORKA_SANITIZE)
    message(FATAL_ERROR "ORKA_PACKAGE and ORKA_SANITIZE do not go together")
  endif()
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
    "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>")
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
