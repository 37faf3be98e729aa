# End-to-end engine speed: real-time factor of text to files, short-sentence
# latency, process start-up, and the same texts through espeak-ng and
# Festival's text2wave.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/EngineBench.cpp)
target_link_libraries(engine_bench PRIVATE vorsan_engine PkgConfig::BENCH_SNDFILE benchmark::benchmark)
target_compile_definitions(engine_bench PRIVATE VORSAN_CLI="$<TARGET_FILE:vorsan>" VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(engine_bench vorsan)
