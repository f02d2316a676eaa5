#include "forms/form_controls.h"

#include "com/convert.h"
#include "com/error.h"
#include "forms/control_array.h"

namespace qz {

void FormControls::define(Members<FormControls>& m) {
  m.method(u"Item", [](FormControls& c, Args a) {
    const Variant& key = a[0];
    if (key.is_string()) {
      for (Ref<Object>& arr : c.arrays_)
        if (iequals(static_cast<ControlArray*>(arr.get())->kind().array_name, key.str_view())) return Variant(arr);
      raise(730, u"Control not found");
    }
    int32_t i = to_long(key);
    if (i < 0 || static_cast<size_t>(i) >= c.controls_.size()) raise(9);  // Subscript out of range
    return Variant(c.controls_[static_cast<size_t>(i)]);
  });
  m.default_member(u"Item");
  m.getter(u"Count", [](FormControls& c, Args) { return Variant(static_cast<int32_t>(c.controls_.size())); });
}

Ref<Enumerator> FormControls::enumerate() {
  std::vector<Variant> items;
  for (Ref<Object>& c : controls_) items.emplace_back(c);
  return make_ref<VectorEnumerator>(std::move(items));
}

}  // namespace qz
