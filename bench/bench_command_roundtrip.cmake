# bench_command_roundtrip against the in-process simulated camera (see bench_support.h).
if(NOT (TARGET Fotolien AND TARGET UsbpipeSim AND TARGET OrkaSim))
  return()
endif()
add_executable(bench_command_roundtrip ${CMAKE_CURRENT_SOURCE_DIR}/bench_command_roundtrip.cpp)
target_link_libraries(bench_command_roundtrip PRIVATE UsbpipeSim OrkaSim Fotolien orka_ids Threads::Threads)
# The simulated transport first, as for the library's tests.
set_target_properties(bench_command_roundtrip PROPERTIES SKIP_BUILD_RPATH ON)
target_link_options(bench_command_roundtrip PRIVATE "LINKER:--no-as-needed"
  "LINKER:-rpath,${ORKA_SIM_DIR}:${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
