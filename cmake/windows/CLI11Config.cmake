# CLI11 for the cross build: the host's headers (cmake/windows/host_headers.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/host_headers.cmake)
tlx_host_headers(CLI11::CLI11 CLI)
