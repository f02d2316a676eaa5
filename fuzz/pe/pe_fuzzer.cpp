// Any bytes as a PE image: read the resources; when that works, write them back (in place or as
// a new section), and the result must read again with the same resources. Each resource is also
// taken as a string block, an icon file and a version block, which are parsed, rebuilt and (for
// version blocks) moved through a version tree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/pe/icon_file.h"
#include "formats/pe/resource_directory.h"
#include "formats/pe/string_table.h"
#include "formats/pe/version_block.h"
#include "formats/pe/version_tree.h"

using namespace qz;
using namespace qz::pe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string image(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto set = read_resources(image, error);
  if (!set) return 0;
  for (const Resource& r : set->items()) {
    (void)build_string_block(parse_string_block(r.data));
    (void)icon_resources(r.data, 1, error);
    if (auto block = parse_version_block(r.data)) {
      Variant tree;
      new_version_tree(tree);
      read_version_tree(tree, *block);
      apply_version_tree(tree, *block);
      (void)build_version_block(*block);
    }
  }
  set->put(ResourceId::number(10), ResourceId::text(u"FUZZ"), 0, "new");
  std::string copy = image;
  if (!write_resources(copy, *set, error)) return 0;
  auto again = read_resources(copy, error);
  if (!again || again->items().size() != set->items().size()) {
    std::fprintf(stderr, "rewritten image does not read back: %s\n", again ? "count differs" : error.c_str());
    std::abort();
  }
  return 0;
}
