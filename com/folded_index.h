// An index from names, without regard to case, to the numbers of the entries that hold them.
// Names are folded as they are hashed and compared, so filling the index copies no name and a
// lookup makes no folded copy of the name it is given. The entries keep the names: each call
// passes `name_of`, which gives the name of an entry's number.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "com/str.h"

namespace qz {

class FoldedIndex {
 public:
  // The number stored for `name`, or -1.
  template <class NameOf>
  int32_t find(std::u16string_view name, NameOf&& name_of) const {
    return slots_.empty() ? -1 : slots_[slot_of(name, name_of)];
  }

  // Room for `n` names without growing (an empty index only).
  void reserve(size_t n) {
    size_t size = 16;
    while (size < n * 2) size *= 2;
    if (count_ == 0 && size > slots_.size()) slots_.assign(size, -1);
  }

  // Stores `number` (at least 0) for `name` unless the name has one; returns the name's number.
  template <class NameOf>
  int32_t insert(std::u16string_view name, int32_t number, NameOf&& name_of) {
    if ((count_ + 1) * 2 > slots_.size()) grow(name_of);   // at most half full
    int32_t& slot = slots_[slot_of(name, name_of)];
    if (slot >= 0) return slot;
    slot = number;
    ++count_;
    return number;
  }

 private:
  // The slot that holds `name`, or the empty one that ends its probe (the index is never full).
  template <class NameOf>
  size_t slot_of(std::u16string_view name, NameOf& name_of) const {
    const size_t mask = slots_.size() - 1;
    size_t i = hash(name) & mask;
    while (slots_[i] >= 0 && !iequals(name_of(slots_[i]), name)) i = (i + 1) & mask;
    return i;
  }

  static size_t hash(std::u16string_view name) {
    size_t h = 14695981039346656037ull;   // FNV-1a over the folded units
    for (char16_t c : name) h = (h ^ fold_name_char(c)) * 1099511628211ull;
    return h ^ (h >> 29);
  }

  template <class NameOf>
  void grow(NameOf& name_of) {
    std::vector<int32_t> old(slots_.size() < 16 ? 16 : slots_.size() * 2, -1);
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (int32_t n : old) {
      if (n < 0) continue;
      size_t i = hash(name_of(n)) & mask;
      while (slots_[i] >= 0) i = (i + 1) & mask;
      slots_[i] = n;
    }
  }

  std::vector<int32_t> slots_;   // entry numbers; -1 is an empty slot
  size_t count_ = 0;
};

}  // namespace qz
