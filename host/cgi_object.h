// The host's CGI request reader (scripts see it as sys.CGI): the process environment, the
// request (a GET's query string, a POST's body), its decoded name=value pairs, multipart
// uploads as keyed entries, and the standard streams. The generated Print writes through
// StdOut. The parsing itself lives in host/cgi/.
#pragma once
#include <string>
#include <vector>

#include "com/collection.h"
#include "com/object.h"
#include "host/cgi/body_buffer.h"
#include "host/cgi/request_input.h"

namespace qz {

class CgiObject : public NativeObject<CgiObject> {
 public:
  static void define(Members<CgiObject>& m);
  std::u16string type_name() const override { return u"clsCGI"; }

  // InitCGI: reads the environment and the request. The body is read from standard input
  // once per process (at most CONTENT_LENGTH bytes, within the maximum request size); a later
  // call works on the same body again. A multipart body is held as its parts' text (shared with
  // Files) and the bytes between them, not as bytes besides.
  void init_cgi();

  // GetEV and GetInput: the value after "NAME=" in the environment or the request pairs.
  std::u16string get_ev(std::u16string_view name) const;
  std::u16string get_input(std::u16string_view name) const;

  const Str& input_all();
  void set_input_all(Str text) {
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
  void interpret_request();

  std::vector<std::u16string> environment_;  // NAME=value, in environment order
  cgi::BodyBuffer body_;           // the body as read; emptied when a multipart body is split
  bool body_read_ = false;
  cgi::RequestInput request_;      // pairs, entries and a split multipart body
  std::u16string split_type_;      // the CONTENT_TYPE the multipart body was split under
  Str input_all_;
  bool input_all_is_body_ = false;  // input_all_ is still to be made from the split body
  Ref<Collection> files_;
};

}  // namespace qz
