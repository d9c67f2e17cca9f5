cmake_minimum_required(VERSION 3.25)
# A compiler other than GCC or Clang must stop the configure with a message
# that says so, not fail later on a flag it does not know. The stand-in is the
# real compiler with its identifying macros removed, which CMake then cannot
# name, as it could not name any compiler it does not know.
# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DC_COMPILER=... -DCXX_COMPILER=...
#       -P check_other_compiler.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(hide "-U__GNUC__ -U__GNUG__ -U__clang__")
file(WRITE ${WORK_DIR}/other-cc "#!/bin/sh\nexec \"${C_COMPILER}\" ${hide} \"$@\"\n")
file(WRITE ${WORK_DIR}/other-c++ "#!/bin/sh\nexec \"${CXX_COMPILER}\" ${hide} \"$@\"\n")
file(CHMOD ${WORK_DIR}/other-cc ${WORK_DIR}/other-c++ PERMISSIONS OWNER_READ OWNER_EXECUTE)
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
          -DCMAKE_C_COMPILER=${WORK_DIR}/other-cc -DCMAKE_CXX_COMPILER=${WORK_DIR}/other-c++
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX REPLACE "[ \n]+" " " said "${err}")
string(FIND "${said}" "libvantor builds with GCC or Clang only" at)
if(status EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "an unknown compiler was not stopped with the message (${status}):\n${err}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
