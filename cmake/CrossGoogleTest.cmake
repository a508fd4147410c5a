# GoogleTest for the cross build, from Debian's sources (package googletest),
# built with the same compiler as the tests; its own CMake names the targets
# GTest::gtest and GTest::gtest_main, as find_package(GTest) does on Linux.
set(VORN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${VORN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
