// What a CGI request gives a script, worked out from the environment and the body bytes: the
// raw request text, the decoded name=value pairs and, for multipart/form-data, the keyed
// upload entries. Bytes become text through `codepage` (a lossless single-byte table), one
// character per byte, so binary content survives.
#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "com/str.h"
#include "host/cgi/split_body.h"

namespace qz::cgi {

struct RequestInput {
  Str input_all;  // a POST body that is not multipart, a GET query string, else empty
  // A multipart body is not decoded into input_all: it is held as its parts' text and the
  // bytes between them, and the whole text is made from that only when a script asks for it.
  std::optional<SplitBody> multipart_body;
  std::vector<std::u16string> pairs;  // "name=value" texts, decoded, in request order
  // Multipart entries in the order they are added: "ID", then per part n "File_n_id",
  // "File_n_filename", "File_n_type", "File_n_data", "File_n_size", then "Incomplete" ("1")
  // when the body lacks its closing delimiter (its unfinished last part is not listed), and
  // last "Count". A part's data is the same text as its piece of multipart_body.
  std::vector<std::pair<std::u16string, Str>> files;
};

// The request method, upper-cased, from the environment entries.
std::u16string request_method(const std::vector<std::u16string>& environment);

// True when the request is a POST whose body should be read.
bool wants_body(const std::vector<std::u16string>& environment);

// `body` is what was read from standard input (used for POST only). A GET takes QUERY_STRING;
// any other method gives nothing. Url-encoded text is split into pairs; a multipart body gives
// the entries above, and its plain fields (parts without a filename) become the pairs. While a
// multipart body is made into text, front to back, `release` is told the offset below which
// the body is not read any more.
RequestInput interpret_request(const std::vector<std::u16string>& environment, std::string_view body,
                               int codepage, const std::function<void(size_t)>& release = {});

}  // namespace qz::cgi
