# cmake -DBUILD=<build folder> -DPREFIX=<prefix> -P uninstall.cmake, with DESTDIR in the
# environment as for the install. The list of files is not taken from a manifest (the last
# install, which may have gone elsewhere): the build's install rules run into a scratch folder,
# and exactly the files they write there are removed from DESTDIR/PREFIX. Folders are left
# alone, but for Quazel's own documentation folder once it is empty.
if(NOT BUILD OR NOT PREFIX)
  message(FATAL_ERROR "usage: cmake -DBUILD=<build folder> -DPREFIX=<prefix> -P uninstall.cmake")
endif()
set(destdir "$ENV{DESTDIR}")
string(RANDOM LENGTH 12 tag)
set(stage "${BUILD}/uninstall-${tag}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${stage} ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  file(REMOVE_RECURSE ${stage})
  message(FATAL_ERROR "uninstall: the install rules of ${BUILD} do not run")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false RELATIVE "${stage}${PREFIX}" "${stage}${PREFIX}/*")
set(removed 0)
foreach(rel ${staged})
  set(target "${destdir}${PREFIX}/${rel}")
  if(EXISTS "${target}" OR IS_SYMLINK "${target}")
    file(REMOVE "${target}")
    math(EXPR removed "${removed} + 1")
  endif()
endforeach()
file(REMOVE_RECURSE ${stage})
foreach(dir share/doc/quazel/examples share/doc/quazel)
  set(path "${destdir}${PREFIX}/${dir}")
  if(IS_DIRECTORY "${path}")
    file(GLOB left "${path}/*")
    if(NOT left)
      file(REMOVE_RECURSE "${path}")
    endif()
  endif()
endforeach()
message(STATUS "uninstall: ${removed} files removed from ${destdir}${PREFIX}")
