# Shipped language data: every rule file in data/pelmira loads, speaks only
# phones its voice knows, and pronounces its word list (data/pronunciation)
# as written; the Indian voices cover every phone pair; Hindi numbers and
# sentences.
vorsan_add_tests(data_tests
  SOURCES data/DataFiles.cpp data/RuleFilesTest.cpp data/VoiceFilesTest.cpp data/PronunciationTest.cpp
          data/HindiTest.cpp
  LIBS vorsan_language vorsan_synth vorsan_engine vorsan_audio_analysis)
target_include_directories(data_tests PRIVATE data)
