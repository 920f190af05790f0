# bench_liveloop: frames per second of the window's own live-view loop
# against the simulated camera, overlays on. Re-runs itself with the
# simulated transport first on the library path.
if(ORKA_BUILD_APP AND TARGET pcorka_core AND TARGET OrkaSim)
  add_executable(bench_liveloop ${CMAKE_CURRENT_SOURCE_DIR}/bench_liveloop.cpp)
  target_link_libraries(bench_liveloop PRIVATE pcorka_core OrkaSim)
  target_compile_definitions(bench_liveloop PRIVATE ORKA_SIM_DIR="${ORKA_SIM_DIR}")
endif()
