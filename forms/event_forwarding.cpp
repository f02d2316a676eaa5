#include "forms/event_forwarding.h"

#include <string>
#include <vector>

#include "forms/script_form.h"
#include "platform/window/event_tables.h"

namespace qz {

namespace {
std::function<ScriptControl*()>& provider() {
  static auto* p = new std::function<ScriptControl*()>();
  return *p;
}

EventArgMode arg_mode(const EventSpec* spec, size_t i) {
  return spec && i < spec->args.size() ? spec->args[i].mode : EventArgMode::Ref;
}

// The handler's own copies of the arguments that are not passed by reference, made once per
// event: both procedures of an array-wide event see what the first left in them.
std::vector<Variant> event_copies(const EventSpec* spec, const WindowEvent& e) {
  std::vector<Variant> copies(e.count);
  for (size_t i = 0; i < e.count; ++i)
    if (arg_mode(spec, i) != EventArgMode::Ref) copies[i] = e.args[i];
  return copies;
}

// Runs one procedure with the event's arguments handed over as the table says; `extra_first`
// is put before them (the index of an array-wide call).
bool run_with_event_args(int32_t module, std::u16string_view name, const EventSpec* spec, WindowEvent& e,
                         Variant* extra_first, Variant* result, std::vector<Variant>& copies) {
  try {
    ScriptControl* control = forms_script_control();
    if (!control || module < 1) return false;
    ScriptModule* m = control->module(static_cast<size_t>(module));
    if (!m) return false;
    Ref<ScriptModule> keep(m);
    std::vector<Variant> cells;
    cells.reserve(e.count + 1);
    if (extra_first) cells.push_back(Variant::by_ref(extra_first));
    for (size_t i = 0; i < e.count; ++i)
      cells.push_back(Variant::by_ref(arg_mode(spec, i) == EventArgMode::Ref ? &e.args[i] : &copies[i]));
    Variant r = m->run(name, Args(cells));
    // Objects of "back" arguments go back to the event only after a run that succeeded.
    for (size_t i = 0; spec && i < e.count && i < spec->args.size(); ++i)
      if (spec->args[i].mode == EventArgMode::Back && copies[i].is_object()) e.args[i] = copies[i];
    if (result) *result = r;
    return true;
  } catch (...) {
    return false;
  }
}
}  // namespace

void set_forms_script_control(std::function<ScriptControl*()> p) { provider() = std::move(p); }

ScriptControl* forms_script_control() { return provider() ? provider()() : nullptr; }

bool forward_event(int32_t module, std::u16string_view name, std::initializer_list<Variant*> args,
                   Variant* result) {
  std::vector<Variant> values;
  for (Variant* a : args) values.push_back(*a);
  WindowEvent e;
  e.args = values.data();
  e.count = values.size();
  std::vector<Variant> copies = event_copies(nullptr, e);
  bool ran = run_with_event_args(module, name, nullptr, e, nullptr, result, copies);
  size_t i = 0;
  for (Variant* a : args) *a = values[i++];
  return ran;
}

std::u16string element_procedure(std::u16string_view prefix, int16_t index, std::u16string_view event) {
  std::u16string name(prefix);
  for (char c : std::to_string(index)) name.push_back(static_cast<char16_t>(c));
  name.push_back(u'_');
  name.append(event);
  return name;
}

void forward_window_event(ScriptForm& form, std::u16string_view kind, std::u16string_view prefix, int index,
                          WindowEvent& e) {
  Ref<ScriptForm> keep(&form);
  if ((e.name == u"Over" || e.name == u"Out") && !form.hover_enabled(kind)) return;
  const EventTable* table = find_event_table(kind);
  const EventSpec* spec = table ? find_event(*table, e.name) : nullptr;
  std::u16string_view suffix = spec && !spec->procedure.empty() ? spec->procedure : e.name;
  std::u16string name;
  if (index >= 0) {
    name = element_procedure(prefix, static_cast<int16_t>(index), suffix);
  } else {
    name.assign(prefix).append(u"_").append(suffix);
  }
  std::vector<Variant> copies = event_copies(spec, e);
  e.ran = run_with_event_args(form.form_tag(), name, spec, e, nullptr, &e.result, copies);
  if (spec && spec->array_wide && index >= 0) {
    // A separate step: the module is looked up again, whatever became of the first.
    Variant at(static_cast<int16_t>(index));
    std::u16string whole(prefix);
    whole.append(u"_").append(suffix);
    run_with_event_args(form.form_tag(), whole, spec, e, &at, nullptr, copies);
  }
}

}  // namespace qz
