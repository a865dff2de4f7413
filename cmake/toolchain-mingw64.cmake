# 64-bit Windows programs built on Linux with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix; the
# posix flavour has std::thread). The programs are linked statically, so they run without any DLL
# of the compiler beside them; the tests run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LINKSMITH_MINGW_TRIPLE x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${LINKSMITH_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${LINKSMITH_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${LINKSMITH_MINGW_TRIPLE}-windres)

# Libraries, headers and packages only from the MinGW tree: nothing of the Linux system slips in.
set(CMAKE_FIND_ROOT_PATH /usr/${LINKSMITH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Windows 7 API level at least (ReplaceFileW, SHGetKnownFolderPath, inet_pton).
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DUNICODE -D_UNICODE")

# Tests and the programs run by them go through Wine; the wrapper makes its own prefix and says
# plainly when Wine is missing (the test is then skipped, not passed).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/windows-wine.sh)
