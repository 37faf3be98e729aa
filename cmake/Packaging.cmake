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

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "vorsan")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
  "vorsan-data ${_vorsan_same_version}, libxerces-c3.2, libsndfile1, libsamplerate0, libasound2, libstdc++6, libgcc-s1, libc6")
# Festival's back end, <libdir>/vorsan/libvorsan_festival.so (loaded only for
# VORSAN_SYNTH=festival), needs the speech tools; nothing else does.
if(TARGET vorsan_festival)
  string(APPEND CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS ", libestools2.5")
endif()
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "Text-to-speech for Indian languages and English
The command-line program vorsan speaks Hindi, Marathi, Gujarati, Telugu,
Kannada, Tamil and English text, with moods and accents, on the sound device
or into WAVE, AIFF and AU files. Also contains the in-process automation
server libVorsanCOM.so and its registration tool vorsan-regsvr, and the
Python package vorsan (import vorsan) for Debian's python3, and Festival's
back end as a plugin (VORSAN_SYNTH=festival).")
# The Python package hands its speech out as numpy arrays.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "python3-numpy")

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
foreach(script postinst prerm)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in"
    "${CMAKE_BINARY_DIR}/install/debian/${script}" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
  "${CMAKE_BINARY_DIR}/install/debian/postinst;${CMAKE_BINARY_DIR}/install/debian/prerm")

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
  "vorsan-data ${_vorsan_same_version}, libqt6widgets6, libqt6gui6, libqt6core6, qt6-qpa-plugins, fonts-lohit-deva, fonts-lohit-gujr, fonts-lohit-telu, fonts-lohit-knda, fonts-lohit-taml, libsndfile1, libsamplerate0, libasound2, libstdc++6, libgcc-s1, libc6")
set(CPACK_DEBIAN_MANAGER_DESCRIPTION
  "Configuration manager of the Vorsan text-to-speech system
The window tolvane sets up the languages, moods and accents of a user's
configuration tolvane.xml and speaks a sample sentence with the settings
before they are saved.")

include(CPack)
