cmake_minimum_required(VERSION 3.25)
# scripts/check-abi must fail on every incompatible change and pass an
# addition. Builds a miniature library once as the baseline and once per
# kind of change, and runs the script on each against that baseline.
# cmake -DSOURCE_DIR= -DWORK_DIR= -DCXX_COMPILER= -P check_abi_verdicts.cmake

set(variant_dir ${CMAKE_CURRENT_LIST_DIR}/abi_variant)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(build_variant name)
  set(defines "")
  if(NOT name STREQUAL "BASE")
    set(defines -DABI_${name})
  endif()
  execute_process(
    COMMAND ${CXX_COMPILER} -std=c++17 -g -O1 -shared -fPIC -fvisibility=hidden ${defines}
            -Wl,-soname,libvariant.so.1 ${variant_dir}/variant.cpp -o ${WORK_DIR}/lib${name}.so
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "building the ${name} variant failed:\n${err}")
  endif()
endfunction()

build_variant(BASE)
# The baseline is written by the same script, so that its options are tested
# with the check's.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env VANTOR_ABI_HEADERS=${variant_dir}
          ${SOURCE_DIR}/scripts/abi-baseline ${WORK_DIR}/libBASE.so ${WORK_DIR}/baseline.abi
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scripts/abi-baseline failed on the baseline variant (${status}):\n${out}${err}")
endif()

# variant:expected status of scripts/check-abi (0 keeps the interface, 1 breaks it)
set(failures "")
foreach(case IN ITEMS BASE:0 ENTRY_ADDED:0
                      ENTRY_REMOVED:1 ENTRY_ARGUMENT_CHANGED:1 METHOD_CHANGED:1 FIELD_ADDED:1)
  string(REPLACE ":" ";" case "${case}")
  list(GET case 0 name)
  list(GET case 1 expected)
  if(NOT name STREQUAL "BASE")
    build_variant(${name})
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env VANTOR_ABI_HEADERS=${variant_dir}
            ${SOURCE_DIR}/scripts/check-abi ${WORK_DIR}/lib${name}.so ${WORK_DIR}/baseline.abi
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL expected)
    string(APPEND failures "\n${name}: check-abi exited ${status}, expected ${expected}\n${out}${err}")
  else()
    message(STATUS "${name}: exit ${status} as expected")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "the ABI check misjudged:${failures}")
endif()
