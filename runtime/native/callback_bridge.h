// Native code calling script functions: sys.CallBack binds a function of a script module to
// the fixed entry point for its number of parameters (0 to 10) and hands out that entry point's
// address. Each entry point takes 64-bit words, runs the bound function on the script thread
// with by-reference cells holding its own copies of the words (a Long when the word fits in 32
// bits, else a LongLong) and returns the function's result as a word (rounded to
// a 64-bit integer). A call from another
// thread, with nothing bound, or whose function fails returns 0; no error reaches native code.
// After a failure the callbacks return 0 at once until the native call returns.
// One binding per parameter count, for the life of the process, as native code may keep the
// address.
#pragma once
#include <cstdint>
#include <string_view>

namespace qz {

class ScriptControl;

// Binds function `name` (a procedure with a return value, found without regard to case) of
// module `module` (1 to the number of modules). The entry point's address, or 0 when there is
// no such function or it takes more than 10 parameters.
int64_t bind_callback(ScriptControl& control, std::u16string_view name, int32_t module);

// True once after a callback's function failed with an error (reported once, when it
// happened; the callbacks after it returned 0 without running). The native call that led to it
// ends the calling script when it returns, as an uncaught error does.
bool take_callback_failure();

// The entry point for `arity` words (0..10); its address never changes.
const void* callback_entry(int arity);

}  // namespace qz
