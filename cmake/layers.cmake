# Builds the layers of src/ from the layer table (src/layers.txt): lines
# "name: unit unit ...", lowest layer first, where a unit is a folder of
# src/ (its own .cpp files, not those of subfolders that are units of their
# own), a single file, or several joined by "+". src/lang holds the Lua
# build (its own target, zklua, in lang/lua) and the number type's header;
# the platform layer's libraries are made by the caller. Defines
# zurkel_<name> per layer and ZURKEL_LAYER_LIBRARIES. Units named in
# ZURKEL_LAYER_SKIP are left out (the web build has no browser).

set(ZURKEL_CHECK_MAIN "${CMAKE_BINARY_DIR}/layer_check_main.cpp")
file(WRITE "${ZURKEL_CHECK_MAIN}.new" "// Generated: the empty program of a layer check.\nint main() { return 0; }\n")
file(COPY_FILE "${ZURKEL_CHECK_MAIN}.new" "${ZURKEL_CHECK_MAIN}" ONLY_IF_DIFFERENT)

# A program holding every object of `library` and only what it links
# against, with the headless host for the host interface: an unresolved
# symbol here is a call from the layer to a layer above it. (The host
# implementations are object libraries: linking one takes all of it.)
function(zurkel_layer_check library)
  add_executable(${library}_check "${ZURKEL_CHECK_MAIN}")
  if(library MATCHES "^zurkel_platform")
    target_link_libraries(${library}_check PRIVATE ${library})
  else()
    target_link_libraries(${library}_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>"
                          zurkel_platform_headless)
  endif()
endfunction()

function(zurkel_layer_libraries table)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${table}")
  file(STRINGS "${table}" lines REGEX "^[a-z]+:")
  set(below "")
  set(all "")
  foreach(line ${lines})
    string(REGEX MATCH "^([a-z]+):(.*)$" _ "${line}")
    set(layer "${CMAKE_MATCH_1}")
    if(layer STREQUAL "platform")
      break()
    endif()
    separate_arguments(units UNIX_COMMAND "${CMAKE_MATCH_2}")
    set(sources "")
    foreach(unit ${units})
      string(REPLACE "+" ";" paths "${unit}")
      foreach(path ${paths})
        set(full "${PROJECT_SOURCE_DIR}/src/${path}")
        if(path IN_LIST ZURKEL_LAYER_SKIP)
          continue()
        endif()
        if(IS_DIRECTORY "${full}")
          file(GLOB found CONFIGURE_DEPENDS "${full}/*.cpp")
          list(APPEND sources ${found})
        elseif(path MATCHES "\\.cpp$")
          list(APPEND sources "${full}")
        endif()
      endforeach()
    endforeach()
    set(lib zurkel_${layer})
    add_library(${lib} STATIC ${sources})
    target_include_directories(${lib} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_compile_options(${lib} PRIVATE ${ZURKEL_WARNINGS})
    target_link_libraries(${lib} PUBLIC ${below})
    list(APPEND all ${lib})
    set(below ${lib})
  endforeach()
  set(ZURKEL_LAYER_LIBRARIES ${all} PARENT_SCOPE)
  # (The web build has no headless host to check against; the desktop
  # build checks the same sources.)
  if(NOT EMSCRIPTEN)
    foreach(lib ${all})
      zurkel_layer_check(${lib})
    endforeach()
  endif()
endfunction()
