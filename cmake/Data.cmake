# The shipped data: built into the build tree where it is generated, installed
# under <prefix>/share/vorsan with the source data folder's layout
# (voices/, pelmira/, ruvetta/, oskalen/, tolvane/, english/), so that the
# engine's relative look-ups are the same in the source tree and installed.
find_package(Python3 COMPONENTS Interpreter)

# english.dat, the English front end's dictionary, from Festival's CMU lexicon
# (festlex-cmu: stress and syllables) and, for the words it lacks, the CMU
# pronouncing dictionary of pocketsphinx-en-us.
set(VORSAN_CMUDICT "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"
  CACHE FILEPATH "CMU pronouncing dictionary english.dat is built from")
set(VORSAN_CMULEX_DIR "/usr/share/festival/dicts/cmu"
  CACHE PATH "Folder of Festival's CMU lexicon (cmudict-0.4.out, cmulex.scm)")
set(VORSAN_ENGLISH_DAT "${CMAKE_BINARY_DIR}/data/english/english.dat")
set(_vorsan_english_sources "")
foreach(f "${VORSAN_CMULEX_DIR}/cmudict-0.4.out" "${VORSAN_CMULEX_DIR}/cmulex.scm" "${VORSAN_CMUDICT}")
  if(EXISTS "${f}")
    list(APPEND _vorsan_english_sources "${f}")
  endif()
endforeach()
if(Python3_Interpreter_FOUND AND _vorsan_english_sources)
  add_custom_command(OUTPUT "${VORSAN_ENGLISH_DAT}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/data/english"
    COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/data/english/make_english_dat.py"
            ${_vorsan_english_sources} "${VORSAN_ENGLISH_DAT}.part"
    COMMAND "${CMAKE_COMMAND}" -E rename "${VORSAN_ENGLISH_DAT}.part" "${VORSAN_ENGLISH_DAT}"
    DEPENDS "${CMAKE_SOURCE_DIR}/data/english/make_english_dat.py" ${_vorsan_english_sources}
    COMMENT "Building english.dat from ${_vorsan_english_sources}"
    VERBATIM)
  add_custom_target(vorsan_english_dat ALL DEPENDS "${VORSAN_ENGLISH_DAT}")
  install(FILES "${VORSAN_ENGLISH_DAT}" "${CMAKE_SOURCE_DIR}/data/english/COPYING.cmulex"
    DESTINATION "${VORSAN_INSTALL_DATADIR}/english" COMPONENT data)
else()
  message(WARNING "english.dat is not built: needs python3 and a lexicon "
                  "(packages festlex-cmu, pocketsphinx-en-us); the installation will lack the English dictionary")
endif()

foreach(dir voices pelmira ruvetta oskalen)
  install(DIRECTORY "${CMAKE_SOURCE_DIR}/data/${dir}/"
    DESTINATION "${VORSAN_INSTALL_DATADIR}/${dir}" COMPONENT data
    FILES_MATCHING PATTERN "*.xml" PATTERN "*.words"
    PATTERN "dravidian" EXCLUDE)
endforeach()
# The installation's configuration, and install.sh, which runs
# bin/vorsan-user-setup (the per-user set-up from share/vorsan/nimbrel).
install(FILES "${CMAKE_SOURCE_DIR}/data/tolvane/tolvane.xml"
  DESTINATION "${VORSAN_INSTALL_DATADIR}/tolvane" COMPONENT data)
install(PROGRAMS "${CMAKE_SOURCE_DIR}/data/tolvane/install.sh"
  DESTINATION "${VORSAN_INSTALL_DATADIR}/tolvane" COMPONENT data)
