# orka_link_simulated_transport(<target>)
# <target> runs the whole stack in its own process against the simulated
# camera: Fotolien over the simulated transport. Both transports share one
# soname, so the program itself needs the simulated one, found first on its
# own search path (given by hand, as CMake cannot order two folders holding
# the same name); Fotolien then uses the one already loaded.
function(orka_link_simulated_transport target)
  target_link_libraries(${target} PRIVATE UsbpipeSim OrkaSim Fotolien orka_ids Threads::Threads)
  set_target_properties(${target} PROPERTIES SKIP_BUILD_RPATH ON)
  target_link_options(${target} PRIVATE "LINKER:--no-as-needed"
    "LINKER:-rpath,${ORKA_SIM_DIR}:${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
endfunction()
