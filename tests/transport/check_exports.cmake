# Compares the dynamic symbols that LIBRARY defines with the exports declared
# in HEADER (every USBPIPE_API function).
file(STRINGS ${HEADER} declarations REGEX "^USBPIPE_API [^(]*\\(")
set(expected "")
foreach(line IN LISTS declarations)
  string(REGEX MATCH "([A-Za-z0-9_]+)\\(" name "${line}")
  list(APPEND expected ${CMAKE_MATCH_1})
endforeach()
list(SORT expected)

execute_process(COMMAND nm -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(actual "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]* [A-Za-z] (.+)$")
    list(APPEND actual ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT actual)

list(LENGTH expected count)
# The twelve transport functions and usbNativeOpenDiagnosis.
if(NOT count EQUAL 13)
  message(FATAL_ERROR "expected thirteen exports in ${HEADER}, found ${count}: ${expected}")
endif()
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "exported symbols differ\n  expected: ${expected}\n  actual:   ${actual}")
endif()
message(STATUS "exports: ${actual}")
