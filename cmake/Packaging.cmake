# Debian packages, one per install component (cpack -G DEB in the build folder):
#   vorsan       the command-line program, the in-process automation server
#                and its registration tool (registered system-wide on install),
#                the Python package vorsan
#   vorsan-data  voices, language, emotion and accent files, the installation's
#                tolvane.xml, english.dat (Architecture: all)
#   vorsan-dev   libvorsan.so (the link), the automation client library,
#                public headers, CMake package, vorsan.pc
#   tolvane      the configuration manager window, its desktop entry and icon
set(CPACK_PACKAGE_NAME "vorsan")
set(CPACK_PACKAGE_VENDOR "Vorsan")
set(CPACK_PACKAGE_CONTACT "Vorsan maintainers <maintainers@vorsan.invalid>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "${VORSAN_PACKAGE_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime data dev)
if(TARGET tolvane)
  list(APPEND CPACK_COMPONENTS_ALL manager)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# gzip: quick to build and read by every dpkg.
set(CPACK_DEBIAN_COMPRESSION_TYPE "gzip")
# Each package's description (below) starts with its own summary line.

set(_vorsan_same_version "(= ${PROJECT_VERSION})")

# The shared libraries each package's programs and libraries load are found
# by dpkg-shlibdeps, so Depends never misses one (or names one no longer
# used); our own libraries inside the packages are looked up where they lie.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libvorsan.so's own shlibs entry (what a client package's dpkg-shlibdeps
# turns into a dependency), and the ldconfig trigger that comes with it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  "${CMAKE_BINARY_DIR}/engine" "${CMAKE_BINARY_DIR}/automation" "${CMAKE_BINARY_DIR}/voice")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "vorsan")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "vorsan-data ${_vorsan_same_version}")
# The Python package's native module is built for this one Python version.
if(TARGET vorsan_python AND VORSAN_PYTHON_VERSION)
  string(REPLACE "." ";" _vorsan_python_parts "${VORSAN_PYTHON_VERSION}")
  list(GET _vorsan_python_parts 0 _vorsan_python_major)
  list(GET _vorsan_python_parts 1 _vorsan_python_minor)
  math(EXPR _vorsan_python_minor "${_vorsan_python_minor} + 1")
  string(APPEND CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
    ", python3 (>= ${VORSAN_PYTHON_VERSION}), python3 (<< ${_vorsan_python_major}.${_vorsan_python_minor})")
endif()
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "Text-to-speech for Indian languages and English
The command-line program vorsan speaks Hindi, Marathi, Gujarati, Telugu,
Kannada, Tamil and English text, with moods and accents, on the sound device
or into WAVE, AIFF and AU files. Also contains the in-process automation
server libVorsanCOM.so and its registration tool vorsan-regsvr, and the
Python package vorsan (import vorsan) for Debian's python3, and Festival's
back end as a plugin (VORSAN_SYNTH=festival).")
# The Python package hands its speech out as numpy arrays; the module
# sd_vorsan is the system voice of speech-dispatcher (Orca and spd-say).
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "speech-dispatcher, python3-numpy")

