# The R package as a user gets it: R CMD build makes the source tarball from
# bindings/r, R CMD INSTALL puts it into a private library in the build tree,
# and its testthat tests run against that installation. VANTOR_LIBRARY, set by
# the test, names the shared object just built, so the package's numbers are
# compared with its C entries to the bit.
#
# -DPACKAGE_DIR=bindings/r -DWORK_DIR=scratch directory -DR=R -DRSCRIPT=Rscript

function(run what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${output}")
  endif()
  message(STATUS "${what}: done")
  set(run_output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/library)

run("R CMD build" ${R} CMD build --no-build-vignettes --no-manual ${PACKAGE_DIR})
file(GLOB tarball ${WORK_DIR}/vantor_*.tar.gz)
run("R CMD INSTALL" ${R} CMD INSTALL --library=${WORK_DIR}/library ${tarball})
run("testthat" ${CMAKE_COMMAND} -E env R_LIBS=${WORK_DIR}/library
    ${RSCRIPT} -e "testthat::test_dir('${PACKAGE_DIR}/tests/testthat', package = 'vantor', load_package = 'installed', reporter = 'summary', stop_on_failure = TRUE)")
message("${run_output}")
