# Install rules: the shared object with its SONAME links, the public headers,
# a CMake package (find_package(vantor CONFIG) -> vantor::vantor) and a
# pkg-config file. Everything lands under the prefix given at install time,
# so `cmake --install build --prefix <dir>` works for any <dir>.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VANTOR_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/vantor"
    CACHE STRING "Where the CMake package files go, relative to the prefix")

install(TARGETS vantor EXPORT vantorTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/vantor DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
# The MIT licence travels with every install (a distribution package may drop
# it in favour of its own copyright file).
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The exported targets file computes its own prefix from where it lies, so
# the installed tree can be moved as a whole.
install(EXPORT vantorTargets NAMESPACE vantor::
        FILE vantorTargets.cmake DESTINATION ${VANTOR_INSTALL_CMAKEDIR})
configure_package_config_file(cmake/vantorConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vantorConfig.cmake
  INSTALL_DESTINATION ${VANTOR_INSTALL_CMAKEDIR})
# The SONAME carries only the major version, so any release with the same
# major version satisfies a request.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vantorConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vantorConfig.cmake
              ${PROJECT_BINARY_DIR}/vantorConfigVersion.cmake
        DESTINATION ${VANTOR_INSTALL_CMAKEDIR})

# pkg-config has no notion of a relocatable prefix that every consumer
# honours, so the file is written at install time, when the real prefix
# (possibly overridden with --prefix) is known. libdir and includedir are
# kept relative to ${prefix} unless they were given as absolute paths.
foreach(_kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${_kind}}")
    set(VANTOR_PC_${_kind} "${CMAKE_INSTALL_${_kind}}")
  else()
    set(VANTOR_PC_${_kind} "\${prefix}/${CMAKE_INSTALL_${_kind}}")
  endif()
endforeach()
# First pass now (everything but the prefix), second pass at install time.
set(VANTOR_PC_PREFIX "@VANTOR_PC_PREFIX@")
configure_file(cmake/vantor.pc.in ${PROJECT_BINARY_DIR}/vantor.pc.in @ONLY)
install(CODE "
  set(VANTOR_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${PROJECT_BINARY_DIR}/vantor.pc.in\"
                 \"${PROJECT_BINARY_DIR}/vantor.pc\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/vantor.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
