# bench_liveview against the in-process simulated camera (see bench_support.h).
if(NOT (TARGET Fotolien AND TARGET UsbpipeSim AND TARGET OrkaSim))
  return()
endif()
file(READ ${PROJECT_SOURCE_DIR}/simulator/orkasim.h ORKA_SIM_API)
if(NOT ORKA_SIM_API MATCHES "prerenderFrames")
  return()  # the simulated camera cannot pre-render frames yet
endif()
add_executable(bench_liveview ${CMAKE_CURRENT_SOURCE_DIR}/bench_liveview.cpp)
target_link_libraries(bench_liveview PRIVATE UsbpipeSim OrkaSim Fotolien orka_ids Threads::Threads)
# The simulated transport first, as for the library's tests.
set_target_properties(bench_liveview PROPERTIES SKIP_BUILD_RPATH ON)
target_link_options(bench_liveview PRIVATE "LINKER:--no-as-needed"
  "LINKER:-rpath,${ORKA_SIM_DIR}:${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
