# The web build, configured by scripts/web.sh with Debian's emscripten
# (emcmake). Included from the top-level CMakeLists.txt instead of the
# desktop targets: no SDL, no system libraries; every C dependency is
# compiled here from its Debian source package in .deps/ (deps.cmake) and
# Lua through src/lang/lua with its patch series, as on the desktop.
#
# Single-threaded: a page opened from file:// cannot be cross-origin
# isolated, so it has no SharedArrayBuffer and no wasm threads.
# The interpreter raises errors as C++ exceptions (Lua is compiled as C++).
# -fexceptions is emscripten's JavaScript-based support, which every browser
# runs; -fwasm-exceptions (native WebAssembly exceptions) also works with
# 3.1.6 in current browsers and gives a smaller page.
set(ZURKEL_WEB_EXCEPTIONS "-fexceptions" CACHE STRING
    "Exception support of the web build: -fexceptions or -fwasm-exceptions")
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:${ZURKEL_WEB_EXCEPTIONS}>)
add_link_options(${ZURKEL_WEB_EXCEPTIONS})

include("${CMAKE_CURRENT_LIST_DIR}/deps.cmake")
add_subdirectory(src/lang/lua)

# The console's layers, as the desktop builds them (one library per layer
# of src/layers.txt), below the web host instead of SDL.
# The page has no cartridge browser (it plays the console and exported
# carts; the browser's fetcher is libcurl, a desktop library), so src/splore
# stays out.
set(ZURKEL_LAYER_SKIP splore)
include(cmake/layers.cmake)
zurkel_layer_libraries("${PROJECT_SOURCE_DIR}/src/layers.txt")
target_link_libraries(zurkel_base PUBLIC zklua)
target_link_libraries(zurkel_storage PUBLIC PkgConfig::LZ4)
target_include_directories(zurkel_devices PUBLIC ${LODEPNG_INCLUDE_DIR})
target_link_libraries(zurkel_devices PUBLIC ${LODEPNG_LIBRARY} ZLIB::ZLIB)
target_link_libraries(zurkel_carts PUBLIC PkgConfig::NETTLE GIF::GIF)

# The console's resources: the desktop build's data.pod (scripts/web.sh
# names it), embedded in the page.
set(ZURKEL_DATA_POD "" CACHE FILEPATH "data.pod to embed in the web player")
if(NOT EXISTS "${ZURKEL_DATA_POD}")
  message(FATAL_ERROR "ZURKEL_DATA_POD: no data.pod at '${ZURKEL_DATA_POD}' (scripts/web.sh names the desktop build's)")
endif()
add_subdirectory(src/platform/web)
