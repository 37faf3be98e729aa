# Waveform back ends side by side (our diphone renderer, Festival's), CPU per
# second of audio for English and Hindi, and a voice's start-up.
if(TARGET vorsan_synth)
  add_executable(renderer_bench ${CMAKE_CURRENT_LIST_DIR}/RendererBench.cpp)
  target_include_directories(renderer_bench PRIVATE ${CMAKE_SOURCE_DIR}/synth/src)
  target_compile_definitions(renderer_bench PRIVATE VORSAN_SOURCE_DATA="${CMAKE_SOURCE_DIR}/data")
  target_link_libraries(renderer_bench PRIVATE vorsan_synth benchmark::benchmark)
endif()
