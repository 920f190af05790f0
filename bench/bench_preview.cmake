# bench_preview: the per-frame cost of the preview path (decode, analysis,
# turn) against the bare libjpeg decode, on the simulated camera's frames.
if(ORKA_BUILD_APP AND TARGET pcorka_core AND TARGET OrkaSim)
  add_executable(bench_preview ${CMAKE_CURRENT_SOURCE_DIR}/bench_preview.cpp)
  target_link_libraries(bench_preview PRIVATE pcorka_core OrkaSim JPEG::JPEG)
endif()
