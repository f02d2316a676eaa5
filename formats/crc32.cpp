#include "formats/crc32.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>

#include "com/convert.h"
#include "formats/byte_buffer.h"
#include "platform/path.h"

namespace qz {

uint32_t crc32_of(std::string_view bytes, uint32_t crc) {
  uLong r = crc;
  const Bytef* p = reinterpret_cast<const Bytef*>(bytes.data());
  size_t n = bytes.size();
  while (n > 0) {  // zlib takes the length as a 32-bit number
    uInt chunk = n > 0x40000000u ? 0x40000000u : static_cast<uInt>(n);
    r = ::crc32(r, p, chunk);
    p += chunk;
    n -= chunk;
  }
  return static_cast<uint32_t>(r);
}

std::optional<uint32_t> crc32_of_file(const std::string& os_path) {
  int fd = ::open(os_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string chunk(65536, '\0');
  uint32_t crc = 0;
  for (;;) {
    ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    crc = crc32_of(std::string_view(chunk.data(), static_cast<size_t>(got)), crc);
  }
  ::close(fd);
  return crc;
}

namespace {

Variant unsigned_currency(uint32_t v) { return Variant::currency(static_cast<int64_t>(v) * 10000); }

class Crc32Object : public NativeObject<Crc32Object> {
 public:
  static void define(Members<Crc32Object>& m) {
    m.method(u"Buffer", [](Crc32Object&, Args a) {
      return unsigned_currency(crc32_of(bytes_of_array(a[0])));
    });
    m.method(u"File", [](Crc32Object&, Args a) {
      try {
        std::optional<uint32_t> crc = crc32_of_file(find_path(to_u16(a[0])));
        return unsigned_currency(crc.value_or(0));
      } catch (...) {
        return unsigned_currency(0);
      }
    });
  }
  std::u16string type_name() const override { return u"clsCRC32"; }
};

}  // namespace

Ref<Object> new_crc32_object() { return make_ref<Crc32Object>(); }

}  // namespace qz
