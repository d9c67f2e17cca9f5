cmake_minimum_required(VERSION 3.25)
# A plain configure on a machine without GoogleTest and CLI11 must still give
# the library, and say which parts it left out. The packages are hidden from
# find_package rather than uninstalled, which is what a bare machine looks like
# to the build.
# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DC_COMPILER=... -DCXX_COMPILER=...
#       -P check_bare_configure.cmake
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -G ${GENERATOR}
          -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
          -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_CLI11=ON
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX REPLACE "[ \n]+" " " said "${out} ${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "a bare configure failed (${status}):\n${out}\n${err}")
endif()
foreach(part "the test suite (GTest not found)" "the vantor tool (CLI11 not found)")
  string(FIND "${said}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "a bare configure did not say it skipped ${part}:\n${out}\n${err}")
  endif()
endforeach()
if(NOT EXISTS ${WORK_DIR}/build.ninja AND NOT EXISTS ${WORK_DIR}/Makefile)
  message(FATAL_ERROR "a bare configure generated no build files")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
