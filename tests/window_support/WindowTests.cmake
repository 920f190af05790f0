# orka_window_test(<part> <name> SOURCES <files...> [LINK <libraries...>]
#                  [ENV <VAR=value...>])
# A Qt Test program of the window, registered as <part>.<name>: offscreen,
# with the simulated transport first on the library path, the common window
# test headers, and the test time limit.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

function(orka_window_test part name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/window_support)
  target_link_libraries(${name} PRIVATE pcorka_core Qt6::Test ${ARG_LINK})
  add_test(NAME ${part}.${name} COMMAND ${name})
  set_tests_properties(${part}.${name} PROPERTIES TIMEOUT ${ORKA_TEST_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LD_LIBRARY_PATH=${ORKA_SIM_DIR};${ARG_ENV}")
endfunction()
