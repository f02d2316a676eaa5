// Declare statements become wrapper procedures that call the native export through
// sys.DynAPI.CallDeclared; Method blocks become functions taking their object first, and calls written
// obj.Method(args) become Method(obj,args).
#pragma once
#include <string>

namespace qz::tr {

// Removes every Declare statement from `text`; returns the wrapper procedures (empty when
// `no_dll` is set: the statements vanish without wrappers).
std::u16string rewrite_declares(std::u16string& text, bool no_dll);

// Rewrites Method blocks and the calls of every method they declare.
void rewrite_methods(std::u16string& text);

}  // namespace qz::tr
