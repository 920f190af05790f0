# Installs the build tree into a fresh prefix and checks what a user and a
# developer find there. Run by CTest with:
#   BUILD_DIR PREFIX SOURCE_DIR BINDIR LIBDIR PCDIR INCLUDEDIR DATADIR MANDIR
#   UDEVDIR VENDOR_ID PRODUCT_ID (as in the cache: 0x4F52) C_COMPILER PKG_CONFIG
#   GZIP DESKTOP_VALIDATE APPSTREAMCLI MAN (empty when missing)
#   HAVE_PCORKA HAVE_ORKACTL HAVE_USBPIPE HAVE_FOTOLIEN
# A part whose target is not in this build is skipped; a part that is built
# must be installed whole.
cmake_minimum_required(VERSION 3.25)

set(failures "")
macro(fail message)
  message(SEND_ERROR "${message}")
  list(APPEND failures "${message}")
endmacro()

macro(expect_file path)
  if(NOT EXISTS "${PREFIX}/${path}" OR IS_DIRECTORY "${PREFIX}/${path}")
    fail("missing from the install: ${path}")
  endif()
endmacro()

# Installed programs must find the installed libraries, not the build's.
set(clean_env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=PKG_CONFIG_PATH)

# udev matches the identifiers as sysfs writes them: four lower-case hex digits.
foreach(id VENDOR PRODUCT)
  math(EXPR number "${${id}_ID}" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x" "0000" hex "${number}")
  string(TOLOWER "${hex}" hex)
  string(LENGTH "${hex}" length)
  math(EXPR start "${length} - 4")
  string(SUBSTRING "${hex}" ${start} 4 ${id})
endforeach()
if(NOT UDEVDIR)
  set(UDEVDIR lib/udev/rules.d)
endif()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

# An installed program loads every library it needs from the install or the
# system, none from the build tree.
macro(expect_runnable program)
  execute_process(COMMAND ${clean_env} ldd "${PREFIX}/${program}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR output MATCHES "not found")
    fail("${program} does not load from the install:\n${output}")
  endif()
  # The prefix lies inside the build tree: look past it.
  string(REPLACE "${PREFIX}/" "<prefix>/" output "${output}")
  string(FIND "${output}" "${BUILD_DIR}" inBuild)
  if(NOT inBuild EQUAL -1)
    fail("${program} loads libraries from the build tree:\n${output}")
  endif()
endmacro()

# A manual page: installed compressed, and clean for man's own checker (the
# one lintian runs). Its source text is left in `text`.
macro(expect_man_page program)
  set(page ${MANDIR}/man1/${program}.1.gz)
  set(text "")
  expect_file(${page})
  if(EXISTS "${PREFIX}/${page}")
    execute_process(COMMAND ${GZIP} -dc "${PREFIX}/${page}"
      RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
      fail("${page} is not gzip data: ${error}")
    endif()
    if(MAN)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
          ${MAN} --warnings -E UTF-8 -l -Tutf8 -Z "${PREFIX}/${page}"
        RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE warnings)
      if(NOT result EQUAL 0 OR warnings)
        fail("man finds fault with ${page}:\n${warnings}")
      endif()
    endif()
  endif()
endmacro()

if(HAVE_ORKACTL)
  expect_file(${BINDIR}/orkactl)
  expect_runnable(${BINDIR}/orkactl)
  # The page names every command and option that orkactl --help gives.
  expect_man_page(orkactl)
  execute_process(COMMAND ${clean_env} "${PREFIX}/${BINDIR}/orkactl" --help
    OUTPUT_VARIABLE help ERROR_QUIET)
  string(REGEX MATCHALL "\n  [a-z]+" commands "${help}")
  string(REGEX MATCHALL "--[a-z]+" options "${help}")
  if(NOT commands OR NOT options)
    fail("orkactl --help lists no commands or options:\n${help}")
  endif()
  foreach(command IN LISTS commands)
    string(STRIP "${command}" command)
    if(NOT text MATCHES "\n\\.BI? \"?${command}[ \"\n]")
      fail("the orkactl manual page does not describe the command ${command}")
    endif()
  endforeach()
  foreach(option IN LISTS options)
    string(REPLACE "-" "\\-" quoted "${option}")
    string(FIND "${text}" "${quoted}" at)
    if(at EQUAL -1)
      fail("the orkactl manual page does not describe ${option}")
    endif()
  endforeach()
endif()

if(HAVE_USBPIPE)
  expect_file(${LIBDIR}/libUsbpipe.so)
  expect_file(${INCLUDEDIR}/usbpipe.h)
  # The real transport, on libusb, not the simulated camera's.
  file(STRINGS "${PREFIX}/${LIBDIR}/libUsbpipe.so" usbLink LIMIT_COUNT 1 REGEX "libusb-1\\.0\\.so")
  if(NOT usbLink)
    fail("the installed libUsbpipe.so is not the libusb transport")
  endif()
  set(rule "${UDEVDIR}/60-orka-camera.rules")
  expect_file(${rule})
  if(EXISTS "${PREFIX}/${rule}")
    file(READ "${PREFIX}/${rule}" text)
    foreach(needed "SUBSYSTEM==\"usb\"" "ATTR{idVendor}==\"${VENDOR}\""
                   "ATTR{idProduct}==\"${PRODUCT}\"" "TAG+=\"uaccess\"")
      string(FIND "${text}" "${needed}" at)
      if(at EQUAL -1)
        fail("${rule} lacks ${needed}")
      endif()
    endforeach()
  endif()
endif()

if(HAVE_FOTOLIEN)
  expect_file(${LIBDIR}/libFotolien.so)
  expect_file(${INCLUDEDIR}/fotolien.h)
  expect_file(${PCDIR}/fotolien.pc)
  if(PKG_CONFIG AND C_COMPILER AND EXISTS "${PREFIX}/${PCDIR}/fotolien.pc")
    # A program outside this project finds, builds against and loads Fotolien.
    set(pcEnv ${clean_env} PKG_CONFIG_PATH=${PREFIX}/${PCDIR})
    execute_process(COMMAND ${pcEnv} ${PKG_CONFIG} --cflags --libs fotolien
      RESULT_VARIABLE result OUTPUT_VARIABLE flags ERROR_VARIABLE error
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${pcEnv} ${PKG_CONFIG} --variable=libdir fotolien
      OUTPUT_VARIABLE libdir OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
      fail("pkg-config fotolien failed: ${error}")
    else()
      set(probe "${PREFIX}-fotolien-probe")
      separate_arguments(flags UNIX_COMMAND "${flags}")
      execute_process(COMMAND ${C_COMPILER} -std=c11 -Wall -Wextra -Werror
          "${SOURCE_DIR}/tests/packaging/fotolien_probe.c" ${flags}
          "-Wl,-rpath,${libdir}" -o "${probe}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
      if(NOT result EQUAL 0)
        fail("a C program does not build against the installed Fotolien:\n${output}")
      else()
        execute_process(COMMAND ${clean_env} "${probe}"
          RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT result EQUAL 0)
          fail("the C program against the installed Fotolien failed (${result}):\n${output}")
        endif()
      endif()
    endif()
  endif()
endif()

if(HAVE_PCORKA)
  expect_file(${BINDIR}/PCOrka)
  expect_runnable(${BINDIR}/PCOrka)
  expect_man_page(PCOrka)
  # One metainfo file, for software centres, valid and naming the desktop entry.
  file(GLOB metainfo "${PREFIX}/${DATADIR}/metainfo/*.metainfo.xml")
  list(LENGTH metainfo count)
  if(NOT count EQUAL 1)
    fail("expected one metainfo file in ${DATADIR}/metainfo, found ${count}")
  else()
    file(READ "${metainfo}" text)
    if(NOT text MATCHES "<launchable type=\"desktop-id\">pcorka\\.desktop</launchable>")
      fail("${metainfo} does not launch pcorka.desktop")
    endif()
    if(APPSTREAMCLI)
      execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --pedantic "${metainfo}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
      if(NOT result EQUAL 0 OR output MATCHES "(^|\n)[EWIP]: ")
        fail("appstreamcli validate ${metainfo}:\n${output}")
      endif()
    else()
      message(STATUS "appstreamcli not found: metainfo not validated")
    endif()
  endif()
  # The help pages, as in the source tree.
  file(GLOB_RECURSE pages RELATIVE "${SOURCE_DIR}/resources/help" "${SOURCE_DIR}/resources/help/*")
  if(NOT pages)
    fail("no help pages in ${SOURCE_DIR}/resources/help")
  endif()
  foreach(page IN LISTS pages)
    expect_file(${DATADIR}/pcorka/help/${page})
  endforeach()
  # The desktop entry and its icon in every size.
  set(desktop ${DATADIR}/applications/pcorka.desktop)
  expect_file(${desktop})
  foreach(size 16 24 32 48 64 128 256)
    expect_file(${DATADIR}/icons/hicolor/${size}x${size}/apps/pcorka.png)
  endforeach()
  expect_file(${DATADIR}/icons/hicolor/scalable/apps/pcorka.svg)
  if(EXISTS "${PREFIX}/${desktop}")
    file(STRINGS "${PREFIX}/${desktop}" execLine REGEX "^Exec=")
    if(NOT execLine STREQUAL "Exec=PCOrka")
      fail("${desktop}: expected Exec=PCOrka, found '${execLine}'")
    endif()
    if(DESKTOP_VALIDATE)
      execute_process(COMMAND ${DESKTOP_VALIDATE} "${PREFIX}/${desktop}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
      if(NOT result EQUAL 0 OR output MATCHES "error:|warning:")
        fail("desktop-file-validate ${desktop}:\n${output}")
      endif()
    else()
      message(STATUS "desktop-file-validate not found: desktop entry not validated")
    endif()
  endif()
endif()

list(LENGTH failures count)
if(count GREATER 0)
  message(FATAL_ERROR "${count} problem(s) with the install into ${PREFIX}")
endif()
message(STATUS "install into ${PREFIX}: complete")
