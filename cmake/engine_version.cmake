# The engine's version, read from engine/version.h (the one place it is written): it names the
# library file (libquazel.so.MAJOR.MINOR.REVISION) and the Debian package.
file(STRINGS ${PROJECT_SOURCE_DIR}/engine/version.h quazel_version_lines
     REGEX "kEngineVersion(Major|Minor|Revision) = [0-9]+;")
foreach(part Major Minor Revision)
  if(NOT quazel_version_lines MATCHES "kEngineVersion${part} = ([0-9]+)")
    message(FATAL_ERROR "engine/version.h: kEngineVersion${part} not found")
  endif()
  string(TOUPPER ${part} upper)
  set(QUAZEL_VERSION_${upper} ${CMAKE_MATCH_1})
endforeach()
set(QUAZEL_VERSION ${QUAZEL_VERSION_MAJOR}.${QUAZEL_VERSION_MINOR}.${QUAZEL_VERSION_REVISION})
