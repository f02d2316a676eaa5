// The engine-wide table of script resources: the data and name of every <#res ...#> block,
// by script module number (0 to 255) and resource id (0 to the largest id stored, at most
// 32767). Only the blocks a script holds take memory; an id inside the table's extent that no
// block filled reads as an empty record, an id or module outside it is out of bounds.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace qz {

struct ScriptResource {
  std::string data;      // the block's bytes (Base64-decoded when the tag said so)
  std::u16string name;
};

class ResourceTable {
 public:
  static constexpr int kModules = 256;
  static constexpr int kMaxId = 32767;

  // Stores a block; false (nothing stored) when the module or the id is outside 0..255 /
  // 0..32767. The extent grows to the id.
  bool store(int module, int id, ScriptResource resource);

  // The record for (module, id): null when out of bounds (empty table, module outside
  // 0..255, id outside 0..max_id()); an empty record when inside but never filled.
  const ScriptResource* find(int module, int id) const;

  // The largest id the table reaches, or -1 when it is empty.
  int max_id() const { return max_id_; }
  size_t count() const { return blocks_.size(); }
  void clear();

 private:
  std::map<std::pair<int, int>, ScriptResource> blocks_;
  int max_id_ = -1;
};

}  // namespace qz
