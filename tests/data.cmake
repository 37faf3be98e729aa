# Shipped language data: every rule file in data/pelmira loads, speaks only
# phones its voice knows, and pronounces its word list (data/pronunciation)
# as written; the Indian voices cover every phone pair; Hindi numbers and
# sentences; every digit of mixed-script text is spoken.
vorsan_add_tests(data_tests
  SOURCES data/ShippedData.cpp data/RuleAndVoiceFilesTest.cpp data/PronunciationTest.cpp data/HindiTest.cpp
    data/MixedTextTest.cpp data/MarathiOrHindiTest.cpp
  LIBS vorsan_language vorsan_synth vorsan_engine vorsan_audio_analysis)
target_include_directories(data_tests PRIVATE data)

# The generated data files (rule, emotion, accent and voice files) are exactly
# what their generators under data/ write today: every generator runs into a
# temporary folder and each file it writes is compared byte for byte.
# (A check of the sources, run by the Linux build: the generators are Python.)
if(NOT WIN32)
  add_test(NAME data_generated COMMAND python3 ${PROJECT_SOURCE_DIR}/scripts/check-data.py)
  set_tests_properties(data_generated PROPERTIES TIMEOUT 60)
endif()
