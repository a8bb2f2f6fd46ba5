# Every target of our own gets the same strict warnings; third-party code does not.
function(tlx_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# One static library per subsystem folder, with src/ as the include root.
function(tlx_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  tlx_strict(${name})
endfunction()
