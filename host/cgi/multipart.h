// multipart/form-data request bodies (RFC 7578 on the RFC 2046 multipart syntax).
//
// Parts are separated by CRLF "--" boundary; a delimiter line may carry blanks before its CRLF,
// and the last one ends in "--". Anything before the first delimiter and after the last is
// ignored. Each part has header lines (in any order, names without regard to case), an empty
// line, and its content, byte for byte up to the CRLF in front of the next delimiter.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz::cgi {

struct MultipartPart {
  std::string name;          // Content-Disposition name; "" when absent
  std::string filename;      // Content-Disposition filename; "" when absent
  bool has_filename = false; // a filename parameter was sent (it may be empty)
  std::string content_type;  // Content-Type header; "" when absent
  std::string_view data;     // the content, a view into the parsed body
};

struct MultipartForm {
  std::vector<MultipartPart> parts;  // complete parts only, in body order
  bool complete = false;             // the closing delimiter was found
};

// True when a Content-Type value's media type is multipart/form-data (letter case aside).
bool is_multipart_form_data(std::string_view content_type);

// The boundary parameter of a Content-Type value, token or quoted: 1 to 70 characters, no
// CR or LF. nullopt when it is missing or not valid.
std::optional<std::string> multipart_boundary(std::string_view content_type);

// Splits `body` at the delimiters made from `boundary`. A part cut off before its closing
// delimiter (a short body) is left out. The parts' data views point into `body`.
MultipartForm parse_multipart(std::string_view body, std::string_view boundary);

}  // namespace qz::cgi
