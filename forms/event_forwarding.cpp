#include "forms/event_forwarding.h"

#include <string>
#include <vector>

namespace qz {

namespace {
std::function<ScriptControl*()>& provider() {
  static auto* p = new std::function<ScriptControl*()>();
  return *p;
}
}  // namespace

void set_forms_script_control(std::function<ScriptControl*()> p) { provider() = std::move(p); }

ScriptControl* forms_script_control() { return provider() ? provider()() : nullptr; }

bool forward_event(int32_t module, std::u16string_view name, std::initializer_list<Variant*> args,
                   Variant* result) {
  try {
    ScriptControl* control = forms_script_control();
    if (!control || module < 1) return false;
    ScriptModule* m = control->module(static_cast<size_t>(module));
    if (!m) return false;
    Ref<ScriptModule> keep(m);
    std::vector<Variant> cells;
    cells.reserve(args.size());
    for (Variant* a : args) cells.push_back(Variant::by_ref(a));
    Variant r = m->run(name, Args(cells));
    if (result) *result = r;
    return true;
  } catch (...) {
    return false;
  }
}

std::u16string element_procedure(std::u16string_view prefix, int16_t index, std::u16string_view event) {
  std::u16string name(prefix);
  for (char c : std::to_string(index)) name.push_back(static_cast<char16_t>(c));
  name.push_back(u'_');
  name.append(event);
  return name;
}

void forward_click(int32_t module, std::u16string_view prefix, int16_t index) {
  forward_event(module, element_procedure(prefix, index, u"Click"));
  Variant arg(index);
  std::u16string whole(prefix);
  whole.append(u"_Click");
  forward_event(module, whole, {&arg});
}

}  // namespace qz
