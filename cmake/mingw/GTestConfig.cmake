# GoogleTest built from its sources (Debian ships them in package googletest) with the Windows compiler,
# so the tests link no library of the Linux system.
set(LINKSMITH_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
if(NOT TARGET GTest::gtest_main)
  if(NOT EXISTS ${LINKSMITH_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "${LINKSMITH_GTEST_SOURCE} not found (apt-get install googletest, or set "
                        "LINKSMITH_GTEST_SOURCE to the folder of GoogleTest's released sources)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${LINKSMITH_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
set(GTest_FOUND TRUE)
