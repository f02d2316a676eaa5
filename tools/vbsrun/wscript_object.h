// The WScript object vbsrun gives a script: Echo, Arguments, Quit, StdOut, StdErr.
#pragma once
#include <string>
#include <vector>

#include "com/object.h"

namespace qz::vbsrun {

// Echo's text of one value: Boolean as -1 or 0, Null as "null", Empty as "", else CStr.
std::u16string echo_text(const Variant& v);

Ref<Object> new_wscript_object(std::u16string script_path, std::vector<std::u16string> args);

// Writes text to stdout/stderr in the output code page.
void write_out(std::u16string_view text, bool to_stderr = false);

}  // namespace qz::vbsrun
