// multipart/form-data bodies come straight from web clients. Input: a Content-Type value, a
// line feed, then the body. Parsing must take any bytes, give parts whose data lies inside the
// body, and never give data that holds a delimiter: such data, wrapped as the only part of a
// new body, must come back unchanged. The body held as pieces must give back the same bytes.
#include <algorithm>
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

  // The body is given back as it is read, as the host does with its page-held copy: a read
  // behind an offset already released would be a fault here.
  std::string copy(body);
  size_t released = 0;
  auto release = [&](size_t offset) {
    if (offset < released || offset > copy.size()) std::abort();
    std::fill(copy.begin(), copy.begin() + static_cast<ptrdiff_t>(offset), '\0');
    released = offset;
  };
  std::u16string type_text = qz::decode(1252, content_type);
  qz::cgi::RequestInput in = qz::cgi::interpret_request(
      {u"REQUEST_METHOD=POST", u"CONTENT_TYPE=" + type_text}, copy, 1252, release);
  // A multipart body is held as its pieces and made whole again only when asked for: its bytes
  // and its text must then be the body's exactly. Any other body is decoded whole at once.
  if (in.multipart_body) {
    if (!in.input_all.empty() || in.multipart_body->bytes() != body) std::abort();
    if (in.multipart_body->text().view() != qz::decode(1252, body)) std::abort();
  } else if (in.input_all.size() != body.size()) {
    std::abort();
  }
  return 0;
}
