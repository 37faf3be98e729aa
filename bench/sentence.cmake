# One short English and one short Hindi sentence to a WAVE file in a warm
# engine (CPU time), built on every system so the Windows build's cost under
# Wine compares with Linux's. Run by hand: bench/sentence_bench.
add_executable(sentence_bench ${CMAKE_CURRENT_LIST_DIR}/SentenceBench.cpp)
target_link_libraries(sentence_bench PRIVATE vorsan_engine benchmark::benchmark)
target_compile_definitions(sentence_bench PRIVATE VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                                  VORSAN_ENGLISH_DAT="${CMAKE_BINARY_DIR}/data/english/english.dat")
if(TARGET vorsan_english_dat)
  add_dependencies(sentence_bench vorsan_english_dat)
endif()
