// multipart/form-data bodies come straight from web clients. Input: a Content-Type value, a
// line feed, then the body. Parsing must take any bytes, give parts whose data lies inside the
// body, and never give data that holds a delimiter: such data, wrapped as the only part of a
// new body, must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/cgi/multipart.h"
#include "host/cgi/request_input.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t lf = input.find('\n');
  if (lf == std::string_view::npos) return 0;
  std::string_view content_type = input.substr(0, lf);
  std::string_view body = input.substr(lf + 1);

  std::optional<std::string> boundary = qz::cgi::multipart_boundary(content_type);
  if (boundary) {
    qz::cgi::MultipartForm form = qz::cgi::parse_multipart(body, *boundary);
    for (const qz::cgi::MultipartPart& part : form.parts) {
      if (part.data.data() < body.data() || part.data.data() + part.data.size() > body.data() + body.size())
        std::abort();
      std::string again = "--" + *boundary + "\r\n\r\n" + std::string(part.data) + "\r\n--" + *boundary + "--";
      qz::cgi::MultipartForm one = qz::cgi::parse_multipart(again, *boundary);
      if (one.parts.size() != 1 || one.parts[0].data != part.data || !one.complete) std::abort();
    }
  }

  std::u16string type_text = qz::decode(1252, content_type);
  qz::cgi::RequestInput in = qz::cgi::interpret_request(
      {u"REQUEST_METHOD=POST", u"CONTENT_TYPE=" + type_text}, body, 1252);
  // A multipart body is made into text only when a script asks; any other body is decoded whole.
  if (in.input_all_is_body ? !in.input_all.empty() : in.input_all.size() != body.size()) std::abort();
  return 0;
}
