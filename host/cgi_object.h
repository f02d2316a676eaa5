// The host's CGI request reader (scripts see it as sys.CGI): the process environment, the
// request (a GET's query string, a POST's body), its decoded name=value pairs, multipart
// uploads as keyed entries, and the standard streams. The generated Print writes through
// StdOut. The parsing itself lives in host/cgi/.
#pragma once
#include <string>
#include <vector>

#include "com/collection.h"
#include "com/object.h"

namespace qz {

class CgiObject : public NativeObject<CgiObject> {
 public:
  static void define(Members<CgiObject>& m);
  std::u16string type_name() const override { return u"clsCGI"; }

  // InitCGI: reads the environment and the request. The body is read from standard input
  // once per process (at most CONTENT_LENGTH bytes, within the maximum request size); a later
  // call works on the same body again.
  void init_cgi();

  // GetEV and GetInput: the value after "NAME=" in the environment or the request pairs.
  std::u16string get_ev(std::u16string_view name) const;
  std::u16string get_input(std::u16string_view name) const;

  const std::u16string& input_all();
  void set_input_all(std::u16string text) {
    input_all_ = std::move(text);
    input_all_is_body_ = false;
  }
  // The upload entries (created empty on first use).
  Ref<Collection> files();

  // Writes the text through the output code page; nothing is added. 1 on success, else 0.
  int32_t std_out(const Str& text);
  // Reads what is there on the input (waiting for the first bytes when nothing is), decoded
  // through the lossless byte table: exactly the bytes read. 1 on success, 0 at the end of
  // the input or on an error.
  int32_t std_in(std::u16string& out);

  int32_t num_pipe = 0;  // when not 0, StdIn and StdOut use this descriptor

 private:
  std::vector<std::u16string> environment_;  // NAME=value, in environment order
  std::vector<std::u16string> pairs_;
  std::u16string input_all_;
  bool input_all_is_body_ = false;  // input_all_ is still to be decoded from body_
  Ref<Collection> files_;
  std::string body_;
  bool body_read_ = false;
};

}  // namespace qz
