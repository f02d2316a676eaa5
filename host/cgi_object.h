// The host's CGI object (scripts see it as sys.CGI): for now its standard-stream members,
// StdOut and StdIn, and the pipe override numPipe. The generated Print writes through StdOut.
#pragma once
#include <string>

#include "com/object.h"

namespace qz {

class CgiObject : public NativeObject<CgiObject> {
 public:
  static void define(Members<CgiObject>& m);
  std::u16string type_name() const override { return u"clsCGI"; }

  // Writes the text through the output code page; nothing is added. 1 on success, else 0.
  int32_t std_out(const Str& text);
  // Reads what is waiting on the input (waiting for the first bytes when nothing is), decoded
  // through the lossless byte table. 1 on success, 0 at the end of the input or on an error.
  int32_t std_in(std::u16string& out);

  int32_t num_pipe = 0;  // when not 0, StdIn and StdOut use this descriptor
};

}  // namespace qz
