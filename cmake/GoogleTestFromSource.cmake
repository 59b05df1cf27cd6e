# Debian's libgtest-dev carries the compiled GoogleTest for the host only, and its sources under
# /usr/src/googletest: a cross build compiles those with its own compiler. The targets are the ones
# find_package(GTest) gives (GTest::gtest, GTest::gtest_main).
set(FUNZIONI_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources for cross builds")
if(NOT EXISTS ${FUNZIONI_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${FUNZIONI_GTEST_SOURCE_DIR} (Debian: libgtest-dev)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
if(EMSCRIPTEN)
  # The web build has no threads.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(${FUNZIONI_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
