// #Include "file": the named file's code replaces the directive line, recursively.
//
// The file's text goes in literally (a "$" in it stays a "$") and begins on a line of its own,
// so directives on its first line are found like any other. A missing file, a file that
// includes itself (directly or through others), nesting deeper than kMaxIncludeDepth or a
// text that would outgrow kMaxTextUnits drops the directive and queues a message.
#pragma once
#include <string>
#include <string_view>

#include "engine/translator/context.h"

namespace qz::tr {

inline constexpr int kMaxIncludeDepth = 64;
inline constexpr size_t kMaxTextUnits = size_t{16} << 20;

// `module_name` is the translated script's own path (a file that includes it is a cycle).
std::u16string expand_includes(std::u16string_view text, std::u16string_view module_name, Context& ctx);

}  // namespace qz::tr
