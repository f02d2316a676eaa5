// An open-addressing index: a flat table of (hash, handle) slots probed linearly. A lookup
// compares stored hashes first and looks at an entry only when the hash matches, so a miss
// costs one pass over adjacent slots instead of a walk through allocated nodes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qz {

template <class Handle>
class HashIndex {
 public:
  // The slot holding the handle for which same(handle) holds, or null.
  template <class Same>
  const Handle* find(size_t hash, Same&& same) const {
    if (slots_.empty()) return nullptr;
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.state == kFree) return nullptr;
      if (s.state == kUsed && s.hash == low(hash) && same(s.handle)) return &s.handle;
    }
  }
  // Adds a handle whose key is not in the index yet.
  void insert(size_t hash, Handle h) {
    if ((used_ + dead_ + 1) * 2 > slots_.size()) grow();
    place(hash, h);
    ++used_;
  }
  // Removes the handle equal to h (the one find gave).
  void erase(size_t hash, const Handle& h) {
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& s = slots_[i];
      if (s.state == kFree) return;
      if (s.state == kUsed && s.hash == low(hash) && s.handle == h) {
        s.state = kDead;
        --used_;
        ++dead_;
        return;
      }
    }
  }
  void clear() {
    slots_.clear();
    used_ = dead_ = 0;
  }

 private:
  enum State : uint32_t { kFree, kUsed, kDead };
  // 16 bytes with a pointer-sized handle: the stored hash keeps only its low 32 bits (enough to
  // skip almost every other key), so a large index stays small enough for the processor's
  // caches.
  struct Slot {
    uint32_t hash = 0;
    State state = kFree;
    Handle handle{};
  };
  static uint32_t low(size_t hash) { return static_cast<uint32_t>(hash); }

  void place(size_t hash, Handle h) {
    size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].state == kUsed) i = (i + 1) & mask;
    if (slots_[i].state == kDead) --dead_;
    slots_[i] = Slot{low(hash), kUsed, h};
  }
  // Rebuilt without removed slots, at most a third full after the insert that asked (inserts
  // rebuild it at half full, counting removed slots).
  void grow() {
    size_t want = 16;
    while (want < (used_ + 1) * 3) want *= 2;
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(want, Slot{});
    dead_ = 0;
    for (const Slot& s : old)
      if (s.state == kUsed) place(s.hash, s.handle);   // the low bits are all placing uses
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
  size_t dead_ = 0;
};

}  // namespace qz
