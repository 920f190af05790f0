# bench_liveview: the per-frame cost of the preview path (decode, analysis,
# turn) against the bare libjpeg decode, on the simulated camera's frames.
if(ORKA_BUILD_APP AND TARGET pcorka_core AND TARGET OrkaSim)
  add_executable(bench_liveview ${CMAKE_CURRENT_SOURCE_DIR}/bench_liveview.cpp)
  target_link_libraries(bench_liveview PRIVATE pcorka_core OrkaSim JPEG::JPEG)
endif()
