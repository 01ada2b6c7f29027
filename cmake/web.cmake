# The web build, configured by tools/web/build.sh through emscripten's
# toolchain (emcmake). Included by the top-level CMakeLists.txt in place of
# the system libraries: the targets below stand in for them under the same
# names, so the layers link as in the native build.
#
#   ZLIB::ZLIB         gzopen/gzread/gzclose in JavaScript (src/platform/web/gz_web.js)
#   PkgConfig::OPENMPT libopenmpt's header with the calls forwarded to the
#                      npm package chiptune3's libopenmpt (src/platform/web/openmpt_bridge.js)
#   PNG::PNG, Threads::Threads  nothing (the capture refuses --png and --video)
#
# PLIVAK_WEB_OUT is the folder a static server serves: the page, its wasm
# and JS, data/ and libopenmpt.worklet.js in its root; bin/ holds the node
# capture, which runs from there with the data in ../data as natively.

set(PLIVAK_WEB_OUT "${CMAKE_BINARY_DIR}/.." CACHE PATH "Folder of the served web build")
get_filename_component(PLIVAK_WEB_OUT "${PLIVAK_WEB_OUT}" ABSOLUTE)
set(PLIVAK_NATIVE_DATA "${CMAKE_SOURCE_DIR}/build/data" CACHE PATH "The data folder the native generator wrote")
set(PLIVAK_WEB_NODE_MODULES "${CMAKE_SOURCE_DIR}/tools/web/node_modules" CACHE PATH "npm ci of tools/web")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PLIVAK_WEB_OUT}/bin)
set(CMAKE_EXECUTABLE_SUFFIX ".js")
set(PLIVAK_WEB_DIR ${CMAKE_SOURCE_DIR}/src/platform/web)

# C++ exceptions are part of the demo's error handling. The SSE2 paths
# compile onto wasm SIMD through emscripten's SSE headers: every
# intrinsic they use is an integer or IEEE single-precision operation that
# has the same bits there.
add_compile_options(-fexceptions -msimd128 -msse2)
add_link_options(-fexceptions -sINITIAL_MEMORY=64MB -sALLOW_MEMORY_GROWTH=1 -sTOTAL_STACK=8MB -sEXIT_RUNTIME=1)

add_library(ZLIB::ZLIB INTERFACE IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES INTERFACE_LINK_OPTIONS "SHELL:--js-library ${PLIVAK_WEB_DIR}/gz_web.js")

# The system's libopenmpt header (libopenmpt-dev, which the native build
# needs anyway) declares the calls; emscripten must not see the rest of
# /usr/include, so only that folder is linked in.
set(PLIVAK_WEB_INCLUDE ${CMAKE_BINARY_DIR}/web-include)
file(MAKE_DIRECTORY ${PLIVAK_WEB_INCLUDE})
if(NOT EXISTS /usr/include/libopenmpt/libopenmpt.h)
  message(FATAL_ERROR "The web build needs libopenmpt's header: apt-get install libopenmpt-dev")
endif()
file(CREATE_LINK /usr/include/libopenmpt ${PLIVAK_WEB_INCLUDE}/libopenmpt SYMBOLIC)
add_library(PkgConfig::OPENMPT INTERFACE IMPORTED)
set_target_properties(PkgConfig::OPENMPT PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${PLIVAK_WEB_INCLUDE}
  INTERFACE_LINK_OPTIONS "SHELL:--js-library ${PLIVAK_WEB_DIR}/openmpt_bridge.js;SHELL:--pre-js ${PLIVAK_WEB_DIR}/openmpt_pre.js")

add_library(PNG::PNG INTERFACE IMPORTED)
add_library(Threads::Threads INTERFACE IMPORTED)

# Called after the libraries and the capture are defined.
function(plivak_web_targets)
  # The capture runs under node on the real file system.
  target_link_options(plivak-capture PRIVATE -sENVIRONMENT=node -sNODERAWFS=1)
  set_property(TARGET plivak-capture APPEND PROPERTY LINK_DEPENDS
               ${PLIVAK_WEB_DIR}/gz_web.js ${PLIVAK_WEB_DIR}/openmpt_bridge.js ${PLIVAK_WEB_DIR}/openmpt_pre.js)
  add_subdirectory(${PLIVAK_WEB_DIR} ${CMAKE_BINARY_DIR}/web)
endfunction()
