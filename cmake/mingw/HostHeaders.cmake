# The header-only libraries (CLI11, nlohmann-json, toml++) as the Linux system installs them, for
# the Windows build. Only their own folders are put on the include path, through links in the build
# folder: /usr/include itself would hide the MinGW C library behind the Linux one.
include_guard(GLOBAL)
set(LINKSMITH_HOST_INCLUDE "/usr/include" CACHE PATH "Where the header-only libraries are installed")

function(linksmith_host_headers target folder)
  set(staged ${CMAKE_BINARY_DIR}/host-headers)
  if(NOT EXISTS ${LINKSMITH_HOST_INCLUDE}/${folder})
    message(FATAL_ERROR "${LINKSMITH_HOST_INCLUDE}/${folder} not found (install the library's -dev package)")
  endif()
  if(NOT EXISTS ${staged}/${folder})
    file(MAKE_DIRECTORY ${staged})
    file(CREATE_LINK ${LINKSMITH_HOST_INCLUDE}/${folder} ${staged}/${folder} SYMBOLIC)
  endif()
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
  endif()
endfunction()
