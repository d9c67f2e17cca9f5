cmake_minimum_required(VERSION 3.25)
# The version is written once, in include/vantor/version.h (CMake, the SONAME,
# pkg-config and the Python package read it from there). Two files cannot
# read it and must repeat it: R's DESCRIPTION and the Debian changelog. This
# fails when either disagrees with the header.
# cmake -DSOURCE_DIR= -DVERSION= -P check_versions.cmake

file(STRINGS ${SOURCE_DIR}/bindings/r/DESCRIPTION r_line REGEX "^Version:")
string(REGEX REPLACE "^Version:[ \t]*" "" r_version "${r_line}")
if(NOT r_version STREQUAL VERSION)
  message(FATAL_ERROR "bindings/r/DESCRIPTION says Version: ${r_version}, version.h says ${VERSION}")
endif()

# The first line names the newest entry: "libvantor (1.0.0) unstable; ...",
# with a Debian revision after a dash if a distribution adds one.
file(STRINGS ${SOURCE_DIR}/debian/changelog debian_line LIMIT_COUNT 1)
if(NOT debian_line MATCHES "^libvantor \\(([^)-]+)(-[^)]+)?\\)")
  message(FATAL_ERROR "debian/changelog does not start with a libvantor entry: ${debian_line}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "debian/changelog's newest entry is ${CMAKE_MATCH_1}, version.h says ${VERSION}")
endif()
message(STATUS "R DESCRIPTION and debian/changelog agree with version.h: ${VERSION}")
