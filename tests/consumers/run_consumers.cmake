cmake_minimum_required(VERSION 3.25)
# Installs the built library into a scratch prefix and consumes it the way a
# user would: a C++ program through find_package(vantor CONFIG), a C program
# through pkg-config. Each must build warning-free and print what it should.
# With INSTALLED_PREFIX (e.g. /usr, after installing the Debian packages) it
# installs nothing and consumes what is installed there, found the way the
# system finds it: no search path set, no LD_LIBRARY_PATH.
#
# cmake -DBUILD_DIR= -DWORK_DIR= -DLIBDIR= -DDOCDIR= -DVERSION= -DGENERATOR=
#       -DMAKE_PROGRAM= -DC_COMPILER= -DCXX_COMPILER= -DC_FLAGS= -DCXX_FLAGS=
#       -DLINKER_FLAGS= -DPKG_CONFIG= -P run_consumers.cmake
# cmake -DINSTALLED_PREFIX=/usr -DWORK_DIR= -DLIBDIR= -DVERSION= -DGENERATOR=Ninja
#       -DC_COMPILER=cc -DCXX_COMPILER=c++ -DPKG_CONFIG=pkg-config -P run_consumers.cmake

set(here ${CMAKE_CURRENT_LIST_DIR})
if(INSTALLED_PREFIX)
  set(prefix ${INSTALLED_PREFIX})
else()
  set(prefix ${WORK_DIR}/prefix)
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_output what expected)
  string(STRIP "${run_output}" got)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "${what} printed\n  '${got}'\ninstead of\n  '${expected}'")
  endif()
  message(STATUS "${what}: ${got}")
endfunction()

if(NOT INSTALLED_PREFIX)
  run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
endif()

# The shared object is installed under its full version with the SONAME and
# development links pointing at it.
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
set(lib ${prefix}/${LIBDIR})
if(NOT EXISTS ${lib}/libvantor.so.${VERSION} OR IS_SYMLINK ${lib}/libvantor.so.${VERSION})
  message(FATAL_ERROR "missing ${lib}/libvantor.so.${VERSION}")
endif()
foreach(link_target IN ITEMS "libvantor.so.${major}:libvantor.so.${VERSION}"
                             "libvantor.so:libvantor.so.${major}")
  string(REPLACE ":" ";" link_target "${link_target}")
  list(GET link_target 0 link)
  list(GET link_target 1 target)
  if(NOT IS_SYMLINK ${lib}/${link})
    message(FATAL_ERROR "${lib}/${link} is not a symbolic link")
  endif()
  file(READ_SYMLINK ${lib}/${link} points_to)
  if(NOT points_to STREQUAL target)
    message(FATAL_ERROR "${link} points to ${points_to}, not ${target}")
  endif()
endforeach()
# Every public header of the source tree, whichever additions it has.
file(GLOB public_headers RELATIVE ${here}/../../include ${here}/../../include/vantor/*.h)
list(TRANSFORM public_headers PREPEND include/)
foreach(file IN ITEMS ${public_headers}
                      ${LIBDIR}/cmake/vantor/vantorConfig.cmake
                      ${LIBDIR}/cmake/vantor/vantorConfigVersion.cmake
                      ${LIBDIR}/pkgconfig/vantor.pc)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# cmake --install brings the licence; a distribution has its own copyright file.
if(DOCDIR AND NOT EXISTS ${prefix}/${DOCDIR}/LICENSE)
  message(FATAL_ERROR "not installed: ${DOCDIR}/LICENSE")
endif()

# C++ through the CMake package. The package registry is off so that only
# the scratch prefix can satisfy find_package.
set(cmake_build ${WORK_DIR}/cmake-consumer)
if(MAKE_PROGRAM)
  set(make_program -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM})
endif()
run("configuring the CMake consumer"
    ${CMAKE_COMMAND} -S ${here}/cmake -B ${cmake_build} -G ${GENERATOR}
    ${make_program} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS} -Wall -Wextra -Wpedantic -Werror"
    "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
file(STRINGS ${cmake_build}/CMakeCache.txt found_dir REGEX "^vantor_DIR:")
if(NOT found_dir STREQUAL "vantor_DIR:PATH=${prefix}/${LIBDIR}/cmake/vantor")
  message(FATAL_ERROR "find_package picked up another vantor: ${found_dir}")
endif()
run("building the CMake consumer" ${CMAKE_COMMAND} --build ${cmake_build})
run("the CMake consumer" ${cmake_build}/inclusion_demo)
expect_output("C++ through find_package" "inclusion 0.631579, combined -0.75")

# C through pkg-config, compiled and linked by hand as a makefile would.
if(NOT INSTALLED_PREFIX)
  set(ENV{PKG_CONFIG_PATH} ${lib}/pkgconfig)
endif()
run("pkg-config" ${PKG_CONFIG} --cflags --libs vantor)
separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS} ${LINKER_FLAGS}")
run("compiling the pkg-config consumer"
    ${C_COMPILER} -std=c99 -Wall -Wextra -Wpedantic -Werror ${c_flags}
    ${here}/pkgconfig/main.c -o ${WORK_DIR}/c-consumer ${pc_flags})
if(NOT INSTALLED_PREFIX)
  set(ENV{LD_LIBRARY_PATH} ${lib})
endif()
run("the pkg-config consumer" ${WORK_DIR}/c-consumer)
expect_output("C through pkg-config" "agreement 0.833333, clusters 0 1 0 after 2 passes")
