# The system voice Nimbrel22: time from Speak to the first audio for a long
# text, and how soon Speak returns after the output site asks for an abort.
# Defined at the end of the top-level directory, once the voice and the
# automation targets exist. Run by hand: bench/voice_bench.
function(_vorsan_voice_bench)
  if(NOT TARGET Nimbrel22 OR NOT TARGET VorsanCOM OR NOT TARGET vorsan_regsvr)
    return()
  endif()
  find_package(benchmark REQUIRED)  # its imported targets are per directory
  add_executable(voice_bench ${CMAKE_SOURCE_DIR}/bench/VoiceBench.cpp)
  target_include_directories(voice_bench PRIVATE ${CMAKE_SOURCE_DIR}/voice/include ${CMAKE_SOURCE_DIR}/voice/tests)
  target_link_libraries(voice_bench PRIVATE vorsan_com vorsan_core benchmark::benchmark)
  target_compile_definitions(voice_bench PRIVATE
    VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    NIMBREL22_LIBRARY="$<TARGET_FILE:Nimbrel22>" VORSAN_COM_LIBRARY="$<TARGET_FILE:VorsanCOM>")
  add_dependencies(voice_bench Nimbrel22 VorsanCOM)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vorsan_voice_bench)
