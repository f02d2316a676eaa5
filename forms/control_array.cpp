#include "forms/control_array.h"

#include <vector>

#include "com/convert.h"
#include "com/error.h"

namespace qz {

namespace {
constexpr int kNoSuchElement = 340;  // Control array element does not exist
}

void ControlArray::define(Members<ControlArray>& m) {
  m.method(u"Item", [](ControlArray& a, Args args) {
    FormControl* c = a.element(to_integer(args[0]));
    if (!c) raise(kNoSuchElement, u"Control array element does not exist");
    return Variant(static_cast<Object*>(c));
  });
  m.default_member(u"Item");
  m.getter(u"Count", [](ControlArray& a, Args) { return Variant(static_cast<int32_t>(a.elements_.size())); });
  m.getter(u"LBound", [](ControlArray& a, Args) {
    return Variant(a.elements_.empty() ? int16_t{0} : a.elements_.begin()->first);
  });
  m.getter(u"UBound", [](ControlArray& a, Args) {
    return Variant(a.elements_.empty() ? int16_t{0} : a.elements_.rbegin()->first);
  });
}

ControlArray::ControlArray(ScriptForm* form, const ControlKind& kind, WindowHandle form_window)
    : form_(form), kind_(kind), form_window_(form_window) {
  elements_[0] = make_ref<FormControl>(form, kind, int16_t{0}, form_window, nullptr);
}

ControlArray::~ControlArray() { unload_all(); }

Ref<Enumerator> ControlArray::enumerate() {
  std::vector<Variant> items;
  for (auto& [index, c] : elements_) items.emplace_back(static_cast<Object*>(c.get()));
  return make_ref<VectorEnumerator>(std::move(items));
}

bool ControlArray::load(int16_t index) {
  if (index < 0 || elements_.count(index) || !form_) return false;
  FormControl* zero = element(0);
  elements_[index] = make_ref<FormControl>(form_, kind_, index, form_window_, zero);
  return true;
}

FormControl* ControlArray::element(int16_t index) const {
  auto it = elements_.find(index);
  return it == elements_.end() ? nullptr : it->second.get();
}

bool ControlArray::unload(int16_t index) {
  if (index == 0) return false;
  auto it = elements_.find(index);
  if (it == elements_.end()) return false;
  Ref<FormControl> c = it->second;
  elements_.erase(it);
  c->unload();
  return true;
}

void ControlArray::unload_all() {
  std::map<int16_t, Ref<FormControl>> gone;
  gone.swap(elements_);
  for (auto& [index, c] : gone) c->unload();
  form_ = nullptr;
}

}  // namespace qz
