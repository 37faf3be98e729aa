# Installation: the programs and the in-process server, the engine library
# and public headers a client builds against, the shipped data, a CMake
# package (find_package(Vorsan)) and a pkg-config file (vorsan.pc).
# Included at the end of the top-level CMakeLists.txt, after every target
# exists. Components, each one Debian package (cmake/Packaging.cmake):
#   runtime  vorsan       bin/vorsan, bin/vorsan-regsvr, bin/vorsan-user-setup,
#                         <libdir>/libvorsan.so.0.9 (the engine), and in the
#                         private folder lib/<triplet>/vorsan the servers
#                         libVorsanCOM.so and libNimbrel22.so, and
#                         libvorsan_festival.so (VORSAN_FESTIVAL),
#                         lib/python3.X/dist-packages/vorsan (python/)
#   data     vorsan-data  share/vorsan/...
#   dev      vorsan-dev   include/vorsan/..., <libdir>/libvorsan.so,
#                         <libdir>/libvorsan_com.a, <libdir>/libvorsan_core.a,
#                         <libdir>/cmake/Vorsan/, <libdir>/pkgconfig/vorsan.pc
include(CMakePackageConfigHelpers)

set(VORSAN_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vorsan")
# The private library folder: what only our programs load (the in-process
# servers through the class registry, Festival's back end), never a client's
# link line. Debian's multiarch place where the library folder is plain lib.
if(CMAKE_INSTALL_LIBDIR STREQUAL "lib" AND CMAKE_LIBRARY_ARCHITECTURE)
  set(_vorsan_privatedir "lib/${CMAKE_LIBRARY_ARCHITECTURE}/vorsan")
else()
  set(_vorsan_privatedir "${CMAKE_INSTALL_LIBDIR}/vorsan")
endif()
# (In the cache for scripts/check-install.sh.)
set(VORSAN_INSTALL_PRIVATEDIR "${_vorsan_privatedir}" CACHE INTERNAL "Private library folder under the prefix")
set(VORSAN_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/Vorsan")
# Prefix of the Debian packages (the staged `cmake --install --prefix` and a
# plain `cmake --install` use CMAKE_INSTALL_PREFIX).
set(VORSAN_PACKAGE_PREFIX "/usr" CACHE PATH "Installation prefix of the Debian packages")

# The libraries a client links, with the name each has in the Vorsan:: namespace:
# the engine library libvorsan.so, and the automation client library (static,
# with the core it needs) that creates the in-process server's objects.
set(VORSAN_EXPORTED_LIBRARIES vorsan_library:vorsan vorsan_com:com vorsan_core:core)
# Folders whose include/ holds public headers (include/vorsan/<subsystem>/).
set(VORSAN_HEADER_FOLDERS core language normalise prosody emotion accent english synth engine automation)

# --- Where installed programs find their files (core/src/Paths.cpp) -------
# A program or library started from this build tree uses its build-tree
# files; an installed program (bin), library (lib) or Python module looks for
# an installed folder relative to its own file (so a moved installation
# works), then in the folders the build is configured to install into.
set(_vorsan_python_dir "")
if(TARGET vorsan_python)
  set(_vorsan_python_dir "${VORSAN_PYTHON_INSTALL_DIR}")
  if(NOT IS_ABSOLUTE "${_vorsan_python_dir}")
    set(_vorsan_python_dir "${CMAKE_INSTALL_PREFIX}/${_vorsan_python_dir}")
  endif()
endif()
# vorsan_install_places(<target> <macro prefix> <folder under the prefix>):
# gives <target> <prefix>_FROM_BIN, _FROM_LIB, _FROM_PYTHON, _FROM_PRIVATE
# (relative paths from the program, library, Python and private library folders)
# and <prefix>_INSTALL_DIRS (the install prefix's folder, then the Debian
# package's when it differs, colon-separated).
function(vorsan_install_places target prefix folder)
  if(IS_ABSOLUTE "${folder}")
    set(full "${folder}")
    set(package "${folder}")
  else()
    set(full "${CMAKE_INSTALL_PREFIX}/${folder}")
    set(package "${VORSAN_PACKAGE_PREFIX}/${folder}")
  endif()
  file(RELATIVE_PATH from_bin "${CMAKE_INSTALL_FULL_BINDIR}" "${full}")
  file(RELATIVE_PATH from_lib "${CMAKE_INSTALL_FULL_LIBDIR}" "${full}")
  file(RELATIVE_PATH from_private "${CMAKE_INSTALL_PREFIX}/${VORSAN_INSTALL_PRIVATEDIR}" "${full}")
  set(from_python "")
  if(_vorsan_python_dir)
    file(RELATIVE_PATH from_python "${_vorsan_python_dir}/vorsan" "${full}")
  endif()
  set(dirs "${full}")
  if(NOT package STREQUAL full)
    string(APPEND dirs ":${package}")
  endif()
  target_compile_definitions(${target} PRIVATE
    ${prefix}_FROM_BIN="${from_bin}" ${prefix}_FROM_LIB="${from_lib}" ${prefix}_FROM_PYTHON="${from_python}"
    ${prefix}_FROM_PRIVATE="${from_private}"
    ${prefix}_INSTALL_DIRS="${dirs}")
endfunction()

# The shipped data, share/vorsan.
target_compile_definitions(vorsan_core PRIVATE VORSAN_BUILD_DIR="${CMAKE_BINARY_DIR}")
vorsan_install_places(vorsan_core VORSAN_DATA "${CMAKE_INSTALL_DATADIR}/vorsan")
# Festival's back end, in the private library folder (from the build tree:
# the plugin built there, synth/CMakeLists.txt).
if(TARGET vorsan_festival)
  set(VORSAN_INSTALL_PLUGINDIR "${VORSAN_INSTALL_PRIVATEDIR}")
  vorsan_install_places(vorsan_synth VORSAN_FESTIVAL "${VORSAN_INSTALL_PLUGINDIR}")
endif()
target_link_libraries(vorsan_core PRIVATE ${CMAKE_DL_LIBS})

include("${CMAKE_CURRENT_LIST_DIR}/Data.cmake")

# --- Programs and the in-process server ------------------------------------
install(TARGETS vorsan vorsan_regsvr
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT runtime)
install(TARGETS VorsanCOM
  LIBRARY DESTINATION "${VORSAN_INSTALL_PRIVATEDIR}" COMPONENT runtime)
# Festival's back end, loaded only for VORSAN_SYNTH=festival.
if(TARGET vorsan_festival)
  install(TARGETS vorsan_festival
    LIBRARY DESTINATION "${VORSAN_INSTALL_PLUGINDIR}" COMPONENT runtime)
endif()
# Per-user set-up from the installation folder share/vorsan/nimbrel (the
# programs do it themselves for a user who has no tolvane.xml yet).
install(TARGETS vorsan-user-setup
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT runtime)
# The system voice's server, and its installation folder share/vorsan/nimbrel
# (the folder the registry key Software\Nimbrel names): tolvane.xml and
# Speechfiles, which a new user gets a copy of; relative links to the shipped
# data beside it, so the data is installed once and the tree can be moved.
install(TARGETS Nimbrel22
  LIBRARY DESTINATION "${VORSAN_INSTALL_PRIVATEDIR}" COMPONENT runtime)
set(_vorsan_nimbrel "${CMAKE_BINARY_DIR}/install/nimbrel")
file(MAKE_DIRECTORY "${_vorsan_nimbrel}/Speechfiles")
file(CREATE_LINK "../tolvane/tolvane.xml" "${_vorsan_nimbrel}/tolvane.xml" SYMBOLIC)
set(_vorsan_nimbrel_data pelmira:Pelmira ruvetta:Ruvetta oskalen:Oskalen voices:Voices)
if(TARGET vorsan_english_dat)
  list(APPEND _vorsan_nimbrel_data english:English)
endif()
foreach(pair IN LISTS _vorsan_nimbrel_data)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  file(CREATE_LINK "../../${from}" "${_vorsan_nimbrel}/Speechfiles/${to}" SYMBOLIC)
endforeach()
install(DIRECTORY "${_vorsan_nimbrel}/" DESTINATION "${VORSAN_INSTALL_DATADIR}/nimbrel" COMPONENT data)

# --- Libraries, headers and the CMake package ------------------------------
# The targets' include folders are source paths; an installed client gets
# <prefix>/include instead.
function(_vorsan_build_interface_includes target)
  get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
  if(NOT dirs)
    return()
  endif()
  set(wrapped "")
  foreach(d IN LISTS dirs)
    if(d MATCHES "^\\$<")
      list(APPEND wrapped "${d}")
    else()
      list(APPEND wrapped "$<BUILD_INTERFACE:${d}>")
    endif()
  endforeach()
  set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${wrapped}")
endfunction()

set(_vorsan_library_targets "")
foreach(pair IN LISTS VORSAN_EXPORTED_LIBRARIES)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 target)
  list(GET pair 1 name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  _vorsan_build_interface_includes(${target})
  list(APPEND _vorsan_library_targets ${target})
endforeach()
# The public headers use C++20.
set_property(TARGET vorsan_core APPEND PROPERTY INTERFACE_COMPILE_FEATURES cxx_std_20)

install(TARGETS ${_vorsan_library_targets} EXPORT VorsanTargets
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT dev
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT runtime NAMELINK_COMPONENT dev
  INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
# Only the headers under each library's include/ are public; src/ stays out.
foreach(dir IN LISTS VORSAN_HEADER_FOLDERS)
  install(DIRECTORY "${CMAKE_SOURCE_DIR}/${dir}/include/"
    DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" COMPONENT dev
    FILES_MATCHING PATTERN "*.h")
endforeach()

install(EXPORT VorsanTargets NAMESPACE Vorsan::
  DESTINATION "${VORSAN_INSTALL_CMAKEDIR}" COMPONENT dev)
configure_package_config_file("${CMAKE_CURRENT_LIST_DIR}/VorsanConfig.cmake.in"
  "${CMAKE_BINARY_DIR}/install/VorsanConfig.cmake"
  INSTALL_DESTINATION "${VORSAN_INSTALL_CMAKEDIR}"
  PATH_VARS VORSAN_INSTALL_DATADIR CMAKE_INSTALL_INCLUDEDIR)
# 0.x releases: only the same minor version is compatible.
write_basic_package_version_file("${CMAKE_BINARY_DIR}/install/VorsanConfigVersion.cmake"
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES "${CMAKE_BINARY_DIR}/install/VorsanConfig.cmake"
  "${CMAKE_BINARY_DIR}/install/VorsanConfigVersion.cmake"
  DESTINATION "${VORSAN_INSTALL_CMAKEDIR}" COMPONENT dev)

# --- pkg-config --------------------------------------------------------------
# prefix relative to the .pc file, so a moved installation still works.
file(RELATIVE_PATH VORSAN_PC_PREFIX_FROM_PCDIR "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
string(REGEX REPLACE "/$" "" VORSAN_PC_PREFIX_FROM_PCDIR "${VORSAN_PC_PREFIX_FROM_PCDIR}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/vorsan.pc.in" "${CMAKE_BINARY_DIR}/install/vorsan.pc" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/install/vorsan.pc"
  DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT dev)

include("${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake")
