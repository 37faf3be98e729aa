# Accent mapping throughput (phoneme lines per second).
add_executable(accent_bench ${CMAKE_CURRENT_LIST_DIR}/AccentBench.cpp)
target_link_libraries(accent_bench PRIVATE vorsan_accent benchmark::benchmark)
