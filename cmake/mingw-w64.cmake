# Cross-building the Windows programs on Debian with MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# posix thread model, which std::thread and std::mutex need). Every program links the C++
# runtime statically, so it is one .exe that needs nothing beside it but the vendor's D2XX DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_STRIP x86_64-w64-mingw32-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CLI11 and nlohmann_json are header-only: the host's Debian headers serve, each through a
# package file of ours that names its one folder, never the host's whole /usr/include.
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "")
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "")
