# The speech-dispatcher module sd_vorsan over pipes: SPEAK to the first
# 705 AUDIO for one sentence and for 5,000 words, and STOP to 703 STOP.
# Defined at the end of the top-level directory, once the module exists.
# Run by hand: bench/speechd_bench.
function(_vorsan_speechd_bench)
  if(NOT TARGET sd_vorsan OR NOT TARGET vorsan_regsvr)
    return()
  endif()
  find_package(benchmark REQUIRED)  # its imported targets are per directory
  add_executable(speechd_bench ${CMAKE_SOURCE_DIR}/bench/SpeechdBench.cpp)
  target_link_libraries(speechd_bench PRIVATE vorsan_com vorsan_core benchmark::benchmark)
  target_compile_definitions(speechd_bench PRIVATE
    VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SD_VORSAN="$<TARGET_FILE:sd_vorsan>"
    NIMBREL22_LIBRARY="$<TARGET_FILE:Nimbrel22>" VORSAN_COM_LIBRARY="$<TARGET_FILE:VorsanCOM>")
  add_dependencies(speechd_bench sd_vorsan Nimbrel22 VorsanCOM)
  # Beside the other benchmarks (it is defined in the top-level directory).
  set_target_properties(speechd_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vorsan_speechd_bench)
