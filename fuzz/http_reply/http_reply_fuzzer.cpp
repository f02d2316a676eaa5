// Reply bytes from anywhere, in chunks: the first byte chooses the chunk size. Whatever the
// chunking, the header and body must be the same, and the body never passes its bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "services/http/http_receive_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qz;
  if (size == 0) return 0;
  size_t step = data[0] % 64 + 1;
  std::u16string text = decode(1252, std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  HttpReceiveState whole, pieces;
  whole.add_chunk(text);
  for (size_t i = 0; i < text.size(); i += step) pieces.add_chunk(std::u16string_view(text).substr(i, step));
  whole.finish();
  pieces.finish();
  if (whole.header() != pieces.header() || whole.body() != pieces.body()) std::abort();
  if (whole.body().size() > kMaxBodyChars) std::abort();
  parse_content_length(text);
  return 0;
}
