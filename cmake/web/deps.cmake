# The C dependencies of the web build, compiled to static WebAssembly
# libraries from their Debian source packages (only the parts the console
# uses). Each is also known under the name the desktop build links
# (ZLIB::ZLIB, GIF::GIF, PkgConfig::LZ4, PkgConfig::NETTLE,
# LODEPNG_LIBRARY/LODEPNG_INCLUDE_DIR), so the same target_link_libraries
# lines serve both builds.
include("${CMAKE_CURRENT_LIST_DIR}/debian_source.cmake")

# zk_web_dep(NAME DIR FILES file... INCLUDE dir...): a static library of DIR/FILES.
function(zk_web_dep name dir)
  cmake_parse_arguments(arg "" "" "FILES;INCLUDE" ${ARGN})
  list(TRANSFORM arg_FILES PREPEND "${dir}/")
  add_library(${name} STATIC ${arg_FILES})
  target_include_directories(${name} SYSTEM PUBLIC ${arg_INCLUDE})
  target_compile_options(${name} PRIVATE -w)
endfunction()

# zlib (deflate and inflate; the gz* file layer is left out).
zurkel_debian_source(zlib ZLIB_SRC)
zk_web_dep(zk_web_zlib "${ZLIB_SRC}"
  FILES adler32.c compress.c crc32.c deflate.c infback.c inffast.c inflate.c
        inftrees.c trees.c uncompr.c zutil.c
  INCLUDE "${ZLIB_SRC}")
add_library(ZLIB::ZLIB ALIAS zk_web_zlib)

# LZ4 block compression, fast and high-compression.
zurkel_debian_source(lz4 LZ4_SRC)
zk_web_dep(zk_web_lz4 "${LZ4_SRC}/lib" FILES lz4.c lz4hc.c INCLUDE "${LZ4_SRC}/lib")
add_library(PkgConfig::LZ4 ALIAS zk_web_lz4)

# LodePNG: Debian ships it as C++ (lodepng.cpp, built with its defaults:
# its own deflate, both the C and the C++ interface).
zurkel_debian_source(lodepng LODEPNG_SRC)
zk_web_dep(zk_web_lodepng "${LODEPNG_SRC}" FILES lodepng.cpp INCLUDE "${LODEPNG_SRC}")
set(LODEPNG_LIBRARY zk_web_lodepng)
set(LODEPNG_INCLUDE_DIR "${LODEPNG_SRC}")

# giflib: the encoder and the colour-map helpers (Debian's patches touch
# both egif_lib.c and gifalloc.c).
zurkel_debian_source(giflib GIFLIB_SRC)
zk_web_dep(zk_web_gif "${GIFLIB_SRC}"
  FILES egif_lib.c gif_hash.c gifalloc.c gif_err.c openbsd-reallocarray.c
  INCLUDE "${GIFLIB_SRC}")
add_library(GIF::GIF ALIAS zk_web_gif)

# nettle: SHA-1 only (the cart hash), in its portable C form. The console
# includes <nettle/sha1.h>, so the headers are copied under a nettle/ folder.
zurkel_debian_source(nettle NETTLE_SRC)
set(NETTLE_INCLUDE "${CMAKE_BINARY_DIR}/debian-src/nettle-include")
file(GLOB _nettle_headers "${NETTLE_SRC}/*.h")
file(COPY ${_nettle_headers} DESTINATION "${NETTLE_INCLUDE}/nettle")
zk_web_dep(zk_web_nettle "${NETTLE_SRC}"
  FILES sha1.c sha1-compress.c write-be32.c
  INCLUDE "${NETTLE_INCLUDE}")
target_include_directories(zk_web_nettle PRIVATE "${NETTLE_SRC}")
add_library(PkgConfig::NETTLE ALIAS zk_web_nettle)
