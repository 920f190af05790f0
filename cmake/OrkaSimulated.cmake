# The simulated camera in place of the real one. Both transports share one
# soname (libUsbpipe.so.1); the simulated one is in build/sim.
#
# orka_link_simulated_transport(<target>)
# The one way for a program the build makes (tests, benchmarks): <target>
# runs the whole stack in its own process against the simulated camera,
# Fotolien over the simulated transport, with the simulator's controls
# (orkasim.h) at hand. The program itself needs the simulated transport,
# found first on its own search path (given by hand, as CMake cannot order
# two folders holding the same name); Fotolien then uses the one already
# loaded. Nothing needs to be set when it runs.
function(orka_link_simulated_transport target)
  target_link_libraries(${target} PRIVATE UsbpipeSim OrkaSim Fotolien orka_ids Threads::Threads)
  set_target_properties(${target} PROPERTIES SKIP_BUILD_RPATH ON)
  target_link_options(${target} PRIVATE "LINKER:--no-as-needed"
    "LINKER:-rpath,${ORKA_SIM_DIR}:${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
endfunction()

# orka_test_shipped_program_simulated(<test>...)
# The shipped programs (PCOrka, orkactl) are linked to the real transport; a
# test that runs one of them against the simulated camera puts build/sim
# first on its library path, as a user does (scripts/orka run).
function(orka_test_shipped_program_simulated)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "LD_LIBRARY_PATH=${ORKA_SIM_DIR}")
endfunction()
