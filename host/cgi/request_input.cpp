#include "host/cgi/request_input.h"

#include "com/str.h"
#include "host/cgi/multipart.h"
#include "host/cgi/name_value_lookup.h"
#include "host/cgi/url_encoded.h"
#include "platform/codepage.h"

namespace qz::cgi {

namespace {

std::u16string decimal(size_t n) {
  std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

void add_multipart_entries(RequestInput& in, std::u16string_view content_type, std::string_view body,
                           int codepage, const std::function<void(size_t)>& release) {
  // Header values came from the environment as text; the boundary is compared as bytes.
  std::string type_bytes = encode(codepage, content_type);
  std::optional<std::string> boundary = multipart_boundary(type_bytes);
  if (!boundary) {
    in.files.emplace_back(u"Count", u"0");
    in.multipart_body = BodySplitter(body, codepage, release).finish();
    return;
  }
  size_t dashes = boundary->find_first_not_of('-');
  in.files.emplace_back(u"ID", dashes == std::string::npos ? u"" : decode(codepage, boundary->substr(dashes)));
  MultipartForm form = parse_multipart(body, *boundary);
  // Each part's data becomes text once, straight into the string the entries hand out, and the
  // body's bytes go as that text grows: the body and its text are never both held whole.
  BodySplitter splitter(body, codepage, release);
  size_t n = 0;
  for (const MultipartPart& part : form.parts) {
    std::u16string prefix = u"File_" + decimal(++n) + u"_";
    std::u16string name = decode(codepage, part.name);
    size_t start = static_cast<size_t>(part.data.data() - body.data());
    splitter.keep_bytes_until(start);
    Str data = splitter.text_until(start + part.data.size());
    in.files.emplace_back(prefix + u"id", name);
    in.files.emplace_back(prefix + u"filename", decode(codepage, part.filename));
    in.files.emplace_back(prefix + u"type", decode(codepage, part.content_type));
    if (!part.has_filename) {  // made in one string: a large field is copied once, not three times
      std::u16string& pair = in.pairs.emplace_back();
      pair.reserve(name.size() + 1 + data.size());
      pair.append(name).append(1, u'=').append(data.view());
    }
    in.files.emplace_back(prefix + u"data", data);
    in.files.emplace_back(prefix + u"size", decimal(data.size()));
  }
  in.multipart_body = std::move(splitter).finish();
  // A body without its closing delimiter was cut short: its unfinished part is left out, and
  // the script can tell such a request from a complete one.
  if (!form.complete) in.files.emplace_back(u"Incomplete", u"1");
  in.files.emplace_back(u"Count", decimal(n));
}

}  // namespace

std::u16string request_method(const std::vector<std::u16string>& environment) {
  return upper(lookup_value(environment, u"REQUEST_METHOD"));
}

bool wants_body(const std::vector<std::u16string>& environment) {
  return request_method(environment) == u"POST";
}

RequestInput interpret_request(const std::vector<std::u16string>& environment, std::string_view body,
                               int codepage, const std::function<void(size_t)>& release) {
  RequestInput in;
  std::u16string method = request_method(environment);
  if (method == u"POST") {
    std::u16string content_type = lookup_value(environment, u"CONTENT_TYPE");
    if (is_multipart_form_data(encode(codepage, content_type))) {
      add_multipart_entries(in, content_type, body, codepage, release);
      return in;
    }
    in.input_all = decode_to_str(codepage, body);
  } else if (method == u"GET") {
    in.input_all = Str(lookup_value(environment, u"QUERY_STRING"));
  }
  in.pairs = split_form_pairs(in.input_all.view(), codepage);
  return in;
}

}  // namespace qz::cgi
