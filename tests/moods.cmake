# The shipped emotion, accent and installation data: files load and cover
# their voices, the installer's configuration loads, moods and accents are
# heard in real audio.
# The install scripts the installation tests run are POSIX shell scripts.
set(_mood_test_sources data/ShippedData.cpp moods/ShippedFilesTest.cpp moods/AudioTest.cpp)
if(NOT WIN32)
  list(APPEND _mood_test_sources moods/InstallationTest.cpp)
endif()
vorsan_add_tests(mood_tests
  SOURCES ${_mood_test_sources}
  LIBS vorsan_engine vorsan_emotion vorsan_accent vorsan_synth vorsan_audio_analysis)
target_include_directories(mood_tests PRIVATE data)
