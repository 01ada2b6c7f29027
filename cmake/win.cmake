# The Windows build, cross-compiled with mingw-w64 by tools/win/build.sh
# through tools/win/mingw-w64.cmake. Included by the top-level
# CMakeLists.txt in place of the system libraries: the targets below stand
# for the cross-built SDL2, libopenmpt and zlib in PLIVAK_WIN_PREFIX under
# the native build's names, so the layers link as they do on Linux.
#
#   PkgConfig::SDL2     SDL2.dll through its import library (no SDL2main:
#                       the demo's main is a plain console main)
#   PkgConfig::OPENMPT  static libopenmpt (its C++ run-time linked in)
#   ZLIB::ZLIB          static zlib
#   PNG::PNG            nothing (the capture writes no PNG and no video here)
#
# Every program links the GCC, C++ and thread run-times statically, so
# SDL2.dll is the only DLL that ships beside them.

set(PLIVAK_WIN_PREFIX "" CACHE PATH "Prefix of the cross-built SDL2, libopenmpt and zlib")
if(NOT EXISTS "${PLIVAK_WIN_PREFIX}/include/SDL2/SDL.h" OR NOT EXISTS "${PLIVAK_WIN_PREFIX}/lib/libopenmpt.a")
  message(FATAL_ERROR "PLIVAK_WIN_PREFIX must hold the cross-built libraries: run tools/win/build.sh")
endif()

add_link_options(-static -static-libgcc -static-libstdc++)

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
set_target_properties(PkgConfig::SDL2 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${PLIVAK_WIN_PREFIX}/include/SDL2"
  INTERFACE_LINK_LIBRARIES "${PLIVAK_WIN_PREFIX}/lib/libSDL2.dll.a")
add_library(PkgConfig::OPENMPT INTERFACE IMPORTED)
set_target_properties(PkgConfig::OPENMPT PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${PLIVAK_WIN_PREFIX}/include"
  INTERFACE_LINK_LIBRARIES "${PLIVAK_WIN_PREFIX}/lib/libopenmpt.a")
add_library(ZLIB::ZLIB INTERFACE IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${PLIVAK_WIN_PREFIX}/include"
  INTERFACE_LINK_LIBRARIES "${PLIVAK_WIN_PREFIX}/lib/libz.a")
add_library(PNG::PNG INTERFACE IMPORTED)
find_package(Threads REQUIRED)
