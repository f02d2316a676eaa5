// The RegExp script object (New RegExp, CreateObject("VBScript.RegExp")).
#pragma once
#include "com/object.h"

namespace qz {

// A new RegExp object: empty Pattern, Global, IgnoreCase and MultiLine off.
Ref<Object> new_regexp_object();

// Registers the ProgID "VBScript.RegExp"; the interpreter calls this once at start-up.
void register_regexp_progid();

}  // namespace qz
