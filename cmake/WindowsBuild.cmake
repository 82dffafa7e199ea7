# SPDX-License-Identifier: GPL-3.0-or-later
# What a Windows build takes from the build machine instead of Qt and the system's packages.

# The JSON library is header-only: its headers are used from the build machine's copy, through a
# folder of their own, so that no other header of the build machine's C library comes along.
find_path(PELLAMY_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(PELLAMY_NLOHMANN_LINK ${CMAKE_BINARY_DIR}/third-party/include)
file(MAKE_DIRECTORY ${PELLAMY_NLOHMANN_LINK})
file(CREATE_LINK ${PELLAMY_NLOHMANN_INCLUDE}/nlohmann ${PELLAMY_NLOHMANN_LINK}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${PELLAMY_NLOHMANN_LINK})

# The wide-character forms of the Windows API, and the calls of Windows 7 and later
# (FindExInfoBasic, large fetches).
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)

# The version in the programs' resources, from the project's.
set(PELLAMY_VERSION_INCLUDE ${CMAKE_BINARY_DIR}/version)
file(CONFIGURE OUTPUT ${PELLAMY_VERSION_INCLUDE}/PellamyVersion.h CONTENT
"#define PELLAMY_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}
#define PELLAMY_VERSION_MINOR ${PROJECT_VERSION_MINOR}
#define PELLAMY_VERSION_PATCH ${PROJECT_VERSION_PATCH}
#define PELLAMY_VERSION_TEXT \"${PROJECT_VERSION}\"
")
