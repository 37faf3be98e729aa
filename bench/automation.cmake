# Automation layer call costs: early-bound against late-bound (by name and by
# dispatch id) member calls, list results with enumeration, and creating a
# VorsanAPI object through the class registry. Defined at the end of the
# top-level directory, once the automation targets exist.
function(_vorsan_automation_bench)
  if(NOT TARGET vorsan_com OR NOT TARGET VorsanCOM)
    return()
  endif()
  find_package(benchmark REQUIRED)  # its imported targets are per directory
  add_executable(automation_bench ${CMAKE_SOURCE_DIR}/bench/AutomationBench.cpp)
  target_link_libraries(automation_bench PRIVATE vorsan_com vorsan_testsupport benchmark::benchmark)
  target_compile_definitions(automation_bench PRIVATE VORSAN_COM_LIBRARY="$<TARGET_FILE:VorsanCOM>")
  add_dependencies(automation_bench VorsanCOM)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vorsan_automation_bench)
