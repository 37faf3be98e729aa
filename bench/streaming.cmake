# Streaming speech on a warm engine: time to first audio for short and long
# texts, time per KB of the whole request (phoneme text and audio) by text
# size, the configuration load, and the peak memory of a long text to a file.
# Run by hand: bench/streaming_bench. (Linux only: the peak memory is read
# from a forked child.)
if(WIN32)
  return()
endif()
add_executable(streaming_bench ${CMAKE_CURRENT_LIST_DIR}/StreamingBench.cpp)
target_link_libraries(streaming_bench PRIVATE vorsan_engine benchmark::benchmark)
target_compile_definitions(streaming_bench PRIVATE VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
