# Long unbroken tokens: peak memory of a 512 K-character token through the
# engine (Latin, "&", Devanagari), and the module's SSML reader on 1 MB of
# "<". Defined at the end of the top-level directory, once the module's
# library exists. Run by hand: bench/token_bench.
function(_vorsan_token_bench)
  if(NOT TARGET sd_vorsan_module)
    return()
  endif()
  find_package(benchmark REQUIRED)  # its imported targets are per directory
  add_executable(token_bench ${CMAKE_SOURCE_DIR}/bench/TokenBench.cpp)
  target_link_libraries(token_bench PRIVATE vorsan_engine sd_vorsan_module benchmark::benchmark)
  target_compile_definitions(token_bench PRIVATE VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(token_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vorsan_token_bench)
