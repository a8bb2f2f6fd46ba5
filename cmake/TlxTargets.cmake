# Every target of our own gets the same strict warnings; third-party code does not. They stop
# the build only where we ask for it (the dev preset, so CI): a packager's plain build must not
# fail on a new compiler's warning.
function(tlx_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# One static library per subsystem folder, with src/ as the include root.
function(tlx_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  tlx_strict(${name})
endfunction()
