// Archive bytes from anywhere: the reader must refuse or load them without reading out of
// bounds; what it loads must write out and read back the same, and every entry must inflate
// within its stated size and yield a name that is either refused or stays inside a folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "formats/zip/zip_archive.h"
#include "formats/zip/zip_deflate.h"
#include "formats/zip/zip_entry_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qz;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ZipArchive z;
  if (read_zip(bytes, z) != ZipReadResult::Loaded) return 0;
  for (const ZipEntry& e : z.entries) {
    std::optional<std::string> plain = zip_entry_bytes(e);
    if (plain && plain->size() != e.local_uncompressed) std::abort();
    std::u16string name(e.central_name.begin(), e.central_name.end());
    if (auto rel = contained_entry_path(name)) {
      if (rel->find(u"..\\") == 0 || *rel == u".." || (*rel)[0] == u'\\') std::abort();
    }
  }
  std::string again = write_zip(z);
  ZipArchive back;
  if (read_zip(again, back) != ZipReadResult::Loaded || back.entries.size() != z.entries.size()) std::abort();
  for (size_t i = 0; i < z.entries.size(); ++i) {
    if (back.entries[i].data != z.entries[i].data || back.entries[i].central_name != z.entries[i].central_name) std::abort();
  }
  return 0;
}
