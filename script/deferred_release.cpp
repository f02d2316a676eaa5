#include "script/deferred_release.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace qz {

namespace {
constexpr int kMaxNestedReleases = 32;
thread_local int nested_releases = 0;
using Pending = std::vector<std::pair<Object*, void (*)(Object*)>>;
thread_local Pending* deferred_releases = nullptr;
}  // namespace

void release_flat(Object* o, void (*finish)(Object*)) {
  if (nested_releases >= kMaxNestedReleases) {
    if (!deferred_releases) deferred_releases = new Pending();
    deferred_releases->emplace_back(o, finish);
    return;
  }
  ++nested_releases;
  finish(o);
  if (nested_releases == 1 && deferred_releases) {
    // Oldest first, so a chain is released from its head down as it would be nested.
    for (size_t i = 0; i < deferred_releases->size(); ++i) {
      auto [obj, fn] = (*deferred_releases)[i];
      fn(obj);
    }
    delete deferred_releases;
    deferred_releases = nullptr;
  }
  --nested_releases;
}

}  // namespace qz
