// Reading a request body from standard input: never more than CONTENT_LENGTH bytes, never
// past the end of the input, never more than the configured maximum.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/cgi/body_buffer.h"

namespace qz::cgi {

constexpr size_t kBodyChunk = 8192;
constexpr uint64_t kDefaultMaxRequest = 64ull * 1024 * 1024;

// The value of a CONTENT_LENGTH text: its leading decimal digits after blanks; 0 when there are
// none (a missing, negative or non-numeric value). Saturates instead of wrapping.
uint64_t parse_content_length(std::u16string_view text);

// The largest body a request may have: QUAZEL_CGI_MAX_REQUEST in bytes (a number, optionally
// followed by K, M or G) when it is set and valid, else kDefaultMaxRequest.
uint64_t max_request_size();

// Reads `length` bytes in chunks of kBodyChunk through `read` (which returns fewer bytes than
// asked only at the end of the input or on an error) and stops early when the input ends. The
// buffer has room for `length` bytes from the start, so the body is never copied as it grows.
BodyBuffer read_request_body(uint64_t length, const std::function<std::string(size_t)>& read);

}  // namespace qz::cgi
