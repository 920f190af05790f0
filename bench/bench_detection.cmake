# Per-frame cost of the live-view analysis: AnalyseFrame + DetectMotion with
# the detection rectangle over the whole 544 x 408 frame, and each frame turn.
if(TARGET Fotolien AND TARGET pcorka_core)
  set(ORKA_BENCH_DETECTION_LIB pcorka_core)
elseif(TARGET orka_app_logic)
  set(ORKA_BENCH_DETECTION_LIB orka_app_logic)  # until the camera library exists
else()
  return()
endif()
add_executable(bench_detection ${CMAKE_CURRENT_SOURCE_DIR}/bench_detection.cpp)
target_link_libraries(bench_detection PRIVATE ${ORKA_BENCH_DETECTION_LIB})
if(benchmark_FOUND)
  target_link_libraries(bench_detection PRIVATE benchmark::benchmark)
  target_compile_definitions(bench_detection PRIVATE ORKA_HAVE_BENCHMARK)
endif()
