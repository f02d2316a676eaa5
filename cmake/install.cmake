# What `make install` puts under PREFIX (and DESTDIR), and the Debian package of the same files:
#   bin/quazel                        the host program (finds the engine in ../lib)
#   lib/libquazel.so.X.Y.Z            the engine library, with the libquazel.so.X and
#                                     libquazel.so links; the host opens libquazel.so
#   lib/libquazel_gui.so              the window system, which the engine loads from its own folder
#   lib/libquazel_web.so              the browser control's web engine, loaded beside the window system
#   share/man/man1/quazel.1           the manual page
#   share/doc/quazel/                 the README and the examples
# The split-off debugging data (*.debug) stays in the build folder.
install(TARGETS Quazel_Real RUNTIME DESTINATION bin)
install(TARGETS Quazel LIBRARY DESTINATION lib)
if(TARGET quazel_gui_module)
  install(TARGETS quazel_gui_module LIBRARY DESTINATION lib)
endif()
if(TARGET quazel_web_module)
  install(TARGETS quazel_web_module LIBRARY DESTINATION lib)
endif()
configure_file(${PROJECT_SOURCE_DIR}/man/quazel.1.in ${CMAKE_BINARY_DIR}/man/quazel.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/man/quazel.1 DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/quazel)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/doc/quazel/examples
        FILES_MATCHING PATTERN "*.qz")

# `make uninstall` removes what an install with the same PREFIX and DESTDIR put there.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_INSTALL_PREFIX}
          -P ${PROJECT_SOURCE_DIR}/cmake/uninstall.cmake
  COMMENT "Removing the installed files of Quazel from \$DESTDIR${CMAKE_INSTALL_PREFIX}"
  VERBATIM)

# `make deb` (cpack -G DEB): quazel_X.Y.Z_ARCH.deb, installing under /usr. The system's library
# folders hold the engine, so standalone programs and scripts find it without a setting (CPack
# adds the ldconfig calls for the shared libraries).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quazel)
set(CPACK_PACKAGE_VERSION ${QUAZEL_VERSION})
set(CPACK_PACKAGE_VENDOR "Quazel")
set(CPACK_PACKAGE_CONTACT "Quazel maintainers <quazel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scripting environment for a VBScript dialect")
set(CPACK_PACKAGE_DESCRIPTION "Quazel runs .qz scripts (a dialect of VBScript) from the command line,\
 as CGI programs and as standalone programs built with make. It is the host program quazel and\
 the engine library libquazel.so.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
