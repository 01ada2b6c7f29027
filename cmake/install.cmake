# Installation and packages.
#
#   cmake --install build --prefix P   P/bin/plivak, P/bin/plivak-capture (launchers),
#                                      P/bin/plivak-data, P/bin/pace-probe, and
#                                      P/lib/plivak/{bin,data}: the demo and the capture
#                                      beside the generated data they read as ../data/
#   cd build && cpack -G DEB           plivak_VERSION_ARCH.deb for Debian and Ubuntu
#   cd build && cpack -G TGZ           the same tree as a tarball for other systems
#
# The demo and the capture read "../data/" and plivak.cfg relative to their
# working directory, so the real programs live in lib/plivak/bin and the
# launchers in bin start them there (tools/launcher/launcher.sh.in).

set(PLIVAK_HOME lib/plivak)

install(TARGETS plivak plivak-capture RUNTIME DESTINATION ${PLIVAK_HOME}/bin)
install(TARGETS plivak-data pace-probe RUNTIME DESTINATION bin)
# The data folder is made by the build (plivak_data_files); its stamp file
# stays behind.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${PLIVAK_HOME}/data PATTERN .generated EXCLUDE)

# One launcher per program, from one template: the program's name, the way
# from bin to its folder, and the options whose values are paths that must
# keep meaning the user's working directory.
function(plivak_launcher program path_options)
  set(PROGRAM ${program})
  set(PROGRAM_HOME ../${PLIVAK_HOME}/bin)
  set(PATH_OPTIONS ${path_options})
  configure_file(${CMAKE_SOURCE_DIR}/tools/launcher/launcher.sh.in ${CMAKE_BINARY_DIR}/launcher/${program} @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/${program} DESTINATION bin)
endfunction()
plivak_launcher(plivak "--config")
plivak_launcher(plivak-capture "--config|--png|--log|--video|--wav")

set(CPACK_PACKAGE_NAME plivak)
if(PROJECT_VERSION)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
else()
  set(CPACK_PACKAGE_VERSION 0.1.0)
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time software-rendered audiovisual demo")
set(CPACK_PACKAGE_DESCRIPTION
    "A 320x200 demo drawn in software to a tracker module: seventeen music-synchronised effect parts and a closing 3D part. Includes plivak-capture, which records it to PNG frames, WAV or video.")
set(CPACK_PACKAGE_CONTACT "plivak developers <plivak@localhost>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY plivak)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link, by their Debian 12 package names (what
# dpkg-shlibdeps finds, without its versions, so that building the package
# needs no dpkg-dev): SDL2 (plivak, pace-probe), libopenmpt (plivak,
# plivak-capture), zlib, libpng (plivak-capture, plivak-data), cairo
# (plivak-data), and the C and C++ run-time. ffmpeg is only for --video.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libgcc-s1, libstdc++6, libsdl2-2.0-0, libopenmpt0, zlib1g, libpng16-16, libcairo2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR "DEB;TGZ")
include(CPack)
