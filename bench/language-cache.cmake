# Rule, emotion and accent file load times with and without the compiled
# copies in the profile's cache folder, and the engine's whole configuration
# load both ways.
add_executable(language_cache_bench ${CMAKE_CURRENT_LIST_DIR}/RuleCacheBench.cpp)
target_link_libraries(language_cache_bench PRIVATE vorsan_engine benchmark::benchmark benchmark::benchmark_main)
target_compile_definitions(language_cache_bench PRIVATE VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
