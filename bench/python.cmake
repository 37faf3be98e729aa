# The Python package's cost over the engine's own: one sentence rendered by
# the engine alone and through vorsan.Engine.synthesize, both in an embedded
# interpreter. Run by hand: bench/python_binding_bench.
if(TARGET vorsan_python)
  find_package(Python3 COMPONENTS Interpreter Development.Embed)
  find_package(pybind11 CONFIG QUIET)
  if(Python3_Development.Embed_FOUND AND pybind11_FOUND)
    add_executable(python_binding_bench ${CMAKE_CURRENT_LIST_DIR}/PythonBindingBench.cpp)
    # Not the engine libraries: the package's module holds the process's one
    # copy of the synthesiser.
    target_link_libraries(python_binding_bench PRIVATE pybind11::embed benchmark::benchmark)
    target_compile_definitions(python_binding_bench PRIVATE VORSAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      VORSAN_PYTHON_DIR="${CMAKE_BINARY_DIR}/python")
    add_dependencies(python_binding_bench vorsan_python)
  endif()
endif()
