# The engine proper: registries and settings, the text-to-chunks pipeline,
# the configuration file and sound output.
add_library(vorsan_engine
  src/LanguageEntry.cpp
  src/SpeechEngine.cpp
  src/Pipeline.cpp
  src/Configuration.cpp
  src/SoundOutput.cpp)
target_include_directories(vorsan_engine PUBLIC include)
target_link_libraries(vorsan_engine PUBLIC vorsan_core vorsan_language vorsan_prosody vorsan_emotion
  vorsan_accent vorsan_english vorsan_synth)

vorsan_add_tests(engine_tests
  SOURCES tests/EngineRegistryTest.cpp tests/PipelineTest.cpp tests/ConfigurationTest.cpp
  LIBS vorsan_engine)

find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
vorsan_add_tests(sound_output_tests
  SOURCES tests/SoundOutputTest.cpp
  LIBS vorsan_engine PkgConfig::SNDFILE)
