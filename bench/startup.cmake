# Start-up: one short sentence to a sound file as a whole fresh process (CPU
# time and peak memory), with the installed configuration, side by side with
# eSpeak NG. Run by hand: bench/startup_bench.
# (Linux only: it forks, waits and reads the child's resource usage.)
if(TARGET vorsan AND NOT WIN32)
  add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/StartupBench.cpp)
  target_compile_definitions(startup_bench PRIVATE VORSAN_CLI="$<TARGET_FILE:vorsan>"
                                                   VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_dependencies(startup_bench vorsan)
endif()
