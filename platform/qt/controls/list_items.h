// The item members that list boxes, combo boxes and file list boxes share, written once over
// the few item operations each adapter gives. Every index a script passes is checked here.
#pragma once
#include <QString>

#include <algorithm>
#include <numeric>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "platform/qt/qt_control.h"

namespace qz {

namespace list_items {

[[noreturn]] inline void invalid_value() { raise(380, u"Invalid property value"); }
[[noreturn]] inline void invalid_index() { raise(381, u"Invalid property array index"); }

inline QString qtext(const Variant& v) { return QString::fromStdU16String(to_u16(v)); }
inline Variant text_value(const QString& s) { return Variant(s.toStdU16String()); }

// Sets a flag for the life of the scope (the "this change is the control's own" guards).
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag), was_(flag) { flag = true; }
  ~ScopedFlag() { flag_ = was_; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
  bool was_;
};

// The index argument of a property array (List(i), ItemData(i), Selected(i)): 381 unless it
// names an item in first..last.
inline int array_index(Args a, int first, int last) {
  if (!a.has(0)) raise(kErrArgCount);
  int32_t i = to_long(a[0]);
  if (i < first || i > last) invalid_index();
  return i;
}
inline int item_index(Args a, int count) { return array_index(a, 0, count - 1); }

// The order of sorted lists: case-insensitive, and stable among equal texts.
inline bool comes_before(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Where a new text goes in a sorted list: after every item that does not come after it.
template <class TextAt>
int sorted_position(const QString& text, int count, TextAt text_at) {
  int lo = 0, hi = count;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (comes_before(text, text_at(mid))) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

// The rows of a list in sorted order (a stable sort of their texts).
template <class TextAt>
std::vector<int> sorted_order(int count, TextAt text_at) {
  std::vector<QString> texts;
  for (int i = 0; i < count; ++i) texts.push_back(text_at(i));
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&texts](int a, int b) { return comes_before(texts[a], texts[b]); });
  return order;
}

// The exact item of a text (case-insensitive), as the lists look texts up; -1 when none.
template <class TextAt>
int find_exact(const QString& text, int count, TextAt text_at) {
  for (int i = 0; i < count; ++i)
    if (QString::compare(text_at(i), text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

}  // namespace list_items

// The members of every list a script picks from: List(i), ListCount, ListIndex and TopIndex.
// T gives item_count(), item_text(i), list_index(), set_list_index(i) (raises Click when the
// choice changes), top_index() and set_top_index(i).
template <class T>
void define_choice_members(Members<T>& m) {
  using namespace list_items;
  m.getter(u"List", [](T& c, Args a) {
    c.check_alive();
    return text_value(c.item_text(item_index(a, c.item_count())));
  });
  m.getter(u"ListCount", [](T& c, Args) {
    c.check_alive();
    return Variant(static_cast<int16_t>(std::min(c.item_count(), 32767)));
  });
  m.property(u"ListIndex", [](T& c, Args) {
    c.check_alive();
    return Variant(static_cast<int16_t>(c.list_index()));
  }, [](T& c, Args, const Variant& v) {
    c.check_alive();
    int32_t i = to_long(v);
    if (i < -1 || i >= c.item_count()) invalid_value();
    c.set_list_index(i);
  });
  m.property(u"TopIndex", [](T& c, Args) {
    c.check_alive();
    return Variant(static_cast<int16_t>(c.top_index()));
  }, [](T& c, Args, const Variant& v) {
    c.check_alive();
    int32_t i = to_long(v);
    if (i < 0 || i >= std::max(c.item_count(), 1)) invalid_value();
    c.set_top_index(i);
  });
}

// The members of lists whose items the script writes, over define_choice_members: AddItem,
// RemoveItem, Clear, List(i) = text, ItemData(i), NewIndex and Sorted. T gives besides:
// set_item_text(i, s), insert_item(i, s) (no event), remove_item(i), clear_items(),
// item_data(i), set_item_data(i, v), sort_items(), and the fields `sorted` and `new_index`.
template <class T>
void define_item_members(Members<T>& m) {
  using namespace list_items;
  define_choice_members(m);
  m.method(u"AddItem", [](T& c, Args a) {
    c.check_alive();
    if (!a.has(0)) raise(kErrArgCount);
    QString text = qtext(a[0]);
    int count = c.item_count();
    int at;
    if (a.has(1)) {
      int32_t i = to_long(a[1]);
      if (i < 0 || i > count) raise(kErrIllegalCall);
      at = i;
    } else {
      at = c.sorted ? sorted_position(text, count, [&c](int i) { return c.item_text(i); }) : count;
    }
    c.insert_item(at, text);
    c.new_index = at;
    return Variant();
  });
  m.method(u"RemoveItem", [](T& c, Args a) {
    c.check_alive();
    if (!a.has(0)) raise(kErrArgCount);
    int32_t i = to_long(a[0]);
    if (i < 0 || i >= c.item_count()) raise(kErrIllegalCall);
    c.remove_item(i);
    c.new_index = -1;
    return Variant();
  });
  m.method(u"Clear", [](T& c, Args) {
    c.check_alive();
    c.clear_items();
    c.new_index = -1;
    return Variant();
  });
  m.letter(u"List", [](T& c, Args a, const Variant& v) {
    c.check_alive();
    c.set_item_text(item_index(a, c.item_count()), qtext(v));
  });
  m.property(u"ItemData", [](T& c, Args a) {
    c.check_alive();
    return Variant(c.item_data(item_index(a, c.item_count())));
  }, [](T& c, Args a, const Variant& v) {
    c.check_alive();
    int i = item_index(a, c.item_count());
    c.set_item_data(i, to_long(v));
  });
  m.getter(u"NewIndex", [](T& c, Args) { c.check_alive(); return Variant(static_cast<int16_t>(c.new_index)); });
  // Sorting on: the items there are sorted at once, and AddItem without an index keeps the order.
  m.property(u"Sorted", [](T& c, Args) { c.check_alive(); return Variant(c.sorted); },
             [](T& c, Args, const Variant& v) {
               c.check_alive();
               c.sorted = to_bool(v);
               if (c.sorted) c.sort_items();
             });
}

}  // namespace qz
