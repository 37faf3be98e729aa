# The speech-dispatcher module sd_vorsan over pipes: SPEAK to the first
# 705 AUDIO for one sentence and for 5,000 words, STOP to 703 STOP, and its
# CPU per second of audio (beside sd_espeak-ng's when that is installed).
# Defined at the end of the top-level directory, once the module exists.
# Run by hand: bench/speechd_bench.
function(_vorsan_speechd_bench)
  if(NOT TARGET sd_vorsan)
    return()
  endif()
  find_package(benchmark REQUIRED)  # its imported targets are per directory
  add_executable(speechd_bench ${CMAKE_SOURCE_DIR}/bench/SpeechdBench.cpp)
  target_link_libraries(speechd_bench PRIVATE benchmark::benchmark)
  target_compile_definitions(speechd_bench PRIVATE
    VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SD_VORSAN="$<TARGET_FILE:sd_vorsan>"
    VORSAN_ENGLISH_DAT="${CMAKE_BINARY_DIR}/data/english/english.dat")
  add_dependencies(speechd_bench sd_vorsan)
  # Beside the other benchmarks (it is defined in the top-level directory).
  set_target_properties(speechd_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vorsan_speechd_bench)
