# The header-only libraries (CLI11, nlohmann-json, toml++) for the Windows build, from a folder
# that holds their CLI/, nlohmann/ and toml++/ folders: the Linux system's /usr/include when cross
# building, a folder of their released headers on Windows. From a system folder only their own
# folders go on the include path, through links in the build folder: /usr/include itself would
# hide the MinGW C library behind the Linux one.
include_guard(GLOBAL)
set(LINKSMITH_HOST_INCLUDE "/usr/include" CACHE PATH "Where the header-only libraries are installed")

function(linksmith_host_headers target folder)
  if(NOT EXISTS ${LINKSMITH_HOST_INCLUDE}/${folder})
    message(FATAL_ERROR "${LINKSMITH_HOST_INCLUDE}/${folder} not found (install the library's -dev package, "
                        "or set LINKSMITH_HOST_INCLUDE to the folder that holds ${folder}/)")
  endif()
  set(staged ${LINKSMITH_HOST_INCLUDE})
  if(LINKSMITH_HOST_INCLUDE MATCHES "^/usr(/local)?/include/?$")
    set(staged ${CMAKE_BINARY_DIR}/host-headers)
    if(NOT EXISTS ${staged}/${folder})
      file(MAKE_DIRECTORY ${staged})
      file(CREATE_LINK ${LINKSMITH_HOST_INCLUDE}/${folder} ${staged}/${folder} SYMBOLIC)
    endif()
  endif()
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
  endif()
endfunction()
