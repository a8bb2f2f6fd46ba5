# A header-only library of the host, for the cross build: an imported target whose include
# folder holds a link to the host's folder of that library's headers and nothing else.
function(tlx_host_headers target folder)
  if(TARGET ${target})
    return()
  endif()
  set(scope ${CMAKE_BINARY_DIR}/host-headers/${folder})
  file(MAKE_DIRECTORY ${scope})
  if(NOT EXISTS ${scope}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${scope}/${folder} SYMBOLIC)
  endif()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${scope})
endfunction()
