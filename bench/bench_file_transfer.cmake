# bench_file_transfer against the in-process simulated camera (see bench_support.h).
if(NOT (TARGET Fotolien AND TARGET UsbpipeSim AND TARGET OrkaSim))
  return()
endif()
file(READ ${PROJECT_SOURCE_DIR}/simulator/orkasim.h ORKA_SIM_API)
if(NOT ORKA_SIM_API MATCHES "sendFile")
  return()  # the simulated camera does not send files yet
endif()
add_executable(bench_file_transfer ${CMAKE_CURRENT_SOURCE_DIR}/bench_file_transfer.cpp)
target_link_libraries(bench_file_transfer PRIVATE UsbpipeSim OrkaSim Fotolien orka_ids Threads::Threads)
# The simulated transport first, as for the library's tests.
set_target_properties(bench_file_transfer PROPERTIES SKIP_BUILD_RPATH ON)
target_link_options(bench_file_transfer PRIVATE "LINKER:--no-as-needed"
  "LINKER:-rpath,${ORKA_SIM_DIR}:${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
