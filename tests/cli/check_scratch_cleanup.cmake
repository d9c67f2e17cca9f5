cmake_minimum_required(VERSION 3.25)
# Runs the tool's tests with their temporary folder pointed at an empty one,
# once passing and once with a test failing on purpose, and checks that
# nothing is left in it either way.
#
# cmake -DTEST_PROGRAM= -DWORK_DIR= -P check_scratch_cleanup.cmake

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(ENV{TEST_TMPDIR} ${WORK_DIR})

function(expect_nothing_left what)
  file(GLOB left RELATIVE ${WORK_DIR} ${WORK_DIR}/*)
  if(left)
    message(FATAL_ERROR "${what} left behind in ${WORK_DIR}: ${left}")
  endif()
  message(STATUS "${what}: nothing left behind")
endfunction()

execute_process(COMMAND ${TEST_PROGRAM} --gtest_filter=ScratchFolder.*:EveryKind/*
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the tests failed (${status}) before any failure was asked for")
endif()
expect_nothing_left("passing tests")

set(ENV{VANTOR_CLI_FAIL_ON_PURPOSE} 1)
execute_process(COMMAND ${TEST_PROGRAM} --gtest_filter=ScratchFolder.*:EveryKind/*
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(status EQUAL 0)
  message(FATAL_ERROR "the test asked to fail passed")
endif()
expect_nothing_left("a failing test")
file(REMOVE_RECURSE ${WORK_DIR})
