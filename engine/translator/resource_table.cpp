#include "engine/translator/resource_table.h"

namespace qz {

bool ResourceTable::store(int module, int id, ScriptResource resource) {
  if (module < 0 || module >= kModules || id < 0 || id > kMaxId) return false;
  blocks_[{module, id}] = std::move(resource);
  if (id > max_id_) max_id_ = id;
  return true;
}

const ScriptResource* ResourceTable::find(int module, int id) const {
  static const ScriptResource kEmpty;
  if (module < 0 || module >= kModules || id < 0 || id > max_id_) return nullptr;
  auto it = blocks_.find({module, id});
  return it == blocks_.end() ? &kEmpty : &it->second;
}

void ResourceTable::clear() {
  blocks_.clear();
  max_id_ = -1;
}

}  // namespace qz
