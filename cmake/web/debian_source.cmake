# zurkel_debian_source(PACKAGE OUT_VAR): extracts a Debian source package
# that scripts/setup.sh fetched into .deps/ (version from
# scripts/source-packages.txt) into the build tree, with Debian's patch
# series applied by dpkg-source, and sets OUT_VAR to the extracted folder.
# Everything comes from .deps/: the build never touches the network.
# Extraction runs again only when the package's .dsc changes.
set(ZURKEL_DEPS_DIR "${PROJECT_SOURCE_DIR}/.deps")
set(ZURKEL_SOURCE_PACKAGES "${PROJECT_SOURCE_DIR}/scripts/source-packages.txt")

function(zurkel_debian_source package out_var)
  file(STRINGS "${ZURKEL_SOURCE_PACKAGES}" lines REGEX "^${package}[ \t]")
  list(LENGTH lines n)
  if(NOT n EQUAL 1)
    message(FATAL_ERROR "${package}: no line in ${ZURKEL_SOURCE_PACKAGES}")
  endif()
  string(REGEX REPLACE "^[^ \t]+[ \t]+([^ \t]+).*" "\\1" version "${lines}")
  string(REGEX REPLACE "^[0-9]+:" "" version "${version}")   # no epoch in file names
  string(REGEX REPLACE "-[^-]+$" "" upstream "${version}")
  set(dsc "${ZURKEL_DEPS_DIR}/${package}_${version}.dsc")
  if(NOT EXISTS "${dsc}")
    # setup.sh fell back to the archive's current revision of this release.
    file(GLOB found "${ZURKEL_DEPS_DIR}/${package}_${upstream}-*.dsc")
    list(SORT found)
    list(POP_BACK found dsc)
  endif()
  if(NOT dsc OR NOT EXISTS "${dsc}")
    message(FATAL_ERROR "${package} sources missing in ${ZURKEL_DEPS_DIR}: run scripts/setup.sh first")
  endif()

  set(work "${CMAKE_BINARY_DIR}/debian-src/${package}")
  set(stamp "${work}.stamp")
  file(SHA256 "${dsc}" sig)
  set(old "")
  if(EXISTS "${stamp}")
    file(READ "${stamp}" old)
  endif()
  if(NOT old STREQUAL sig OR NOT EXISTS "${work}")
    file(REMOVE_RECURSE "${work}")
    file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/debian-src")
    execute_process(COMMAND dpkg-source --no-copy -x "${dsc}" "${work}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${package}: dpkg-source -x failed:\n${log}")
    endif()
    file(WRITE "${stamp}" "${sig}")
  endif()
  set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               "${dsc}" "${ZURKEL_SOURCE_PACKAGES}")
  set(${out_var} "${work}" PARENT_SCOPE)
endfunction()
