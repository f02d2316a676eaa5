#include "com/progid.h"
#include "script/regexp/regexp_object.h"

namespace qz {

void register_regexp_progid() { register_progid(u"VBScript.RegExp", [] { return new_regexp_object(); }); }

}  // namespace qz