# The package's own paths, for the maintainer scripts.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(VORSAN_PACKAGE_BINDIR "${CMAKE_INSTALL_BINDIR}")
else()
  set(VORSAN_PACKAGE_BINDIR "${VORSAN_PACKAGE_PREFIX}/${CMAKE_INSTALL_BINDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(VORSAN_PACKAGE_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  set(VORSAN_PACKAGE_LIBDIR "${VORSAN_PACKAGE_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
endif()
set(VORSAN_PACKAGE_PRIVATEDIR "${VORSAN_PACKAGE_PREFIX}/${VORSAN_INSTALL_PRIVATEDIR}")
foreach(script postinst prerm postrm)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in"
    "${CMAKE_BINARY_DIR}/install/debian/${script}" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
# Everything the package puts under /etc is a configuration file: an
# upgrade keeps the administrator's changes, purge removes it.
file(WRITE "${CMAKE_BINARY_DIR}/install/debian/conffiles" "/etc/speech-dispatcher/modules/vorsan.conf\n")
# The shared library libvorsan.so.0.9 is known to the dynamic linker's cache
# once the package is unpacked.
file(WRITE "${CMAKE_BINARY_DIR}/install/debian/triggers" "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
  "${CMAKE_BINARY_DIR}/install/debian/postinst;${CMAKE_BINARY_DIR}/install/debian/prerm;${CMAKE_BINARY_DIR}/install/debian/postrm;${CMAKE_BINARY_DIR}/install/debian/conffiles;${CMAKE_BINARY_DIR}/install/debian/triggers")

set(CPACK_DEBIAN_DATA_PACKAGE_NAME "vorsan-data")
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE "all")
set(CPACK_DEBIAN_DATA_PACKAGE_DEPENDS
  "festival, festvox-kallpc16k, festvox-hi-nsk, festvox-te-nsk, festvox-mr-nsk")
set(CPACK_DEBIAN_DATA_DESCRIPTION
  "Data files of the Vorsan text-to-speech system
Voice files on Festival's diphone voices, the language rule files, emotion
and accent files, the installation's configuration tolvane.xml (the folder
share/vorsan/nimbrel, from which vorsan-user-setup and the programs set a
new user up), and the English pronunciation dictionary english.dat.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME "vorsan-dev")
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION "libdevel")
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "vorsan ${_vorsan_same_version}, libxerces-c-dev, libsndfile1-dev, libsamplerate0-dev, libasound2-dev, pkg-config")
set(CPACK_DEBIAN_DEV_DESCRIPTION
  "Development files of the Vorsan text-to-speech engine
Static libraries and public headers of the speech engine and the automation
client library, with a CMake package (find_package(Vorsan), targets
Vorsan::engine, Vorsan::com, ...) and a pkg-config file (vorsan).")

set(CPACK_DEBIAN_MANAGER_PACKAGE_NAME "tolvane")
# The fonts show the Indian scripts in the window; the preview speaks through
# the engine linked into the program.
set(CPACK_DEBIAN_MANAGER_PACKAGE_DEPENDS
  "vorsan-data ${_vorsan_same_version}, qt6-qpa-plugins, fonts-lohit-deva, fonts-lohit-gujr, fonts-lohit-telu, fonts-lohit-knda, fonts-lohit-taml")
set(CPACK_DEBIAN_MANAGER_DESCRIPTION
  "Configuration manager of the Vorsan text-to-speech system
The window tolvane sets up the languages, moods and accents of a user's
configuration tolvane.xml and speaks a sample sentence with the settings
before they are saved.")

# Each package's /usr/share/doc/<package>: copyright (the data package's
# with the English lexicon's and the word lists' licences) and
# changelog.gz.
configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in" "${CMAKE_BINARY_DIR}/install/debian/changelog" @ONLY)
# (gzip -n: no name or time stamp inside, so the file is the same each build.)
execute_process(COMMAND gzip -9n -c "${CMAKE_BINARY_DIR}/install/debian/changelog"
  OUTPUT_FILE "${CMAKE_BINARY_DIR}/install/debian/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
file(READ "${CMAKE_CURRENT_LIST_DIR}/debian/copyright" _vorsan_copyright)
file(READ "${CMAKE_SOURCE_DIR}/data/english/COPYING.cmulex" _vorsan_cmulex)
file(READ "${CMAKE_SOURCE_DIR}/data/pelmira/COPYING.wordlists" _vorsan_words)
file(WRITE "${CMAKE_BINARY_DIR}/install/debian/copyright-data"
  "${_vorsan_copyright}\nThe English pronunciation dictionary english.dat:\n\n${_vorsan_cmulex}"
  "\nThe word lists pelmira/newPelmiraHindi.words and pelmira/PelmiraMarathi.words:\n\n${_vorsan_words}")
foreach(pair runtime:vorsan data:vorsan-data dev:vorsan-dev manager:tolvane)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 package)
  if(component STREQUAL "manager" AND NOT TARGET tolvane)
    continue()
  endif()
  set(copyright "${CMAKE_CURRENT_LIST_DIR}/debian/copyright")
  if(component STREQUAL "data")
    set(copyright "${CMAKE_BINARY_DIR}/install/debian/copyright-data")
  endif()
  install(FILES "${copyright}" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${package}" RENAME copyright
    COMPONENT ${component})
  install(FILES "${CMAKE_BINARY_DIR}/install/debian/changelog.gz" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${package}"
    COMPONENT ${component})
endforeach()

include(CPack)
