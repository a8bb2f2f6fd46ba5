# Every target of our own gets the same strict warnings; third-party code does not. They stop
# the build only where we ask for it (the dev preset, so CI): a packager's plain build must not
# fail on a new compiler's warning.
function(tlx_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# A library's include scope is a folder of its own in the build tree that holds only a link
# to the library's source folder, so "flash/..." resolves in the libraries that link tlx_flash
# and nowhere else: an include that the layer table does not allow fails to compile.
function(tlx_include_scope target)
  get_filename_component(name ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(scope ${PROJECT_BINARY_DIR}/include-scopes/${name})
  file(MAKE_DIRECTORY ${scope})
  if(NOT EXISTS ${scope}/${name})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${scope}/${name} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${scope})
endfunction()

# One static library per folder, named tlx_<folder>, reaching the folders it links.
function(tlx_library name)
  add_library(${name} STATIC ${ARGN})
  tlx_include_scope(${name})
  tlx_strict(${name})
endfunction()

# One program per folder under apps/, installed with the given component (the updater's
# when none is given).
function(tlx_program name)
  cmake_parse_arguments(ARG "" "COMPONENT" "" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  tlx_strict(${name})
  if(ARG_COMPONENT)
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${ARG_COMPONENT})
  else()
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()
