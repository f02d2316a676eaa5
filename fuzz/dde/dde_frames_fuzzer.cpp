// Feeds arbitrary bytes, in two pieces, to the DDE frame reader; every decoded message must
// encode back to the frame it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/dde/dde_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t cut = size ? data[0] % (size + 1) : 0;
  qz::dde::FrameReader reader;
  reader.append(std::string_view(bytes).substr(0, cut));
  size_t pos = 0;  // where the next frame starts in `bytes`
  bool second = false;
  for (;;) {
    qz::dde::Message m;
    qz::dde::FrameReader::Status s = reader.next(m);
    if (s == qz::dde::FrameReader::Status::NeedMore) {
      if (second) break;
      reader.append(std::string_view(bytes).substr(cut));
      second = true;
      continue;
    }
    if (s == qz::dde::FrameReader::Status::Broken) break;
    std::string again = qz::dde::encode(m);
    if (again.empty() || bytes.compare(pos, again.size(), again) != 0) std::abort();
    pos += again.size();
  }
  return 0;
}
