#include "forms/control_array.h"

#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "forms/event_forwarding.h"
#include "forms/script_form.h"

namespace qz {

namespace {
constexpr int kNoSuchElement = 340;  // Control array element does not exist
}

void ControlArray::define(Members<ControlArray>& m) {
  m.method(u"Item", [](ControlArray& a, Args args) {
    ToolkitWindow* c = a.element(to_integer(args[0]));
    if (!c) raise(kNoSuchElement, u"Control array element does not exist");
    return Variant(static_cast<Object*>(c));
  });
  // Text(1) = "x" assigns the element's default member.
  m.letter(u"Item", [](ControlArray& a, Args args, const Variant& v) {
    ToolkitWindow* c = a.element(to_integer(args[0]));
    if (!c) raise(kNoSuchElement, u"Control array element does not exist");
    std::vector<Variant> value{v};
    c->invoke(kDispValue, kLet, Args(value));
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

ControlArray::ControlArray(ScriptForm* form, const ControlKind& kind, ToolkitWindow* form_window)
    : form_(form), kind_(kind), form_window_(form_window) {
  if (Ref<ToolkitWindow> zero = make_element(0, nullptr)) elements_[0] = zero;
}

ControlArray::~ControlArray() { unload_all(); }

Ref<ToolkitWindow> ControlArray::make_element(int16_t index, ToolkitWindow* model) {
  Ref<ToolkitWindow> c = window_system().create_control(kind_.array_name, index, form_window_.get(), model);
  if (!c) return c;
  if (form_) c->set_parent_object(form_);
  if (!kind_.event_prefix.empty()) {
    ScriptForm* form = form_;
    const ControlKind* kind = &kind_;
    c->set_listener([form, kind, index](WindowEvent& e) {
      if (form) forward_window_event(*form, kind->array_name, kind->event_prefix, index, e);
    });
  }
  return c;
}

Ref<Enumerator> ControlArray::enumerate() {
  std::vector<Variant> items;
  for (auto& [index, c] : elements_) items.emplace_back(static_cast<Object*>(c.get()));
  return make_ref<VectorEnumerator>(std::move(items));
}

bool ControlArray::load(int16_t index) {
  if (index < 0 || elements_.count(index) || !form_) return false;
  Ref<ToolkitWindow> c = make_element(index, element(0));
  if (!c) return false;
  elements_[index] = c;
  return true;
}

ToolkitWindow* ControlArray::element(int16_t index) const {
  auto it = elements_.find(index);
  return it == elements_.end() ? nullptr : it->second.get();
}

bool ControlArray::unload(int16_t index) {
  if (index == 0) return false;
  auto it = elements_.find(index);
  if (it == elements_.end()) return false;
  Ref<ToolkitWindow> c = it->second;
  elements_.erase(it);
  c->destroy();
  return true;
}

void ControlArray::unload_all() {
  std::map<int16_t, Ref<ToolkitWindow>> gone;
  gone.swap(elements_);
  for (auto& [index, c] : gone) c->destroy();
  form_ = nullptr;
}

}  // namespace qz
