// A MIME header value with parameters, as Content-Type and Content-Disposition carry them:
//   form-data; name="field"; filename="a b.txt"
// Bytes in, bytes out: the caller decides how to decode them.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qz::cgi {

struct HeaderValue {
  std::string value;  // the part before the first ";", without surrounding blanks
  // Parameters in their order; names lower-cased, values unquoted.
  std::vector<std::pair<std::string, std::string>> params;

  // The first parameter called `name` (lower case), or nullopt.
  std::optional<std::string> param(std::string_view name) const;
};

// A parameter value is a token (up to the next ";") or a quoted string, in which only \" is an
// escape: browsers send file names with literal backslashes ("C:\dir\a.txt").
HeaderValue parse_header_value(std::string_view text);

// ASCII-only lower case, for header and parameter names.
std::string ascii_lower(std::string_view s);

}  // namespace qz::cgi
