# bench_avi: the cost of one live-view frame written to the AVI file.
if(ORKA_BUILD_APP AND TARGET benchmark::benchmark)
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  add_executable(bench_avi ${CMAKE_CURRENT_SOURCE_DIR}/bench_avi.cpp
    ${PROJECT_SOURCE_DIR}/app/automation/AVICompression.cpp)
  target_include_directories(bench_avi PRIVATE ${PROJECT_SOURCE_DIR}/app/automation)
  target_link_libraries(bench_avi PRIVATE Qt6::Gui JPEG::JPEG benchmark::benchmark)
endif()
