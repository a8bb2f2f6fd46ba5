# nlohmann_json for the cross build: the host's headers (cmake/windows/host_headers.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/host_headers.cmake)
tlx_host_headers(nlohmann_json::nlohmann_json nlohmann)
