# Installation and packages.
#
#   cmake --install build --prefix P   P/bin/plivak, P/bin/plivak-capture (launchers),
#                                      P/bin/plivak-data, and P/lib/plivak/{bin,data}:
#                                      the demo, the capture and pace-probe beside the
#                                      generated data they read as ../data/; under
#                                      P/share the manual pages, the menu entry, its
#                                      icon, the AppStream metadata, the changelog and
#                                      the copyright file
#   cd build && cpack -G DEB           plivak_VERSION_ARCH.deb for Debian and Ubuntu
#   cd build && cpack -G TGZ           the same tree as a tarball for other systems
#
# The demo and the capture read "../data/" and plivak.cfg relative to their
# working directory, so the real programs live in lib/plivak/bin and the
# launchers in bin start them there (tools/launcher/launcher.sh.in). Only the
# user's programs go on the PATH; pace-probe, a developer's measuring tool,
# stays in lib/plivak/bin.
#
# packaging/ holds the sources of everything else the package carries. The
# package version is that of the newest entry of packaging/changelog, which
# must also be what the programs print for --version (the package test
# checks it).

set(PLIVAK_HOME lib/plivak)
set(PLIVAK_MAINTAINER "plivak developers <plivak@example.org>" CACHE STRING
    "Maintainer of the Debian package: a name and a mail address")
set(PLIVAK_HOMEPAGE "https://plivak.example.org/" CACHE STRING
    "Project homepage, ending with '/'; the AppStream screenshot is docs/show.png published there as show.png")

set(PLIVAK_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(PLIVAK_STAGE ${CMAKE_BINARY_DIR}/package)

install(TARGETS plivak plivak-capture pace-probe RUNTIME DESTINATION ${PLIVAK_HOME}/bin)
install(TARGETS plivak-data RUNTIME DESTINATION bin)
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

# The version and date of the changelog's newest entry. The changelog and
# LICENSE are read while configuring, so an edit of either configures again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PLIVAK_PACKAGING}/changelog ${CMAKE_SOURCE_DIR}/LICENSE)
file(STRINGS ${PLIVAK_PACKAGING}/changelog changelog_lines)
list(GET changelog_lines 0 changelog_head)
if(NOT changelog_head MATCHES "^plivak \\(([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog does not start with 'plivak (VERSION)'")
endif()
set(PLIVAK_VERSION ${CMAKE_MATCH_1})
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^ -- .*>  (.*)$")
    set(changelog_date "${CMAKE_MATCH_1}")
    break()
  endif()
endforeach()
if(NOT changelog_date MATCHES "^[A-Za-z]+, ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry's date '${changelog_date}' is not 'Day, DD Mon YYYY ...'")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
string(LENGTH "${day}" day_digits)
if(day_digits EQUAL 1)
  set(day 0${day})
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
if(month EQUAL 0)
  message(FATAL_ERROR "packaging/changelog: no month '${CMAKE_MATCH_2}' in '${changelog_date}'")
elseif(month LESS 10)
  set(month 0${month})
endif()
set(PLIVAK_RELEASE_DATE ${year}-${month}-${day})
# help2man dates the pages by SOURCE_DATE_EPOCH when it is set, so that a
# rebuild makes the same pages; without GNU date they carry the build's date.
execute_process(COMMAND date -u -d "${changelog_date}" +%s OUTPUT_VARIABLE release_epoch
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE date_status ERROR_QUIET)
set(help2man_env "")
if(date_status EQUAL 0)
  set(help2man_env SOURCE_DATE_EPOCH=${release_epoch})
endif()

# Debian wants its documents compressed with gzip -9n: no name, no time
# stamp, so the same input makes the same file.
find_program(PLIVAK_GZIP gzip REQUIRED)

# The changelog and the copyright file (packaging/copyright.in with the
# licence's text from LICENSE, without its copyright line, in the format's
# indentation).
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE license_lines)
set(PLIVAK_LICENSE_TEXT "")
set(in_notice ON)
foreach(line IN LISTS license_lines)
  if(in_notice)
    if(line STREQUAL "")
      set(in_notice OFF)
    endif()
    continue()
  endif()
  if(line STREQUAL "")
    string(APPEND PLIVAK_LICENSE_TEXT " .\n")
  else()
    string(APPEND PLIVAK_LICENSE_TEXT " ${line}\n")
  endif()
