# The shipped emotion, accent and installation data: files load and cover
# their voices, the installer's configuration loads, moods and accents are
# heard in real audio.
vorsan_add_tests(mood_tests
  SOURCES data/ShippedData.cpp moods/ShippedFilesTest.cpp moods/InstallationTest.cpp moods/AudioTest.cpp
  LIBS vorsan_engine vorsan_emotion vorsan_accent vorsan_synth vorsan_audio_analysis)
target_include_directories(mood_tests PRIVATE data)
