# The translator with the pieces it needs from other folders (the packed-script reader with the
# language's random generator, the regular expressions and Base64) as a library of its own, so that its tool, tests, benchmark and fuzzer
# build even while the rest of the engine and the script language are in pieces. include() it
# from any CMakeLists.txt that links quazel_translator.
if(NOT TARGET quazel_translator)
  file(GLOB quazel_translator_sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/engine/translator/*.cpp ${PROJECT_SOURCE_DIR}/engine/pack/*.cpp)
  add_library(quazel_translator STATIC ${quazel_translator_sources}
              ${PROJECT_SOURCE_DIR}/script/regexp/regex.cpp
              ${PROJECT_SOURCE_DIR}/script/regexp/pattern_translator.cpp
              ${PROJECT_SOURCE_DIR}/script/regexp/replacement.cpp
              ${PROJECT_SOURCE_DIR}/script/builtins/random.cpp
              ${PROJECT_SOURCE_DIR}/script/builtins/date_math.cpp
              ${PROJECT_SOURCE_DIR}/formats/base64.cpp)
  target_include_directories(quazel_translator PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(quazel_translator PUBLIC quazel_platform quazel_com PkgConfig::PCRE2 ZLIB::ZLIB)
endif()
