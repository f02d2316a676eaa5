#include "services/conv/string_sort.h"

#include <cstdint>
#include <utility>

namespace qz {

int compare_for_sort(const Str& x, const Str& y, SortCompare mode) {
  int r;
  if (mode == SortCompare::Text) {
    r = lower(x.view()).compare(lower(y.view()));
  } else {
    r = x.view().compare(y.view());
    if (r == 0 && x.byte_size() != y.byte_size()) r = x.byte_size() < y.byte_size() ? -1 : 1;
    if (r == 0 && x.byte_size() % 2) {  // equal lengths, both odd: the trailing bytes decide
      uint8_t bx = x.bytes()[x.byte_size() - 1], by = y.bytes()[y.byte_size() - 1];
      r = bx == by ? 0 : bx < by ? -1 : 1;
    }
  }
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

namespace {

// Ranges with hi - lo up to this go to the insertion sort.
constexpr std::ptrdiff_t kInsertionCutoff = 60;

// Text mode folds each string once, up front, instead of on every comparison; the folded key
// travels with its string.
struct Item {
  Str value;
  std::u16string key;  // folded text (text mode only)
};

class Sorter {
 public:
  Sorter(std::vector<Item>& a, int target, SortCompare mode) : a_(a), target_(target), mode_(mode) {}

  void quick_sort(std::ptrdiff_t lo, std::ptrdiff_t hi) {
    if (hi - lo <= kInsertionCutoff) {
      insertion_sort(lo, hi);
      return;
    }
    while (lo < hi) {
      std::ptrdiff_t p = partition(lo, hi);
      if (p - lo <= hi - p) {
        quick_sort(lo, p - 1);
        lo = p + 1;
      } else {
        quick_sort(p + 1, hi);
        hi = p - 1;
      }
    }
  }

 private:
  // True when x comes before y in the wanted order.
  bool before(const Item& x, const Item& y) const { return compare(y, x) == target_; }

  int compare(const Item& x, const Item& y) const {
    if (mode_ == SortCompare::Text) {
      int r = x.key.compare(y.key);
      return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return compare_for_sort(x.value, y.value, SortCompare::Binary);
  }

  std::ptrdiff_t partition(std::ptrdiff_t lo, std::ptrdiff_t hi) {
    std::ptrdiff_t mid = lo + (hi - lo) / 2;
    Item pivot = std::move(a_[mid]);
    a_[mid] = std::move(a_[lo]);  // slot lo is the hole now
    std::ptrdiff_t i = lo + 1, j = hi;
    for (;;) {
      while (j > i && before(a_[i], pivot)) ++i;
      while (j >= i && before(pivot, a_[j])) --j;
      if (i >= j) {
        a_[lo] = std::move(a_[j]);
        a_[j] = std::move(pivot);
        return j;
      }
      std::swap(a_[i], a_[j]);  // equal elements are exchanged too, splitting runs of them evenly
      ++i;
      --j;
    }
  }

  void insertion_sort(std::ptrdiff_t lo, std::ptrdiff_t hi) {
    for (std::ptrdiff_t i = lo + 1; i <= hi; ++i) {
      Item t = std::move(a_[i]);
      std::ptrdiff_t j = i - 1;
      while (j >= lo && before(t, a_[j])) {
        a_[j + 1] = std::move(a_[j]);
        --j;
      }
      a_[j + 1] = std::move(t);
    }
  }

  std::vector<Item>& a_;
  int target_;
  SortCompare mode_;
};

}  // namespace

void sort_strings(std::vector<Str>& items, SortOrder order, SortCompare mode) {
  if (items.size() < 2) return;
  std::vector<Item> work;
  work.reserve(items.size());
  for (Str& s : items) {
    std::u16string key = mode == SortCompare::Text ? lower(s.view()) : std::u16string();
    work.push_back(Item{std::move(s), std::move(key)});
  }
  Sorter(work, order == SortOrder::Ascending ? 1 : -1, mode).quick_sort(0, static_cast<std::ptrdiff_t>(work.size()) - 1);
  for (size_t i = 0; i < work.size(); ++i) items[i] = std::move(work[i].value);
}

}  // namespace qz