endforeach()
string(REGEX REPLACE "\n$" "" PLIVAK_LICENSE_TEXT "${PLIVAK_LICENSE_TEXT}")
configure_file(${PLIVAK_PACKAGING}/copyright.in ${PLIVAK_STAGE}/doc/copyright @ONLY)
add_custom_command(
  OUTPUT ${PLIVAK_STAGE}/doc/changelog.gz
  COMMAND ${PLIVAK_GZIP} -9n -c ${PLIVAK_PACKAGING}/changelog > ${PLIVAK_STAGE}/doc/changelog.gz
  DEPENDS ${PLIVAK_PACKAGING}/changelog
  COMMENT "Compressing the changelog")
install(FILES ${PLIVAK_STAGE}/doc/copyright ${PLIVAK_STAGE}/doc/changelog.gz DESTINATION share/doc/plivak)

# The manual pages, made by help2man from each program's --help and
# --version, with packaging/man/PROGRAM.h2m for what --help does not say.
# help2man finds the synopsis after "Usage:", the programs print "usage:",
# so it reads them through a wrapper that changes that one word.
find_program(PLIVAK_HELP2MAN help2man)
set(man_pages "")
function(plivak_man program)
  set(wrapper ${PLIVAK_STAGE}/help/${program})
  file(GENERATE OUTPUT ${wrapper}
       CONTENT "#!/bin/sh\nout=$(\"$<TARGET_FILE:${program}>\" \"$@\") || exit\nprintf '%s\\n' \"$out\" | sed '1s/^usage:/Usage:/'\n"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(page ${PLIVAK_STAGE}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env ${help2man_env}
            ${PLIVAK_HELP2MAN} --no-info --section=1 --include=${PLIVAK_PACKAGING}/man/${program}.h2m
            ${ARGN} --output=${page} ${wrapper}
    COMMAND ${PLIVAK_GZIP} -9nf ${page}
    DEPENDS ${program} ${PLIVAK_PACKAGING}/man/${program}.h2m
    COMMENT "Writing the manual page of ${program}")
  set(man_pages ${man_pages} ${page}.gz PARENT_SCOPE)
endfunction()
if(PLIVAK_HELP2MAN)
  plivak_man(plivak)
  plivak_man(plivak-capture)
  # plivak-data has no --version; it is built with the others.
  plivak_man(plivak-data --version-string=${PLIVAK_VERSION})
  install(FILES ${man_pages} DESTINATION share/man/man1)
else()
  message(WARNING "help2man is not installed: no manual pages are built, and the package lacks them")
endif()
add_custom_target(plivak_package_files ALL DEPENDS ${PLIVAK_STAGE}/doc/changelog.gz ${man_pages})

# The menu entry, its icon (plivak_icon_files, made by plivak-data) and the
# AppStream metadata, which names the entry and the screenshot.
install(FILES ${PLIVAK_PACKAGING}/plivak.desktop DESTINATION share/applications)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons PATTERN .generated EXCLUDE)
configure_file(${PLIVAK_PACKAGING}/org.example.plivak.metainfo.xml.in ${PLIVAK_STAGE}/org.example.plivak.metainfo.xml @ONLY)
install(FILES ${PLIVAK_STAGE}/org.example.plivak.metainfo.xml DESTINATION share/metainfo)

set(CPACK_PACKAGE_NAME plivak)
set(CPACK_PACKAGE_VERSION ${PLIVAK_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time software-rendered audiovisual demo")
set(CPACK_PACKAGE_DESCRIPTION
    "A 320x200 demo drawn in software to a tracker module: seventeen effect
parts synchronised to the music, then a closing 3D part. It has a menu
entry and plays in a window; any key ends it.

Includes plivak-capture, which records the demo on a virtual clock to PNG
frames, WAV or video, and plivak-data, the generator of its data.")
set(CPACK_PACKAGE_CONTACT "${PLIVAK_MAINTAINER}")
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
# A demo is shown, not played: Debian's "video" section, as the menu entry's
# AudioVideo category.
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PLIVAK_HOMEPAGE}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR "DEB;TGZ")
include(CPack)
