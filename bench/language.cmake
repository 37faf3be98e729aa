# Language rule database and prosody throughput: convertWord words per
# second, rule-file load time, prosody characters per second.
add_executable(language_bench
  ${CMAKE_CURRENT_LIST_DIR}/LanguageBench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProsodyBench.cpp)
target_link_libraries(language_bench PRIVATE vorsan_language vorsan_prosody benchmark::benchmark benchmark::benchmark_main)
