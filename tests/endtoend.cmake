# Whole-system tests: the engine with the real synthesiser and audio checks.
vorsan_add_tests(end_to_end_tests
  SOURCES endtoend/EndToEndTest.cpp
  LIBS vorsan_engine vorsan_audio_analysis)
