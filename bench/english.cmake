# English front end throughput (words per second through Convert).
add_executable(english_bench ${CMAKE_CURRENT_LIST_DIR}/EnglishBench.cpp)
target_link_libraries(english_bench PRIVATE vorsan_english benchmark::benchmark)
