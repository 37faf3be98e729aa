# Synthesiser speed: real-time factor of writing a WAVE file of about 30 s of
# English, time to the end of a 1 s file, and the start-up (Festival and the
# English voice).
if(TARGET vorsan_synth)
  add_executable(synth_bench ${CMAKE_CURRENT_LIST_DIR}/SynthBench.cpp)
  target_link_libraries(synth_bench PRIVATE vorsan_synth benchmark::benchmark)
endif()
