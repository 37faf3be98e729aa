# Mood application throughput (phoneme lines per second).
add_executable(emotion_bench ${CMAKE_CURRENT_LIST_DIR}/EmotionBench.cpp)
target_link_libraries(emotion_bench PRIVATE vorsan_emotion benchmark::benchmark)
