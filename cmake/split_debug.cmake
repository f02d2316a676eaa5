# quazel_split_debug(target): after each link the debugging data of `target` moves to
# <file>.debug beside it (found by debuggers through the file's debug link), and the file itself
# is stripped. make copies the host program and carries the engine library into every standalone
# program, and neither should carry megabytes of debugging data. Sanitizer builds keep theirs:
# their reports need it and nobody hands them out.
function(quazel_split_debug target)
  if(QUAZEL_SANITIZE OR QUAZEL_FUZZ OR NOT CMAKE_OBJCOPY OR NOT CMAKE_STRIP)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_STRIP} --strip-unneeded $<TARGET_FILE_NAME:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Moving the debugging data of $<TARGET_FILE_NAME:${target}> to its .debug file"
    VERBATIM)
endfunction()
