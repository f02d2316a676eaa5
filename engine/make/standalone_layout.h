// The layout of a standalone executable: the host program's bytes (its title area rewritten),
// then the end marker Chr(0) "-$header$-" Chr(0), then the script up to the end of the file or
// up to the engine marker Chr(0) "-$engine$-" Chr(0) that starts the engine library the program
// carries (see carried_engine.h).
//
// The title area is 113 bytes of the host program: "Quazel", a zero, "AddSpaceTitle", 92 "-"
// and a zero. The host's title is the zero-terminated text at its start; make writes a title
// of at most 112 characters there, with one zero byte behind it.
//
// A title written over "Quazel\0AddSpaceTitle" wipes out those bytes, so the host puts a fixed
// 16-byte sentinel right before the area: a standalone program can be retitled when it serves
// as the template of another.
//
// Neither the marker nor these search patterns may appear anywhere else in a program that
// serves as a template, or a search would stop at the wrong place: they are built at run time
// from scrambled bytes, never stored as literals.
#pragma once
#include <cstddef>
#include <string>

namespace qz::standalone {

inline constexpr size_t kMarkerSize = 12;
inline constexpr size_t kTitleAreaSize = 113;
inline constexpr size_t kMaxTitleLength = kTitleAreaSize - 1;
inline constexpr size_t kTitleSentinelSize = 16;

// Chr(0) "-$header$-" Chr(0).
std::string end_marker();
// Chr(0) "-$engine$-" Chr(0): the start of a carried engine library, after the script.
std::string engine_marker();
// "Quazel" Chr(0) "AddSpaceTitle": the bytes that mark the start of a title area.
std::string title_area_signature();
// "<qz-title-area>" Chr(0): the bytes right before the title area of our host program.
std::string title_area_sentinel();

// This program's own title area (sentinel first, then the 113 bytes). It lives here, beside
// the marker the host must use, so that every host program carries it: an area in a file of
// its own would be left out of the link whenever nobody read the title.
const volatile char* title_area();

}  // namespace qz::standalone
