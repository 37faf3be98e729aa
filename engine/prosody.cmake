# vorsan_prosody: sentence and clause prosody over the language rules.
add_library(vorsan_prosody src/Prosody.cpp)
target_include_directories(vorsan_prosody PUBLIC include)
target_link_libraries(vorsan_prosody PUBLIC vorsan_language vorsan_core)

if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/tests/ProsodyTest.cpp")
  vorsan_add_tests(prosody_tests SOURCES tests/ProsodyTest.cpp LIBS vorsan_prosody)
endif()
